#!/usr/bin/env bash
# Keeps the tests out of the user's home folder.
#   home-guard.sh private-folders   the Wine prefix gets shell folders of its own: Wine links
#                                   Documents, Desktop, Music... to the home folder by default
#   home-guard.sh stamp STAMP       marks the start of a test run
#   home-guard.sh check STAMP       fails when a shell folder of the prefix leads out of the
#                                   build tree, or an entry of the home folder that a Windows
#                                   program can reach (not a dot-file) changed since the stamp
set -euo pipefail
: "${WINEPREFIX:=$(cd "$(dirname "$0")/.." && pwd)/build/win32/test-prefix}"
repo=$(cd "$(dirname "$0")/.." && pwd)

case "$1" in
private-folders)
  for folder in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$folder" ]; then rm "$folder" && mkdir -p "$folder"; fi
  done
  ;;
stamp)
  touch "$2"
  ;;
check)
  status=0
  for folder in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$folder" ]; then echo "shell folder links out of the build tree: $folder -> $(readlink "$folder")"; status=1; fi
  done
  changed=$(find "$HOME" -mindepth 1 -maxdepth 1 -not -name '.*' -not -path "$repo" -newer "$2" -print)
  if [ -n "$changed" ]; then echo "the tests left this in the home folder ($HOME):"; echo "$changed"; status=1; fi
  exit $status
  ;;
*)
  echo "usage: $0 private-folders | stamp FILE | check FILE" >&2
  exit 2
  ;;
esac
