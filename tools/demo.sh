#!/usr/bin/env bash
# Shows Mervane on a virtual display, keeps a screenshot, and closes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/xvfb.sh
start_xvfb
trap 'wineserver -k 2>/dev/null || true; stop_xvfb' EXIT
shots=$PWD/build/demo
mkdir -p "$shots"
wine build/win32/Mervane.exe &
for _ in $(seq 120); do
  xdotool search --name '^Mervane$' >/dev/null 2>&1 && break
  sleep 0.5
done
sleep 2
import -window root "$shots/mervane.png"
echo "Screenshot of the running program: $shots/mervane.png"
wine taskkill /im Mervane.exe >/dev/null 2>&1 || true
wait || true
