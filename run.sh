#!/usr/bin/env bash
# Installs what is missing, builds a Release build and runs ploxen with the given parameter string.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
ploxen_ensure_packages

BUILD=build/release
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLOXEN_BUILD_TESTS=OFF
cmake --build "$BUILD" -j "$(nproc)"
exec "$BUILD/bin/ploxen" "$@"
