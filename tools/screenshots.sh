#!/usr/bin/env bash
# Renders every desktop window with an example workbook open into OUTDIR as PNG files, on
# Qt's offscreen platform (no display needed). Usage: tools/screenshots.sh OUTDIR
set -euo pipefail
if [ "$#" -ne 1 ]; then
  echo "Usage: $0 OUTDIR" >&2
  exit 2
fi
OUT=$(mkdir -p "$1" && cd "$1" && pwd)
cd "$(dirname "$0")/.."
source tools/packages.sh
ploxen_ensure_packages --with-tests
BUILD=build/release
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLOXEN_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target ploxen_screenshots
QT_QPA_PLATFORM=offscreen "$BUILD/bin/ploxen_screenshots" "$OUT" examples/Process.xlsx
