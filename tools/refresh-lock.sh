#!/usr/bin/env bash
# Writes tools/sources.lock anew: for each package it names, the newest version of the same
# upstream series (ffmpeg 7.1, dav1d 1, zimg 3…) whose files download from the machine's Debian
# archive, each file with its SHA-256; then prints what changed. Commit the result on purpose.
# A package of which only the upstream tarball downloads, and the font lines, stay as they are.
# Usage: tools/refresh-lock.sh [WORK]   (WORK: a scratch folder, build/lock by default)
set -euo pipefail
cd "$(dirname "$0")/.."
lock=tools/sources.lock work=$(realpath -m "${1:-build/lock}")
source tools/debian-sources.sh
release=$(sed -n 's/^release //p' "$lock")
apt_setup "$work/apt" $(locked_releases "$lock")
new=$work/sources.lock
sed -n '/^#/p' "$lock" > "$new"
echo "release $release" >> "$new"
while read -r package version; do
  if locked_orig_only "$lock" "$package"; then
    locked_lines "$lock" "$package" >> "$new"
    echo "refresh-lock: $package is kept as it is (only its upstream tarball downloads)" >&2
    continue
  fi
  upstream=${version#*:}
  series=${upstream%%.*}; [ "$package" = ffmpeg ] && series=$(echo "$upstream" | cut -d. -f1-2)
  found=
  for candidate in $(apt-cache "${apt_opts[@]}" showsrc "$package" | sed -n 's/^Version: //p' | sort -u | sort -r -V); do
    [[ ${candidate#*:} == "$series".* ]] || continue
    rm -rf "$work/try" && mkdir -p "$work/try"
    [ "$(id -u)" -eq 0 ] && chown _apt "$work/try" 2>/dev/null || true
    if (cd "$work/try" && apt-get "${apt_opts[@]}" -qq source --download-only "$package=$candidate" >/dev/null 2>&1); then
      found=$candidate
      break
    fi
    echo "refresh-lock: $package $candidate is listed but does not download" >&2
  done
  [ -n "$found" ] || { echo "refresh-lock: no version of $package $series downloads" >&2; exit 1; }
  # The release that serves it, named where it is not the lock's own.
  from=$(apt-cache "${apt_opts[@]}" madison "$package" | awk -F'|' -v v="$found" '{ gsub(/ /, "", $2) } $2 == v && /Sources/ { split($3, w, " "); print w[2] }' |
         sed 's|/.*||; s/-updates$//; s/-security$//' | head -n 1)
  if [ -n "$from" ] && [ "$from" != "$release" ]; then echo "source $package $found $from"; else echo "source $package $found"; fi >> "$new"
  dsc=$(ls "$work/try"/*.dsc)
  echo "file $(basename "$dsc") $(sha256sum "$dsc" | cut -c1-64)" >> "$new"
  sed -n '/^Checksums-Sha256:/,/^[^ ]/p' "$dsc" | awk '/^ / { print "file", $3, $1 }' >> "$new"
done < <(locked_versions "$lock")
grep '^font ' "$lock" >> "$new" || true
grep '^toolchain ' "$lock" >> "$new" || true
diff -u "$lock" "$new" && echo "refresh-lock: the lock is current" || true
cp "$new" "$lock"
