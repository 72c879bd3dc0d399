#!/usr/bin/env bash
# Writes what "About Mervane…" shows and the build leaves beside Mervane.exe: the program's
# version, the tools it carries with their versions as built, and each part's licence, FFmpeg's
# notices and the LGPL 2.1 in full. Also writes RC, a resource script that embeds the text.
# Usage: make-licences.sh VERSION PAYLOADS OUT_TXT OUT_RC
set -euo pipefail
version=$1 payloads=$2 txt=$3 rc=$4
licences=$payloads/licences
section() { printf '\n\n==== %s ====\n\n' "$1"; }
{
  echo "Mervane $version"
  echo
  echo "Mervane converts MP4 files into MPEG files. It carries three tools, each a program"
  echo "of its own that Mervane runs: the encoder, FFmpeg; the media tool, MediaInfoLib;"
  echo "and the disc tool, dvdauthor; and the font its subtitles are drawn in, DejaVu Sans."
  echo "Their terms are theirs and are set out below. Whoever passes Mervane.exe on passes"
  echo "these tools with it, and with them this text and the folder \"sources\" of its build,"
  echo "which holds the exact source packages and the scripts the tools were built from."
  section "The encoder: FFmpeg, with dav1d, zimg, libass, FreeType, FriBidi, HarfBuzz"
  sed -n 's/^\([a-z0-9]*\) \(.*\)/\1 \2 (Debian source package, with Debian'"'"'s patches)/p' "$payloads/encoder-versions.txt"
  echo
  echo "FFmpeg is built with its LGPL parts only: it is under the GNU Lesser General"
  echo "Public License, version 2.1 or later, whose text is at the end. This software is"
  echo "based in part on the work of the Independent JPEG Group: FFmpeg takes"
  echo "libavcodec/jfdctfst.c, jfdctint_template.c and jrevdct.c from libjpeg, with the"
  echo "changes its own sources record. dav1d is under the BSD 2-clause licence, zimg"
  echo "under the WTFPL, libass under the ISC licence, FriBidi under the LGPL 2.1 or"
  echo "later, FreeType under the FreeType License (FTL) and HarfBuzz under the Old MIT"
  echo "licence, below. The subtitles' font is DejaVu Sans (Debian's fonts-dejavu-core),"
  echo "under the Bitstream Vera and Arev fonts' licence, below."
  section "FFmpeg's licence notes (LICENSE.md)"
  cat "$licences/ffmpeg-LICENSE.md"
  section "dav1d (COPYING)"
  cat "$licences/dav1d-COPYING.txt"
  section "zimg (COPYING)"
  cat "$licences/zimg-COPYING.txt"
  section "libass (COPYING)"
  cat "$licences/libass-COPYING.txt"
  section "FreeType (FTL.TXT)"
  cat "$licences/freetype-FTL.txt"
  section "FriBidi (COPYING: the LGPL 2.1, as at the end)"
  echo "FriBidi is free software under the GNU Lesser General Public License, version 2.1"
  echo "or later; its text is the LGPL at the end of this file."
  section "HarfBuzz (COPYING)"
  cat "$licences/harfbuzz-COPYING.txt"
  section "DejaVu fonts (Debian's copyright file of fonts-dejavu-core)"
  cat "$licences/dejavu-copyright.txt"
  section "The media tool: MediaInfoLib, with ZenLib and zlib"
  sed -n 's/^\([a-z0-9]*\) \(.*\)/\1 \2 (Debian source package)/p' "$payloads/media-tool-versions.txt"
  echo
  echo "Mervane's own small front end (tools/media-tool/mediainfo.cpp) runs MediaInfoLib,"
  echo "which is under the BSD 2-clause licence, as ZenLib is; zlib is under the zlib"
  echo "licence. ZenLib is built from its upstream tarball as it is."
  section "MediaInfoLib (LICENSE)"
  cat "$payloads/media-tool-licences/MediaInfoLib-LICENSE.txt"
  section "ZenLib (License.txt)"
  cat "$payloads/media-tool-licences/ZenLib-License.txt"
  section "zlib (README)"
  sed -n '/^Copyright notice:/,$p' "$payloads/media-tool-licences/zlib-README.txt"
  section "The disc tool: dvdauthor, with libxml2"
  sed -n 's/^\([a-z0-9]*\) \(.*\)/\1 \2 (Debian source package)/p' "$payloads/disc-tool-versions.txt"
  echo
  echo "dvdauthor is under the GNU General Public License, version 2 or later, below. It"
  echo "is a separate program that Mervane runs. It is built from its upstream tarball with"
  echo "a small patch of Mervane's own for Windows (tools/dvdauthor/mingw.patch, in the"
  echo "folder \"sources\"). libxml2 is under the MIT licence, below."
  section "dvdauthor (COPYING: the GNU General Public License, version 2)"
  cat "$payloads/disc-tool-licences/dvdauthor-COPYING.txt"
  section "libxml2 (Copyright)"
  cat "$payloads/disc-tool-licences/libxml2-Copyright.txt"
  section "Mervane.exe's own runtime: mingw-w64 with winpthreads, libgcc and libstdc++"
  for package in mingw-w64-i686-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686; do
    echo "$package $(dpkg-query -W -f='${Version}' "$package" 2>/dev/null || echo '(not installed)') (Debian)"
  done
  echo
  echo "Mervane.exe is linked statically with the mingw-w64 runtime and its POSIX threads"
  echo "library, winpthreads, and with GCC's libgcc and libstdc++. The mingw-w64 runtime is"
  echo "under the Zope Public License 2.1 and the other terms its copyright file sets out,"
  echo "winpthreads under the MIT (expat) licence, both below. libgcc and libstdc++ are under"
  echo "the GNU General Public License, version 3, with the GCC Runtime Library Exception,"
  echo "below, which lets a program compiled with GCC carry them on terms of its own."
  section "mingw-w64 and winpthreads (Debian's copyright file of mingw-w64-i686-dev)"
  cat /usr/share/doc/mingw-w64-i686-dev/copyright
  section "libgcc and libstdc++: the GCC Runtime Library Exception, version 3.1"
  sed -n '/^GCC RUNTIME LIBRARY EXCEPTION/,/requirements of the license of GCC\./p' /usr/share/doc/gcc-mingw-w64-base/copyright
  section "GNU Lesser General Public License, version 2.1"
  cat "$licences/LGPL-2.1.txt"
} > "$txt.new"
mv "$txt.new" "$txt"
echo "LICENCES RCDATA \"$txt\"" > "$rc"
