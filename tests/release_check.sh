#!/usr/bin/env bash
# Checks the release files scripts/release.sh left in dist/, as a player
# meets them: the Debian package's fields, files and lintian's verdict; the
# Linux archive extracted anywhere plays a new game through its launcher;
# the Windows zip unzipped anywhere plays one under wine, and its save
# continues on Linux.
#
#   tests/release_check.sh LINUX_GAME
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
linux_game=$(readlink -f "${1:-build/test/ossivar}")
version=$(sed -n 's/^project(ossivar VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
deb=dist/ossivar_${version}_amd64.deb
archive=dist/ossivar-$version-linux-x86_64.tar.gz
zip=dist/ossivar-$version-windows-x86_64.zip
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

say() { echo "release_check: $*" >&2; }
fail() {
  say "$*"
  exit 1
}
for file in "$deb" "$archive" "$zip"; do [[ -f $file ]] || fail "$file is missing"; done

# A new character, then one battle round; the game ends at the end of input.
new_game=$scratch/new_game.txt
printf 'n\nTamsin\nf\n0\n1\n1\n1\n0\n1\n0\n1\n4\n0\n0\n0\n0\n0\n0\n0\n0\n' >"$new_game"

# --- The Debian package ---
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == ossivar ]] || fail "the package is not named ossivar"
[[ $(field Version) == "$version" ]] || fail "the package's version is $(field Version), not $version"
[[ $(field Section) == games && $(field Priority) == optional ]] || fail "section or priority wrong"
[[ $(field Depends) == *libc6* ]] || fail "no library dependencies computed: $(field Depends)"
contents=$(dpkg-deb -c "$deb" | awk '{for (i = 6; i <= NF; i++) printf "%s%s", $i, (i < NF ? " " : "\n")}')
for path in ./usr/games/ossivar ./usr/lib/games/ossivar/ossivar "./usr/share/games/ossivar/Core Data.tov" \
  ./usr/games/tov ./usr/games/ossivar-replay ./usr/share/man/man6/ossivar.6.gz \
  ./usr/share/man/man6/ossivar-replay.6.gz ./usr/share/man/man1/tov.1.gz \
  ./usr/share/doc/ossivar/copyright ./usr/share/doc/ossivar/changelog.gz; do
  grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
if command -v lintian >/dev/null; then
  errors=$(lintian "$deb" 2>/dev/null | grep -c '^E:' || true)
  ((errors == 0)) || {
    lintian "$deb" >&2 || true
    fail "lintian found $errors errors in the package"
  }
else
  say "lintian is not installed: the package's policy check is skipped"
fi

# --- The Linux archive, extracted to a folder of no importance ---
tar -xzf "$archive" -C "$scratch"
home=$scratch/home
mkdir -p "$home"
(cd / && env -u XDG_DATA_HOME HOME="$home" "$scratch/ossivar-$version-linux-x86_64/bin/ossivar" \
  <"$new_game" >"$scratch/archive-screens.txt") || fail "the archive's game did not end cleanly"
[[ -f $home/.local/share/ossivar/data/save01.tov ]] || fail "the archive's game left no save in the player's folder"
# The game recorded itself in the player's folder, and the archive's replay
# plays that recording exactly.
recordings=("$home/.local/share/ossivar/data/recordings/"*.cast)
[[ -f ${recordings[0]} ]] || fail "the archive's game left no recording in the player's folder"
"$scratch/ossivar-$version-linux-x86_64/bin/ossivar-replay" "${recordings[0]}" >/dev/null ||
  fail "the archive's replay did not replay its game's recording exactly"

# --- The Windows zip, under wine ---
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
[[ -x $wine ]] || fail "wine is not installed (Debian: wine64)"
# The Windows test stage's wine prefix, made here when it ran elsewhere.
export WINEPREFIX=$root/build/windows/wine WINEDEBUG=-all
[[ -d $WINEPREFIX ]] || { mkdir -p "$(dirname "$WINEPREFIX")" && "$wine" wineboot --init; }
unzip -q "$zip" -d "$scratch/zip"
folder=$scratch/zip/ossivar-$version-windows-x86_64
for file in ossivar.exe tov.exe ossivar-replay.exe "data/Core Data.tov" README.txt LICENSE.txt; do
  [[ -f $folder/$file ]] || fail "the zip lacks $file"
done
grep -q $'\r$' "$folder/README.txt" || fail "README.txt lacks CR LF line ends"
(cd "$folder" && "$wine" ./ossivar.exe <"$new_game" >screens.txt) || fail "the zip's game did not end cleanly"
[[ -f $folder/data/save01.tov ]] || fail "the zip's game left no data\\save01.tov"
recordings=("$folder/data/recordings/"*.cast)
[[ -f ${recordings[0]} ]] || fail "the zip's game left no data\\recordings\\*.cast"
(cd "$folder" && "$wine" ./ossivar-replay.exe "data/recordings/${recordings[0]##*/}" >/dev/null) ||
  fail "the zip's replay did not replay its game's recording exactly"
mkdir -p "$scratch/continue/data"
cp "$folder/data/save01.tov" "$scratch/continue/data/"
(cd "$scratch/continue" && printf 'c\n' | "$linux_game" >screens.txt) || fail "Linux did not continue the zip's save"
grep -q 'NAME    Tamsin' "$scratch/continue/screens.txt" || fail "Linux did not continue the zip's save"

say "the package, the archive and the zip install and play"
