#!/usr/bin/env bash
# The README's first command as a newcomer meets it: ./run without a display, on a Wine
# prefix made fresh for it. Passes when the demo ran to its end with three converted files
# and its screenshots, reported in a folder under a hidden one with a blank in its name, as
# a clone under ~/.cache would have it. Everything stays in the build folder given (HOME
# included).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
dir=$1/first-run
demo="$dir/.hidden folder/demo"
rm -rf "$dir" && mkdir -p "$dir/home"
status=0
env -u DISPLAY HOME="$dir/home" WINEPREFIX="$dir/prefix" MERVANE_DEMO_DIR="$demo" "$repo/run" || status=$?
[ $status -eq 0 ] || { echo "./run ended with exit code $status"; exit 1; }
converted=$(find "$demo/converted" -name '*.mpg' -size +0 | wc -l)
shots=$(find "$demo" -maxdepth 1 -name 'demo-*.png' | wc -l)
echo "converted files: $converted, screenshots: $shots"
[ "$converted" -eq 3 ] && [ "$shots" -ge 4 ] || exit 1
rm -rf "$dir"
