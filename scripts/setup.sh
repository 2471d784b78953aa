#!/usr/bin/env bash
# Installs the packages a command of this repository needs, on Debian or
# Ubuntu, and only those that are missing.
#
#   scripts/setup.sh game   what building and playing the game needs
#   scripts/setup.sh all    that and everything the tests need
#
# As root it installs them; as another user it prints the line to run and
# fails. Without apt-get it checks for the commands the build runs instead.
set -euo pipefail

# The package groups, one a line: a name, the commands the group must
# provide (checked where there is no apt-get), and its packages.
# "a|b" installs the first of a and b the archive offers, for a package
# whose name differs between releases; one already installed is enough.
# The play command takes the game group, the test command every group,
# so a group only the tests need is one more line here. The windows group
# cross-builds the game for Windows and runs its tests under wine; the
# release group makes the Debian package and checks the release files.
readonly PACKAGE_GROUPS='
game  : c++ cmake ninja : g++ cmake ninja-build
tests : clang++ g++     : clang libclang-rt-dev|libclang-common-14-dev libgtest-dev libbenchmark-dev nlohmann-json3-dev
windows : x86_64-w64-mingw32-g++ : g++-mingw-w64-x86-64 wine64
release : dpkg-shlibdeps unzip : dpkg-dev lintian mandoc unzip
'

say() { echo "setup: $*" >&2; }

usage() {
  say "usage: setup.sh game|all"
  exit 2
}

# Prints the field (2: commands, 3: packages) of each wanted group.
group_field() {
  local wanted=$1 field=$2 name commands packages
  while IFS=: read -r name commands packages; do
    name=${name// /}
    [[ -n $name ]] || continue
    if [[ $wanted == all || $wanted == "$name" ]]; then
      if ((field == 2)); then echo "$commands"; else echo "$packages"; fi
    fi
  done <<<"$PACKAGE_GROUPS"
}

installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
}

any_installed() {
  local choice
  for choice in ${1//|/ }; do
    installed "$choice" && return 0
  done
  return 1
}

# The first alternative the package lists know; the first of all when they
# know none of them (apt-get then says what is wrong).
pick() {
  local choice
  for choice in ${1//|/ }; do
    if apt-cache show --no-all-versions "$choice" >/dev/null 2>&1; then
      echo "$choice"
      return
    fi
  done
  echo "${1%%|*}"
}

without_apt() {
  local missing=() command
  for command in $(group_field "$1" 2); do
    command -v "$command" >/dev/null || missing+=("$command")
  done
  if ((${#missing[@]} > 0)); then
    local packages
    packages=$(group_field "$1" 3 | tr -s ' \n' ' ')
    say "this system has no apt-get; install the equivalents of:${packages//|/ or }"
    say "missing commands: ${missing[*]}"
    exit 1
  fi
  say "no apt-get here; going on with the commands found (the libraries are checked by cmake)"
}

main() {
  [[ $# -eq 1 && ($1 == game || $1 == all) ]] || usage
  if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
    without_apt "$1"
    return
  fi

  local missing=() entry
  for entry in $(group_field "$1" 3); do
    any_installed "$entry" || missing+=("$entry")
  done
  ((${#missing[@]} > 0)) || return 0

  local packages=()
  if [[ $(id -u) -ne 0 ]]; then
    for entry in "${missing[@]}"; do packages+=("$(pick "$entry")"); done
    say "missing packages: ${packages[*]}"
    say "install them as root, then run this command again:"
    echo "apt-get update && apt-get install -y --no-install-recommends ${packages[*]}" >&2
    exit 1
  fi

  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  for entry in "${missing[@]}"; do packages+=("$(pick "$entry")"); done
  apt-get install -y --no-install-recommends "${packages[@]}"
}

main "$@"
