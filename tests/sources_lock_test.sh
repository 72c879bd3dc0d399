#!/usr/bin/env bash
# The sources' lock: the build's downloaded files pass it, and a copy with one byte changed
# fails it, naming the file. Usage: sources_lock_test.sh SOURCES (the build's download folder)
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/tools/debian-sources.sh"
lock=$here/tools/sources.lock sources=$1
failed=0
for package in $(locked_versions "$lock" | cut -d' ' -f1); do
  check_locked "$lock" "$sources" "$package" || { echo "FAIL: $package's files do not pass the lock"; failed=1; }
done
copy=$(mktemp -d "$sources/../lock-test.XXXXXX")
trap 'rm -rf "$copy"' EXIT
cp "$sources"/zimg_* "$copy/"
name=$(locked_files "$lock" zimg | sed -n 2p | cut -d' ' -f1)
printf '\001' | dd of="$copy/$name" bs=1 seek=100 count=1 conv=notrunc status=none
said=$(check_locked "$lock" "$copy" zimg 2>&1) && { echo "FAIL: a changed $name passed"; failed=1; }
[[ $said == *"$name does not match its SHA-256"* ]] || { echo "FAIL: the refusal did not name $name: $said"; failed=1; }
rm "$copy/$name"
said=$(check_locked "$lock" "$copy" zimg 2>&1) && { echo "FAIL: a missing $name passed"; failed=1; }
[[ $said == *"$name is missing"* ]] || { echo "FAIL: the refusal did not name the missing $name: $said"; failed=1; }
[ $failed -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
