#!/usr/bin/env bash
# Makes every release file into dist/: the Debian package, the Linux archive
# and the Windows zip, each named with the version the build files give,
# and prints each with its size and SHA-256. Any failed step stops it.
#
#   scripts/release.sh
#
# The test command has already built the archive's and the zip's programs
# in Release with the same compilers; it names those build folders in
# OSSIVAR_ARCHIVE_TREE and OSSIVAR_WINDOWS_TREE so they are packed as they
# are rather than built a second time. Left unset, each is built afresh.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
out=build/release
# Files and folders in the packages get the usual modes, whatever the
# caller's umask.
umask 022

say() { echo "release.sh: $*" >&2; }
fail() {
  say "$*"
  exit 1
}

# The release is built from the sources alone: the same day on every file.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
export SOURCE_DATE_EPOCH

# FOLDER: builds what is not built yet and runs CPack there.
pack() {
  local folder=$1
  [[ $(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$folder/CMakeCache.txt") == Release ]] ||
    fail "$folder is not a Release build"
  cmake --build "$folder" --parallel 2 || fail "building $folder failed"
  (cd "$folder" && cpack -B "$root/$out/cpack") || fail "packing $folder failed"
}

# FOLDER COMPILER CMAKE_ARGS...: configures in Release, then packs.
make_package() {
  local folder=$1 compiler=$2
  shift 2
  scripts/configure.sh "$folder" "$compiler" -DCMAKE_BUILD_TYPE=Release "$@" ||
    fail "configuring $folder failed"
  pack "$folder"
}

rm -rf "$out/cpack"
make_package "$out/deb" g++ -DOSSIVAR_GAMES_LAYOUT=ON -DCMAKE_INSTALL_PREFIX=/usr
if [[ -n ${OSSIVAR_ARCHIVE_TREE:-} ]]; then
  pack "$OSSIVAR_ARCHIVE_TREE"
else
  make_package "$out/archive" g++
fi
mingw=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++) ||
  fail "MinGW-w64 is not installed (Debian: g++-mingw-w64-x86-64)"
# tov needs the JSON library, whose headers serve the cross-build as they are.
deps=$root/$out/windows-deps
mkdir -p "$deps/include" "$deps/share/cmake"
ln -sfn /usr/include/nlohmann "$deps/include/nlohmann"
ln -sfn /usr/share/cmake/nlohmann_json "$deps/share/cmake/nlohmann_json"
if [[ -n ${OSSIVAR_WINDOWS_TREE:-} ]]; then
  pack "$OSSIVAR_WINDOWS_TREE"
else
  make_package "$out/windows" "$mingw" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DOSSIVAR_WINDOWS_DEPS="$deps"
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/deb/CMakeCache.txt")
files=("ossivar_${version}_amd64.deb" "ossivar-$version-linux-x86_64.tar.gz" "ossivar-$version-windows-x86_64.zip")
mkdir -p dist
for file in "${files[@]}"; do
  [[ -f $out/cpack/$file ]] || fail "CPack made no $file"
  cp "$out/cpack/$file" dist/
  printf '%s  %s bytes  sha256 %s\n' "dist/$file" "$(stat -c %s "dist/$file")" \
    "$(sha256sum "dist/$file" | cut -d' ' -f1)"
done
