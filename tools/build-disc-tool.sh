#!/usr/bin/env bash
# Builds the disc tools that Mervane.exe carries: dvdauthor, which lays DVD streams out as a
# DVD-Video folder, and spumux, which puts a menu's buttons and their highlight into its
# still, with libxml2 for the layouts they are given and libpng with zlib for the highlight's
# pictures, from the sources tools/sources.lock names (libxml2 and zlib with Debian's patches;
# dvdauthor's and libpng's upstream tarballs, their Debian parts being gone from the archive),
# static for 32-bit Windows, spumux with FreeType as it asks. spumux reads PNG alone: no
# ImageMagick, no fontconfig. tools/dvdauthor/mingw.patch lets them build for Windows, and a manifest gives them
# UTF-8 as their code page, so that they open the names they are given in any script. Kept in
# WORK/disc-cache, keyed by those sources, this script and the patch.
# Usage: build-disc-tool.sh OUT WORK SOURCES
#   (writes OUT/dvdauthor.exe, OUT/spumux.exe, OUT/disc-tool-versions.txt and their licences
#   into OUT/disc-tool-licences/)
set -euo pipefail
out=$(realpath -m "$1") work=$(realpath -m "$2") sources_out=$(realpath -m "$3")
script=$(realpath "$0")
tools=$(dirname "$script")
lock=$tools/sources.lock
patch=$tools/dvdauthor/mingw.patch
host=i686-w64-mingw32

source "$tools/debian-sources.sh"
packages="dvdauthor libxml2 libpng1.6 zlib freetype"
tool_cache "$lock" "$work" disc-cache "$packages" "$script" "$patch"

if [ ! -f "$cache/spumux.exe" ]; then
  echo "Building the disc tool ($(echo "$versions" | tr '\n' ' '))"
  build=$work/disc-build prefix=$work/disc-build/prefix
  rm -rf "$build"
  mkdir -p "$build/dvdauthor" "$prefix/lib" "$prefix/include"
  quietly() { "$@" >> "$build/log.txt" 2>&1 || { tail -n 40 "$build/log.txt" >&2; exit 1; }; }
  xml_version=$(locked_versions "$lock" | sed -n 's/^libxml2 //p')
  dpkg-source --no-check -x "$work/sources/libxml2_${xml_version#*:}.dsc" "$build/libxml2" >/dev/null
  zlib_version=$(locked_versions "$lock" | sed -n 's/^zlib //p')
  dpkg-source --no-check -x "$work/sources/zlib_${zlib_version#*:}.dsc" "$build/zlib" >/dev/null
  tar -xf "$work/sources/$(locked_files "$lock" dvdauthor | head -n 1 | cut -d' ' -f1)" -C "$build/dvdauthor" --strip-components=1
  mkdir -p "$build/libpng"
  tar -xf "$work/sources/$(locked_files "$lock" libpng1.6 | head -n 1 | cut -d' ' -f1)" -C "$build/libpng" --strip-components=1

  # zlib and libpng, compiled as they are: libpng with its settings as it ships them, no
  # processor-specific code.
  cd "$build/zlib"
  for c in adler32 crc32 deflate inflate inffast inftrees trees zutil compress uncompr; do
    quietly $host-gcc -Os -c $c.c -o $c.o
  done
  quietly $host-ar rcs "$prefix/lib/libz.a" *.o
  cp zlib.h zconf.h "$prefix/include/"
  cd "$build/libpng"
  cp scripts/pnglibconf.h.prebuilt pnglibconf.h
  for c in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans pngwio pngwrite pngwtran pngwutil; do
    quietly $host-gcc -Os -DPNG_ARM_NEON_OPT=0 -DPNG_INTEL_SSE_OPT=0 -I"$prefix/include" -c $c.c -o $c.o
  done
  quietly $host-ar rcs "$prefix/lib/libpng.a" *.o
  cp png.h pngconf.h pnglibconf.h "$prefix/include/"
  # FreeType, which spumux links with for its text subtitles (the program gives it pictures
  # alone): by itself, no compressed fonts, no fontconfig.
  freetype_version=$(locked_versions "$lock" | sed -n 's/^freetype //p')
  dpkg-source --no-check -x "$work/sources/freetype_${freetype_version#*:}.dsc" "$build/freetype" >/dev/null
  cd "$build/freetype"
  quietly ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static --enable-freetype-config \
    --without-zlib --without-bzip2 --without-png --without-harfbuzz --without-brotli CFLAGS=-Os
  quietly make -j"$(nproc)"
  quietly make install

  # libxml2: the reader dvdauthor parses its layout with, nothing that reaches out or loads.
  cd "$build/libxml2"
  quietly autoreconf -fi
  quietly ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static --without-python \
    --without-http --without-ftp --without-lzma --without-zlib --without-iconv --without-icu --without-threads \
    --without-modules --without-catalog --without-debug --without-docbook CFLAGS=-Os
  quietly make -j"$(nproc)" libxml2.la
  quietly make install-libLTLIBRARIES install-data

  # dvdauthor and spumux: spumux reads its pictures with libpng; filenames are taken as UTF-8,
  # without iconv.
  cd "$build/dvdauthor"
  quietly patch -p1 -i "$patch"
  mkdir -p autotools
  cp /usr/share/gettext/config.rpath autotools/
  ACLOCAL_PATH=$prefix/share/aclocal quietly autoreconf -fi
  PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" quietly ./configure --host=$host --disable-shared --disable-dvdunauthor --with-xml-prefix="$prefix" \
    am_cv_func_iconv=no LIBPNG_CFLAGS="-I$prefix/include" LIBPNG_LIBS="$prefix/lib/libpng.a $prefix/lib/libz.a" \
    FREETYPECONFIG="$prefix/bin/freetype-config" MAGICKCONFIG=
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
  for tool in dvdauthor spumux; do
    quietly make -C src $tool.exe CFLAGS=-Os CPPFLAGS="-DLIBXML_STATIC -I$prefix/include/libxml2 -I$prefix/include" \
      LDFLAGS="-static -s" LIBS="$prefix/lib/libxml2.a manifest.o"
  done
  mkdir -p "$cache/licences"
  cp src/dvdauthor.exe src/spumux.exe "$cache/"
  cp COPYING "$cache/licences/dvdauthor-COPYING.txt"
  cp "$build/libxml2/Copyright" "$cache/licences/libxml2-Copyright.txt"
  cp "$build/libpng/LICENSE" "$cache/licences/libpng-LICENSE.txt"
  cp "$build/zlib/README" "$cache/licences/zlib-README.txt"
  cp "$build/freetype/docs/FTL.TXT" "$cache/licences/freetype-FTL.txt"
  echo "$versions" > "$cache/versions.txt"
  cd "$work"
  rm -rf "$build"
fi

mkdir -p "$out/disc-tool-licences"
for tool in dvdauthor spumux; do
  cp "$cache/$tool.exe" "$out/$tool.exe.new" && mv "$out/$tool.exe.new" "$out/$tool.exe"
done
cp "$cache"/licences/* "$out/disc-tool-licences/"
{ echo "# The Debian source packages the embedded disc tool was built from (tools/sources.lock)."
  cat "$cache/versions.txt"; } > "$out/disc-tool-versions.txt"
copy_sources "$lock" "$work" "$sources_out" $packages
mkdir -p "$sources_out/dvdauthor"
cp "$script" "$sources_out/"
cp "$patch" "$sources_out/dvdauthor/"
