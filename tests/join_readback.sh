#!/usr/bin/env bash
# Reads, with Debian's own ffprobe and ffmpeg (not the program's encoder), the joined files the
# engine's join test leaves in DIR: three clips of 4, 3 and 5 s, a beep 4 s into the last, as
# an MPEG and as a Video CD. Each is 12 s long (within 0.2 s), its beep 11 s in (within 40 ms:
# no part before it moved the sound against the picture), and the Video CD's packs are its
# standard's 2324 bytes.
set -euo pipefail
dir=$1
fail() { echo "join_readback: $*" >&2; exit 1; }
near() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { exit !(a - b <= d && b - a <= d) }'; }
for name in "Holiday" "Holiday CD"; do
  file="$dir/$name.mpg"
  [ -f "$file" ] || fail "no $name.mpg in $dir: the engine's join test makes it"
  length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$file")
  # The sound's first rise out of silence, from the start of the picture.
  picture=$(ffprobe -v error -select_streams v -show_entries stream=start_time -of csv=p=0 "$file")
  sound=$(ffprobe -v error -select_streams a -show_entries stream=start_time -of csv=p=0 "$file")
  rise=$(ffmpeg -hide_banner -nostats -i "$file" -vn -af silencedetect=n=-30dB:d=0.5 -f null - 2>&1 | awk '/silence_end/ { print $5; exit }')
  beep=$(awk -v r="$rise" -v s="$sound" -v p="$picture" 'BEGIN { printf "%.3f", r + s - p }')
  echo "$name.mpg: $length s, the beep at $beep s"
  near "$length" 12 0.2 || fail "$name.mpg is $length s long, not 12"
  near "$beep" 11 0.04 || fail "$name.mpg: the beep at $beep s, not 11"
done
size=$(stat -c %s "$dir/Holiday CD.mpg")
[ $((size % 2324)) -eq 0 ] || fail "Holiday CD.mpg: $size bytes, not packs of 2324"
# The joined disc: one title in 16:9 with the first clip's two tracks, its chapters starting 0,
# 4 and 7 s in, as libdvdread reads them.
disc="$dir/Joined"
[ -d "$disc/VIDEO_TS" ] || fail "no joined disc in $dir: the engine's join test makes it"
read_disc=$(lsdvd -c -a -v "$disc" 2>/dev/null)
echo "$read_disc" | grep -E "^Title|Chapter|Aspect|Audio:" || true
[ "$(echo "$read_disc" | grep -c '^Title:')" -eq 1 ] || fail "the joined disc has more than one title"
echo "$read_disc" | grep -q "Aspect ratio: 16/9" || fail "the joined disc's title is not 16:9"
[ "$(echo "$read_disc" | grep -c 'Audio:')" -eq 2 ] || fail "the joined disc's title has not two audio tracks"
starts=$(echo "$read_disc" | awk '/Chapter:/ { split($4, t, ":"); printf "%.1f ", start; start += t[1] * 3600 + t[2] * 60 + t[3] }')
echo "chapters start at: $starts"
near_all() { awk -v s="$1" 'BEGIN { n = split(s, a, " "); exit !(n == 3 && a[1] < 0.1 && a[2] > 3.9 && a[2] < 4.1 && a[3] > 6.9 && a[3] < 7.1) }'; }
near_all "$starts" || fail "the chapters start at $starts, not 0, 4 and 7 s"
