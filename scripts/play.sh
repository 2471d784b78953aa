#!/usr/bin/env bash
# Builds the game if needed and starts it from the repository root, where
# its data/ directory lives. Also builds the content tool tov when the JSON
# library it needs is installed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh game
# CXX picks another compiler; where there is no g++, the system's c++.
compiler=${CXX:-$(command -v g++ || echo c++)}
scripts/configure.sh build/play "$compiler" -DCMAKE_BUILD_TYPE=Release
cmake --build build/play --parallel 2
exec ./build/play/ossivar
