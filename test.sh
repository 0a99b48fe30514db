#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test with CTest.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
ploxen_ensure_packages --with-tests

BUILD=build/test
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOXEN_SANITIZE=ON -DPLOXEN_BUILD_BENCH=ON -DPLOXEN_UNO=ON
cmake --build "$BUILD" -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)"
