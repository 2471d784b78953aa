#!/usr/bin/env bash
# The Windows part of the test command: cross-builds the game, tov and the
# tests with MinGW-w64, runs the tests under wine (console programs only, no
# display needed), and checks the Windows game against the Linux one built
# in the folder given (default build/test): the same screens, the same
# saves byte for byte, and each side continuing the other's save.
#
#   scripts/windows.sh [LINUX_BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
linux=${1:-build/test}
out=build/windows
deps=$root/$out/deps
results=$root/$out/results

say() { echo "windows.sh: $*" >&2; }
fail() {
  say "$*"
  exit 1
}

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
[[ -x $wine ]] || fail "wine is not installed (Debian: wine64)"
export WINEPREFIX=$root/$out/wine WINEDEBUG=-all
# Wine's own drive Z: is the Linux file system.
winpath() { echo "Z:$(readlink -f "$1")"; }
run_wine() { "$wine" "$@"; }

# GoogleTest from the sources the Debian package ships, built once.
if [[ ! -f $deps/lib/cmake/GTest/GTestConfig.cmake ]]; then
  cmake -S /usr/src/googletest -B "$out/googletest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$deps" >/dev/null
  cmake --build "$out/googletest" --parallel 2
  cmake --install "$out/googletest" >/dev/null
fi
# The JSON library is headers only: the Debian package's serve as they are.
mkdir -p "$deps/include" "$deps/share/cmake"
ln -sfn /usr/include/nlohmann "$deps/include/nlohmann"
ln -sfn /usr/share/cmake/nlohmann_json "$deps/share/cmake/nlohmann_json"

compiler=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++) ||
  fail "MinGW-w64 is not installed (Debian: g++-mingw-w64-x86-64)"
scripts/configure.sh "$out/build" "$compiler" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DOSSIVAR_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DOSSIVAR_TESTS=ON -DOSSIVAR_WERROR=ON
cmake --build "$out/build" --parallel 2
# Wine makes its prefix at the first start; tests started side by side
# would race to make it.
run_wine wineboot --init
ctest --test-dir "$out/build" --output-on-failure -j2

# The scripted game in process, with the clock stopped: both systems must
# leave the same results, and each continues the other's save.
rm -rf "$results"
OSSIVAR_SCRIPTED_GAME_OUT=$results/linux "$linux/tests/scripted_game_test"
OSSIVAR_SCRIPTED_GAME_OUT=$(winpath "$results")/windows OSSIVAR_SCRIPTED_GAME_OTHER=$(winpath "$results/linux") \
  run_wine "$out/build/tests/scripted_game_test.exe"
OSSIVAR_SCRIPTED_GAME_OTHER=$results/windows "$linux/tests/scripted_game_test"

# The built games themselves, from the same typed script, as a player with
# redirected input and output runs them: a new character and a battle
# round, then Continue on the other system's save.
play() { # SYSTEM FOLDER SCRIPT: plays in FOLDER; the screens go to FOLDER/screens.txt
  local system=$1 folder=$2 script=$3
  if [[ $system == linux ]]; then
    (cd "$folder" && "$root/$linux/ossivar" <"$script" >screens.txt)
  else
    (cd "$folder" && run_wine "$root/$out/build/ossivar.exe" <"$script" >screens.txt)
  fi || fail "the $system game in $folder did not end cleanly at the end of its input"
}
# What comes before the first battle roster, whose enemies the clock draws.
before_battle() { sed '/^        Player /,$d' "$1"; }
same() { cmp "$1" "$2" >/dev/null || fail "${3:-$1 and $2} differ"; }

new_game=$results/new_game.txt
round='0\n0\n0\n0\n0\n0\n0\n0\n' # each of the four attacks the first enemy
printf "n\nTamsin\nf\n0\n1\n1\n1\n0\n1\n0\n1\n4\n$round" >"$new_game"
printf "c\n$round" >"$results/continue.txt"
for system in linux windows; do
  mkdir -p "$results/$system-game/data"
  cp "data/Core Data.tov" "$results/$system-game/data/"
  play $system "$results/$system-game" "$new_game"
  grep -q 'Command for Tamsin:' "$results/$system-game/screens.txt" || fail "no battle on $system"
  ! grep -q $'\r' "$results/$system-game/screens.txt" || fail "carriage returns on the $system screens"
done
same <(before_battle "$results/linux-game/screens.txt") <(before_battle "$results/windows-game/screens.txt") \
  "the new game's screens on Linux and on Windows"
same "$results/linux-game/data/save01.tov" "$results/windows-game/data/save01.tov"

for system in linux windows; do
  other=$([[ $system == linux ]] && echo windows || echo linux)
  mkdir -p "$results/$system-continue/data"
  cp "$results/$other-game/data/save01.tov" "$results/$system-continue/data/"
  play $system "$results/$system-continue" "$results/continue.txt"
  grep -q 'NAME    Tamsin' "$results/$system-continue/screens.txt" || fail "$system did not continue the save"
  # Continuing saves again before the battle: the same game, the same bytes.
  same "$results/$system-continue/data/save01.tov" "$results/$other-game/data/save01.tov"
done
same <(before_battle "$results/linux-continue/screens.txt") <(before_battle "$results/windows-continue/screens.txt") \
  "the continued game's screens on Linux and on Windows"
# Every game above recorded itself; each recording replays exactly with the
# other system's replay, and the save a replay leaves is the one the game
# left, byte for byte.
replay_on() { # SYSTEM RECORDING [--files DIR]
  local system=$1 recording=$2
  shift 2
  if [[ $system == linux ]]; then
    "$root/$linux/ossivar-replay" "$recording" "$@"
  else
    run_wine "$out/build/ossivar-replay.exe" "$(winpath "$recording")" "$@"
  fi >/dev/null || fail "the $system replay of $recording differs"
}
for system in linux windows; do
  other=$([[ $system == linux ]] && echo windows || echo linux)
  for run in game continue; do
    recordings=("$results/$other-$run/data/recordings/"*.cast)
    ((${#recordings[@]} == 1)) || fail "$other's $run left ${#recordings[@]} recordings, not 1"
    replay_on "$system" "${recordings[0]}"
  done
done
replay_on linux "$results/windows-game/data/recordings/"*.cast --files "$results/replayed"
same "$results/replayed/data/save01.tov" "$results/windows-game/data/save01.tov" \
  "the save a Linux replay of the Windows game left and the Windows game's own"
# The content tool on Windows, with Windows paths, makes the very file the
# game ships.
run_wine "$out/build/tools/tov.exe" build "$(winpath content/core.json)" -o "$(winpath "$results")\\core.tov" >/dev/null
same "$results/core.tov" "data/Core Data.tov" "tov build on Windows and the shipped content file"

say "the Windows build passed its tests and plays as the Linux one does"
