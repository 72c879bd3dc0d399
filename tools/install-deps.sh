#!/usr/bin/env bash
# Installs what building, running and testing Mervane needs on Debian 12, as root.
# Idempotent: does nothing when every tool is already there.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686)
command -v cmake  >/dev/null || need+=(cmake)
command -v ctest  >/dev/null || need+=(cmake)
command -v g++    >/dev/null || need+=(g++)
command -v Xvfb   >/dev/null || need+=(xvfb)
[ -x /usr/bin/import ] || need+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
command -v python3 >/dev/null || need+=(python3)
command -v openssl >/dev/null || need+=(openssl)
command -v ninja  >/dev/null || need+=(ninja-build)
[ -d /usr/share/wine/fonts ] || need+=(fonts-wine)
# The subtitles' font the encoder carries (tools/sources.lock pins it).
[ -f /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf ] || need+=(fonts-dejavu-core)
# The encoder is cross-built from Debian's sources (tools/build-encoder.sh).
# The disc tool's build needs gettext's config.rpath, flex and bison.
[ -f /usr/share/gettext/config.rpath ] || need+=(gettext)
# The tests read the discs back with Debian's DVD libraries.
command -v lsdvd >/dev/null || need+=(lsdvd)
command -v HandBrakeCLI >/dev/null || need+=(handbrake-cli)
# ... and walk a disc's menus with the library players play them with.
[ -f /usr/include/dvdnav/dvdnav.h ] || need+=(libdvdnav-dev)
# ... and the image's ISO 9660 side with isoinfo; the sound's loudness with Debian's ffmpeg.
command -v isoinfo >/dev/null || need+=(genisoimage)
command -v ffmpeg >/dev/null || need+=(ffmpeg)
for tool in make nasm meson pkg-config dpkg-source autoreconf libtoolize xz flex bison; do
  command -v $tool >/dev/null && continue
  case $tool in
    dpkg-source) need+=(dpkg-dev) ;;
    autoreconf) need+=(autoconf automake) ;;
    libtoolize) need+=(libtool) ;;
    xz) need+=(xz-utils) ;;
    *) need+=($tool) ;;
  esac
done
wine_ok=1
command -v wine >/dev/null || wine_ok=0
dpkg -s wine32:i386 >/dev/null 2>&1 || wine_ok=0

if [ ${#need[@]} -eq 0 ] && [ $wine_ok -eq 1 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if [ $wine_ok -eq 0 ]; then
  dpkg --add-architecture i386
fi
# A mirror in the middle of its sync fails an index now and then: try again, and go on with
# what was read (the install below fails plainly if a package is really missing).
for try in 1 2 3; do
  apt-get update -qq && break
  echo "apt-get update failed (try $try of 3)"; sleep 10
done
if [ $wine_ok -eq 0 ]; then
  need+=(wine wine32:i386 wine64)
fi
echo "Installing: ${need[*]}"
# Where one architecture's security index was not read, the two architectures' versions of a
# library can differ: the release's own versions then resolve for both.
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null ||
  apt-get install -y -qq --no-install-recommends -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" "${need[@]}" >/dev/null
