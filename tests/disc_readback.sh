#!/usr/bin/env bash
# Reads back the DVD-Video disc that the engine's disc test leaves in DIR (its folder and its
# image) with Debian's DVD libraries: libdvdread through lsdvd, libdvdnav through HandBrakeCLI
# where it is installed: two titles of 10 s (16:9, English) and 6 s (4:3, French and German),
# from the folder and from the image alike.
set -euo pipefail
dir=$1
fail() { echo "disc_readback: $*" >&2; exit 1; }
[ -d "$dir/Holiday/VIDEO_TS" ] && [ -f "$dir/Holiday.iso" ] || fail "no disc in $dir: the engine's disc test makes it"
for disc in "$dir/Holiday" "$dir/Holiday.iso"; do
  out=$(lsdvd -x "$disc" 2>/dev/null)
  titles=$(grep -c '^Title: ' <<< "$out")
  [ "$titles" = 2 ] || fail "$disc: $titles titles, not 2"
  grep -q '^Title: 01, Length: 00:00:1[01]' <<< "$out" || fail "$disc: title 1 is not 10 s"
  grep -q '^Title: 02, Length: 00:00:0[56]' <<< "$out" || fail "$disc: title 2 is not 6 s"
  grep -A1 '^Title: 01' <<< "$out" | grep -q 'Aspect ratio: 16/9' || fail "$disc: title 1 is not 16:9"
  grep -A1 '^Title: 02' <<< "$out" | grep -q 'Aspect ratio: 4/3' || fail "$disc: title 2 is not 4:3"
  languages=$(awk '/^Title: 02/ { on = 1 } /^Title: 01/ { on = 0 } on && /Audio: [0-9]/ { print $4 }' <<< "$out" | tr -d , | tr '\n' ' ')
  [ "$languages" = "fr de " ] || fail "$disc: title 2's audio is '$languages', not 'fr de '"
  grep -q 'Audio: 1, Language: en' <<< "$out" || fail "$disc: title 1's audio is not English"
  if command -v HandBrakeCLI >/dev/null; then
    scan=$(HandBrakeCLI -i "$disc" --scan -t 0 --min-duration 0 2>&1 || true)
    grep -q 'scan: DVD has 2 title(s)' <<< "$scan" || fail "$disc: libdvdnav does not find 2 titles"
  fi
done
# The disc of 99 one-second titles in 14 title sets that the disc maker's test leaves beside:
# every title found by both libraries, every file listed by the image's ISO 9660 side.
many=$dir-many/Many
[ -f "$many.iso" ] || fail "no disc of many titles in $dir-many"
titles=$(lsdvd "$many.iso" 2>/dev/null | grep -c '^Title: ')
[ "$titles" = 99 ] || fail "$many.iso: lsdvd reads $titles titles, not 99"
if command -v HandBrakeCLI >/dev/null; then
  scan=$(HandBrakeCLI -i "$many.iso" --scan -t 0 --min-duration 0 2>&1 || true)
  grep -q 'scan: DVD has 99 title(s)' <<< "$scan" || fail "$many.iso: libdvdnav does not find 99 titles"
fi
listed=$(isoinfo -l -i "$many.iso" | awk '/^Directory listing of \/VIDEO_TS\// { on = 1; next } /^Directory listing/ { on = 0 } on && / [A-Z0-9_]+\.(IFO|VOB|BUP)(;1)? *$/' | wc -l)
files=$(ls "$many/VIDEO_TS" | wc -l)
[ "$listed" = "$files" ] || fail "$many.iso: ISO 9660 lists $listed of the $files files in VIDEO_TS"
echo "disc_readback: both titles read back from the folder and the image; 99 titles in 14 sets, every file listed"
