#!/usr/bin/env bash
# Names each package of the toolchain whose installed version is not the one tools/sources.lock
# records; says nothing where all are. Never fails: the build goes on, and its log says so.
# Usage: check-toolchain.sh LOCK
lock=$1
while read -r _ package version; do
  installed=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null || echo "not installed")
  [ "$installed" = "$version" ] ||
    echo "The toolchain differs from the lock's: $package is $installed here, the lock records $version."
done < <(grep '^toolchain ' "$lock")
exit 0
