#!/usr/bin/env bash
# The guided demo on a virtual display: three generated clips are added and converted by
# the end-to-end driver, through the program's window only; screenshots of every stage.
# Fails unless every clip was converted. MERVANE_DEMO_DIR: where the shots and files go.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/xvfb.sh
source tools/prefix.sh
start_xvfb
trap 'wineserver -k 2>/dev/null || true; stop_xvfb' EXIT
ensure_prefix
shots=${MERVANE_DEMO_DIR:-$PWD/build/demo}
rm -rf "$shots" && mkdir -p "$shots/converted"
status=0
MERVANE_SHOTS=$(winepath -w "$shots") MERVANE_DEMO_OUT=$(winepath -w "$shots/converted") \
  wine build/win32/tests/e2e/e2e.exe --demo || status=$?
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
echo "Screenshots of the demo: $shots"
echo "Converted files:         $shots/converted"
exit $status
