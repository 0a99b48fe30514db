#!/usr/bin/env bash
# Installs what is missing, builds a Release build and runs ploxen with the given parameter string.
# Without arguments it calculates a copy of examples/Process.xlsx in a scratch folder and shows
# the results.
set -euo pipefail
CALLER_DIR=$(pwd)
cd "$(dirname "$0")"
ROOT=$(pwd)
source tools/packages.sh
ploxen_ensure_packages

BUILD=build/release
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLOXEN_BUILD_TESTS=OFF
cmake --build "$BUILD" -j "$(nproc)"
if [ "$#" -gt 0 ]; then
  # Workbook paths in the parameter string are relative to where the user called from.
  cd "$CALLER_DIR"
  exec "$ROOT/$BUILD/bin/ploxen" "$@"
fi

SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/ploxen-example.XXXXXX")
cp examples/Process.xlsx "$SCRATCH/"
echo "Calculating $SCRATCH/Process.xlsx (condition sheet System):"
status=0
"$BUILD/bin/ploxen" -x: "$SCRATCH/Process.xlsx" -c: System 2>"$SCRATCH/messages.txt" || status=$?
if [ "$status" -eq 0 ]; then
  echo "Results written into $SCRATCH/Process.xlsx; messages in $SCRATCH/messages.txt"
else
  cat "$SCRATCH/messages.txt" >&2
  echo "The calculation failed (exit status $status); see the messages above." >&2
fi
exit "$status"
