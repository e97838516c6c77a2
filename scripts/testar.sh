#!/usr/bin/env bash
# Fresh Debian 12 to passing tests in one command: installs packages, builds, runs ctest.
#   MARVEK_BUILD=build-asan MARVEK_SANITIZE=ON bash scripts/testar.sh   (sanitizer build)
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
bash "$raiz/scripts/dependencias.sh"
build="${MARVEK_BUILD:-$raiz/build}"
cmake -S "$raiz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DMARVEK_SANITIZE="${MARVEK_SANITIZE:-OFF}" -DMARVEK_WERROR=ON
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure "$@"
