#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer
# under clang and runs them all through CTest; then builds every target
# (game, tools, tests, benchmarks) with g++ in Release, where -O3 brings
# warnings of its own; then builds everything for Windows with MinGW-w64,
# runs those tests under wine and checks the Windows game against the Linux
# one (scripts/windows.sh); last it makes the release files and installs
# and plays each (scripts/release.sh, tests/release_check.sh). Warnings are
# errors in every build but the release's. Needs no terminal, no display and
# no standard input.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh all

scripts/configure.sh build/test clang++ -DOSSIVAR_TESTS=ON -DOSSIVAR_SANITIZE=ON -DOSSIVAR_WERROR=ON
cmake --build build/test --parallel 2
ctest --test-dir build/test --output-on-failure -j2

scripts/configure.sh build/release-gcc g++ -DCMAKE_BUILD_TYPE=Release -DOSSIVAR_WERROR=ON \
  -DOSSIVAR_TESTS=ON -DOSSIVAR_BENCHMARKS=ON
cmake --build build/release-gcc --parallel 2

scripts/windows.sh build/test

# The archive and the zip are packed from the Release builds above.
OSSIVAR_ARCHIVE_TREE=build/release-gcc OSSIVAR_WINDOWS_TREE=build/windows/build scripts/release.sh
tests/release_check.sh build/test/ossivar
