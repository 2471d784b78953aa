#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs them all through CTest. Needs no terminal and no standard input.
set -euo pipefail

# Debian packages the build and the tests need; add new ones here.
PACKAGES="cmake ninja-build clang libclang-rt-14-dev libgtest-dev libbenchmark-dev nlohmann-json3-dev"

cd "$(dirname "${BASH_SOURCE[0]}")/.."

installed() {
  dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed'
}

missing=()
if command -v dpkg >/dev/null; then
  for package in $PACKAGES; do
    installed "$package" || missing+=("$package")
  done
fi
if ((${#missing[@]} > 0)); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "test.sh: missing packages: ${missing[*]}" >&2
    echo "test.sh: install them as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build/test -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DOSSIVAR_TESTS=ON -DOSSIVAR_SANITIZE=ON
cmake --build build/test --parallel 2
ctest --test-dir build/test --output-on-failure -j2
