#!/usr/bin/env bash
# Measures, with Debian's own ffmpeg (not the program's encoder), the files that the engine's
# loudness test leaves in DIR (a quiet, a loud and a clicked clip, and the quiet one fitted in
# two passes): each within 1 LU of -23 LUFS, the clicked one's true peak at or under -1 dBTP.
set -euo pipefail
dir=$1
fail() { echo "loudness_readback: $*" >&2; exit 1; }
for name in quiet loud click fitted; do
  [ -f "$dir/$name.mpg" ] || fail "no $name.mpg in $dir: the engine's loudness test makes it"
  summary=$(ffmpeg -hide_banner -nostats -i "$dir/$name.mpg" -vn -af ebur128=peak=true -f null - 2>&1 | sed -n '/Summary:/,$p')
  integrated=$(awk '/ I:/ { print $2 }' <<< "$summary")
  peak=$(awk '/Peak:/ { print $2 }' <<< "$summary")
  echo "$name: $integrated LUFS, true peak $peak dBTP"
  if [ "$name" = click ]; then
    awk -v p="$peak" 'BEGIN { exit !(p <= -1.0) }' || fail "$name: true peak $peak dBTP, over -1"
  else
    awk -v i="$integrated" 'BEGIN { exit !(i >= -24 && i <= -22) }' || fail "$name: $integrated LUFS, not within 1 LU of -23"
  fi
done
