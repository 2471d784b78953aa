#!/usr/bin/env bash
# Builds the game if needed and starts it from the repository root, where
# its data/ directory lives.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [[ ! -f build/play/CMakeCache.txt ]]; then
  cmake -S . -B build/play -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build/play --target ossivar --parallel 2
exec ./build/play/ossivar
