#!/usr/bin/env bash
# Builds the media tool that Mervane.exe carries: MediaInfoLib with ZenLib and zlib, from the
# sources tools/sources.lock names (Debian's patches applied; ZenLib's upstream tarball as it
# is, its Debian part being gone from the archive), behind the program's own small front end
# (tools/media-tool/mediainfo.cpp), static for 32-bit Windows. Only the parsers the program and
# its tests read are built: MP4 with what it carries, and the MPEG program streams the tests
# read back. Kept in WORK/media-cache, keyed by those sources, this script and the front end.
# Usage: build-media-tool.sh OUT WORK SOURCES
#   (writes OUT/mediainfo.exe, OUT/media-tool-versions.txt and its licences into OUT/media-tool-licences/)
set -euo pipefail
out=$(realpath -m "$1") work=$(realpath -m "$2") sources_out=$(realpath -m "$3")
script=$(realpath "$0")
tools=$(dirname "$script")
lock=$tools/sources.lock
front=$tools/media-tool/mediainfo.cpp
host=i686-w64-mingw32

source "$tools/debian-sources.sh"
packages="libmediainfo libzen zlib"
tool_cache "$lock" "$work" media-cache "$packages" "$script" "$front"

if [ ! -f "$cache/mediainfo.exe" ]; then
  echo "Building the media tool ($(echo "$versions" | tr '\n' ' '))"
  build=$work/media-build
  rm -rf "$build"
  mkdir -p "$build/obj"
  while read -r package version; do
    upstream=${version#*:}
    if locked_orig_only "$lock" "$package"; then
      mkdir -p "$build/$package"
      tar -xf "$work/sources/$(locked_files "$lock" "$package" | head -n 1 | cut -d' ' -f1)" -C "$build/$package" --strip-components=1
    else
      dpkg-source --no-check -x "$work/sources/${package}_${upstream}.dsc" "$build/$package" >/dev/null
    fi
  done <<< "$versions"

  # -Os without -ffunction-sections: with them MediaInfoLib's parsers call through bad pointers.
  flags="-Os -DUNICODE -D_UNICODE -DNDEBUG"
  parsers="-DMEDIAINFO_ALL_NO -DMEDIAINFO_MPEG4_YES -DMEDIAINFO_MPEGPS_YES -DMEDIAINFO_MPEGV_YES -DMEDIAINFO_MPEGA_YES
           -DMEDIAINFO_AC3_YES -DMEDIAINFO_AC4_YES -DMEDIAINFO_AAC_YES -DMEDIAINFO_MPEGH3DA_YES -DMEDIAINFO_AVC_YES
           -DMEDIAINFO_DVDIF_YES -DMEDIAINFO_LIBCURL_NO -DMEDIAINFO_LIBMMS_NO -DMEDIAINFO_GRAPHVIZ_NO"
  third=$build/libmediainfo/Source/ThirdParty
  includes="-I$build/libmediainfo/Source -I$build/libzen/Source -I$build/zlib -I$third/tfsxml -I$third/md5 -I$third/base64
            -I$third/aes-gladman -I$third/sha1-gladman -I$third/sha2-gladman -I$third/hmac-gladman -I$third/tinyxml2"
  cd "$build"
  { ls zlib/*.c
    ls "$third"/{tfsxml/tfsxml.c,md5/md5.c,sha1-gladman/sha1.c,sha2-gladman/sha2.c,hmac-gladman/hmac.c,tinyxml2/tinyxml2.cpp}
    ls "$third"/aes-gladman/{aes_modes,aescrypt,aeskey,aestab}.c
    find libzen/Source/ZenLib -maxdepth 1 -name '*.cpp' ! -name PreComp.cpp ! -name HTTP_Client.cpp
    find libmediainfo/Source/MediaInfo -name '*.cpp' ! -name PreComp.cpp; } > files.txt
  compile() {
    local compiler=$host-g++
    [[ $1 == *.c ]] && compiler=$host-gcc
    $compiler $flags $parsers $includes -w -c "$1" -o "obj/$(echo "$1" | tr / _).o"
  }
  export -f compile
  export host flags parsers includes
  xargs -P"$(nproc)" -I{} bash -c 'compile {}' < files.txt > log.txt 2>&1 || { tail -n 40 log.txt >&2; exit 1; }
  $host-g++ $flags $parsers $includes -municode -static -s "$front" obj/*.o -o mediainfo.exe
  mkdir -p "$cache/licences"
  cp mediainfo.exe "$cache/mediainfo.exe"
  cp libmediainfo/LICENSE "$cache/licences/MediaInfoLib-LICENSE.txt"
  cp libzen/License.txt "$cache/licences/ZenLib-License.txt"
  cp zlib/README "$cache/licences/zlib-README.txt"
  echo "$versions" > "$cache/versions.txt"
  cd "$work"
  rm -rf "$build"
fi

mkdir -p "$out/media-tool-licences"
cp "$cache/mediainfo.exe" "$out/mediainfo.exe.new" && mv "$out/mediainfo.exe.new" "$out/mediainfo.exe"
cp "$cache"/licences/* "$out/media-tool-licences/"
{ echo "# The Debian source packages the embedded media tool was built from (tools/sources.lock)."
  cat "$cache/versions.txt"; } > "$out/media-tool-versions.txt"
copy_sources "$lock" "$work" "$sources_out" $packages
mkdir -p "$sources_out/media-tool"
cp "$script" "$sources_out/"
cp "$front" "$sources_out/media-tool/"
