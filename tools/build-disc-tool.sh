#!/usr/bin/env bash
# Builds the disc tool that Mervane.exe carries: dvdauthor, which lays DVD streams out as a
# DVD-Video folder, with libxml2 for the layout it is given, from the sources
# tools/sources.lock names (libxml2 with Debian's patches; dvdauthor's upstream tarball, its
# Debian part being gone from the archive), static for 32-bit Windows. Only dvdauthor itself is
# built: spumux, which draws subtitle pictures, is not, so the libraries only it needs are
# stood in for at configure time. tools/dvdauthor/mingw.patch lets it build for Windows, and a
# manifest gives it UTF-8 as its code page, so that it opens the names it is given in any
# script. Kept in WORK/disc-cache, keyed by those sources, this script and the patch.
# Usage: build-disc-tool.sh OUT WORK SOURCES
#   (writes OUT/dvdauthor.exe, OUT/disc-tool-versions.txt and its licences into OUT/disc-tool-licences/)
set -euo pipefail
out=$(realpath -m "$1") work=$(realpath -m "$2") sources_out=$(realpath -m "$3")
script=$(realpath "$0")
tools=$(dirname "$script")
lock=$tools/sources.lock
patch=$tools/dvdauthor/mingw.patch
host=i686-w64-mingw32

source "$tools/debian-sources.sh"
packages="dvdauthor libxml2"
tool_cache "$lock" "$work" disc-cache "$packages" "$script" "$patch"

if [ ! -f "$cache/dvdauthor.exe" ]; then
  echo "Building the disc tool ($(echo "$versions" | tr '\n' ' '))"
  build=$work/disc-build prefix=$work/disc-build/prefix
  rm -rf "$build"
  mkdir -p "$build/dvdauthor" "$prefix"
  quietly() { "$@" >> "$build/log.txt" 2>&1 || { tail -n 40 "$build/log.txt" >&2; exit 1; }; }
  xml_version=$(locked_versions "$lock" | sed -n 's/^libxml2 //p')
  dpkg-source --no-check -x "$work/sources/libxml2_${xml_version#*:}.dsc" "$build/libxml2" >/dev/null
  tar -xf "$work/sources/$(locked_files "$lock" dvdauthor | head -n 1 | cut -d' ' -f1)" -C "$build/dvdauthor" --strip-components=1

  # libxml2: the reader dvdauthor parses its layout with, nothing that reaches out or loads.
  cd "$build/libxml2"
  quietly autoreconf -fi
  quietly ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static --without-python \
    --without-http --without-ftp --without-lzma --without-zlib --without-iconv --without-icu --without-threads \
    --without-modules --without-catalog --without-debug --without-docbook CFLAGS=-Os
  quietly make -j"$(nproc)" libxml2.la
  quietly make install-libLTLIBRARIES install-data

  # dvdauthor: its configure asks for what spumux draws with (libpng, FreeType), which is
  # answered with empty flags; filenames are taken as UTF-8, without iconv.
  cd "$build/dvdauthor"
  quietly patch -p1 -i "$patch"
  mkdir -p autotools
  cp /usr/share/gettext/config.rpath autotools/
  ACLOCAL_PATH=$prefix/share/aclocal quietly autoreconf -fi
  quietly ./configure --host=$host --disable-shared --disable-dvdunauthor --with-xml-prefix="$prefix" \
    am_cv_func_iconv=no LIBPNG_CFLAGS=-DNO_PNG LIBPNG_LIBS=-lm FREETYPECONFIG=true MAGICKCONFIG=
  cat > utf8.manifest <<'MANIFEST'
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="dvdauthor" version="0.7.2.0" processorArchitecture="x86"/>
  <application xmlns="urn:schemas-microsoft-com:asm.v3">
    <windowsSettings>
      <activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>
    </windowsSettings>
  </application>
</assembly>
MANIFEST
  echo '1 24 "utf8.manifest"' > manifest.rc
  quietly $host-windres manifest.rc -O coff -o src/manifest.o
  quietly make -C src dvdauthor.exe CFLAGS=-Os CPPFLAGS="-DLIBXML_STATIC -I$prefix/include/libxml2" \
    LDFLAGS="-static -s" LIBS="$prefix/lib/libxml2.a manifest.o"
  mkdir -p "$cache/licences"
  cp src/dvdauthor.exe "$cache/dvdauthor.exe"
  cp COPYING "$cache/licences/dvdauthor-COPYING.txt"
  cp "$build/libxml2/Copyright" "$cache/licences/libxml2-Copyright.txt"
  echo "$versions" > "$cache/versions.txt"
  cd "$work"
  rm -rf "$build"
fi

mkdir -p "$out/disc-tool-licences"
cp "$cache/dvdauthor.exe" "$out/dvdauthor.exe.new" && mv "$out/dvdauthor.exe.new" "$out/dvdauthor.exe"
cp "$cache"/licences/* "$out/disc-tool-licences/"
{ echo "# The Debian source packages the embedded disc tool was built from (tools/sources.lock)."
  cat "$cache/versions.txt"; } > "$out/disc-tool-versions.txt"
copy_sources "$lock" "$work" "$sources_out" $packages
mkdir -p "$sources_out/dvdauthor"
cp "$script" "$sources_out/"
cp "$patch" "$sources_out/dvdauthor/"
