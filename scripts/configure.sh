#!/usr/bin/env bash
# Configures a build folder with Ninja and the given compiler:
#
#   scripts/configure.sh FOLDER COMPILER [cmake arguments...]
#
# A folder whose cache another generator, compiler or source tree made, or
# whose last configure failed, is emptied and configured afresh: cmake would
# refuse the first, build with the wrong tools, or stop again on the last.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if (($# < 2)); then
  echo "usage: configure.sh FOLDER COMPILER [cmake arguments...]" >&2
  exit 2
fi
folder=$1
compiler=$(command -v "$2") || {
  echo "configure.sh: no compiler $2 on PATH" >&2
  exit 1
}
shift 2

cached() { sed -n "s/^$1:[A-Z]*=//p" "$folder/CMakeCache.txt"; }

reusable() {
  # build.ninja is written only by a configure that got to the end.
  [[ -f $folder/CMakeCache.txt && -f $folder/build.ninja ]] &&
    [[ $(cached CMAKE_GENERATOR) == Ninja ]] &&
    [[ $(readlink -f "$(cached CMAKE_CXX_COMPILER)") == $(readlink -f "$compiler") ]] &&
    [[ $(readlink -f "$(cached CMAKE_HOME_DIRECTORY)") == $(readlink -f .) ]]
}

configure() { cmake -S . -B "$folder" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" "$@"; }

if [[ -e $folder ]] && ! reusable; then
  echo "configure.sh: $folder was made by another configure or one that failed; starting it afresh" >&2
  rm -rf "$folder"
fi
if ! configure "$@"; then
  echo "configure.sh: configuring $folder failed; trying once more from an empty folder" >&2
  rm -rf "$folder"
  configure "$@"
fi
