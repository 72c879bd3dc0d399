#!/usr/bin/env bash
# Builds the encoder that Mervane.exe carries: FFmpeg 7.1 with dav1d (AV1), zimg (tone
# mapping and colour matrices) and libass with FreeType, FriBidi and HarfBuzz (subtitles drawn
# into the picture, fonts from DirectWrite and the font carried beside it), cross-built for
# 32-bit Windows, static and stripped, with only what the program and its tests use. The
# sources are exactly those tools/sources.lock names, from the machine's Debian archive
# (debian-sources.sh), unpacked with Debian's patches. A build is kept in WORK/cache, keyed by
# the lock and this script (which holds the configure lines): only a fresh build tree pays for
# it. The sources and the scripts are copied to SOURCES, which travels with the program, and
# the parts' licences to OUT/licences. The subtitles' default font, DejaVu Sans from Debian's
# fonts-dejavu-core, is checked against the lock and written into OUT/fonts, the folder the
# program names to the encoder.
# Usage: build-encoder.sh OUT WORK SOURCES
#   (writes OUT/ffmpeg.exe, OUT/fonts/DejaVuSans.ttf, OUT/encoder-versions.txt and OUT/licences/)
set -euo pipefail
out=$(realpath -m "$1") work=$(realpath -m "$2") sources_out=$(realpath -m "$3")
script=$(realpath "$0")
tools=$(dirname "$script")
lock=$tools/sources.lock
host=i686-w64-mingw32
jobs=$(nproc)

# ---- the sources ----
source "$tools/debian-sources.sh"
packages="ffmpeg dav1d zimg freetype fribidi harfbuzz libass"
versions=$(locked_versions "$lock" | grep -E "^(${packages// /|}) ")
key=$( { locked_lines "$lock" $packages; cat "$script"; } | sha256sum | cut -c1-16 )
cache=$work/cache/$key
ensure_sources "$lock" "$work"

if [ ! -f "$cache/ffmpeg.exe" ]; then
  echo "Building the encoder ($(echo "$versions" | tr '\n' ' ')), a few minutes on a fresh build tree"
  build=$work/build prefix=$work/build/prefix
  rm -rf "$build"
  mkdir -p "$build" "$prefix"
  # Unpacked with Debian's patches applied: the versions recorded are then the code built.
  for dsc in $(echo "$versions" | while read -r p v; do echo "$work/sources/${p}_${v#*:}.dsc"; done); do
    dpkg-source --no-check -x "$dsc" "$build/$(basename "$dsc" .dsc)" >/dev/null
  done
  src() { echo "$build/$1_$(echo "$versions" | sed -n "s/^$1 \(.*:\)\?//p")"; }
  # Runs a step with its output in the build's log, which is shown when the step fails.
  quietly() { "$@" >> "$build/log.txt" 2>&1 || { tail -n 40 "$build/log.txt" >&2; exit 1; }; }
  export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

  # zimg: C++ without threads, static.
  cd "$(src zimg)"
  quietly ./autogen.sh
  quietly ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared STL_LIBS=-lstdc++
  quietly make -j"$jobs" install

  # dav1d: 8- and 10-bit AV1, its x86 assembly through nasm.
  cat > "$build/cross.txt" <<EOF
[binaries]
c = '$host-gcc'
ar = '$host-ar'
strip = '$host-strip'
cpp = '$host-g++'
windres = '$host-windres'
pkgconfig = 'pkg-config'
[host_machine]
system = 'windows'
cpu_family = 'x86'
cpu = 'i686'
endian = 'little'
EOF
  # meson never fetches a subproject (only the lock's sources are built), and every dependency it
  # finds is one this build made (or the compiler's own threads): a library of the machine's
  # found instead fails the build.
  own_dependencies_only() {
    local dependency
    for dependency in $(sed -n 's/^Run-time dependency \([^ ]*\) found: YES.*/\1/p' build/meson-logs/meson-log.txt | sort -u); do
      [ "$dependency" = threads ] || [ -f "$prefix/lib/pkgconfig/$dependency.pc" ] ||
        { echo "$(basename "$PWD"): $dependency was found outside the build's own tree" >&2; exit 1; }
    done
  }
  cd "$(src dav1d)"
  quietly meson setup build --cross-file "$build/cross.txt" --prefix="$prefix" --libdir=lib --wrap-mode=nodownload \
    --buildtype=release --default-library=static -Denable_tools=false -Denable_tests=false \
    -Denable_examples=false -Denable_docs=false
  own_dependencies_only
  quietly ninja -C build install

  # The subtitles: FreeType draws the glyphs, FriBidi orders right-to-left text, HarfBuzz shapes
  # joined scripts, and libass lays the cues out. Fonts come from DirectWrite and the folder the
  # program names, never from fontconfig.
  meson_static() {
    quietly meson setup build --cross-file "$build/cross.txt" --prefix="$prefix" --libdir=lib --wrap-mode=nodownload \
      --buildtype=release --default-library=static "$@"
    own_dependencies_only
    quietly ninja -C build install
  }
  cd "$(src freetype)"
  meson_static -Dzlib=disabled -Dbzip2=disabled -Dpng=disabled -Dharfbuzz=disabled -Dbrotli=disabled
  cd "$(src fribidi)"
  meson_static -Ddocs=false
  cd "$(src harfbuzz)"
  meson_static -Dglib=disabled -Dgobject=disabled -Dicu=disabled -Dcairo=disabled -Dchafa=disabled \
    -Dgraphite2=disabled -Dgdi=disabled -Ddirectwrite=disabled -Dtests=disabled -Ddocs=disabled \
    -Dutilities=disabled -Dintrospection=disabled -Dfreetype=enabled
  cd "$(src libass)"
  quietly ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared \
    --disable-fontconfig --enable-directwrite --disable-require-system-font-provider
  quietly make -j"$jobs" install

  # FFmpeg: LGPL parts only. Inputs are MP4 files (mov); the MPEG program streams are read back
  # by the tests (mpegps, with the raw video demuxer to tell its stream); lavfi, testsrc, sine,
  # mp4 with mpeg4 and aac make the tests' clips (with mov_text subtitles), and ssim, signalstats and metadata measure
  # their results. ebur128 measures a file's loudness (its sound decoded into pcm for the null
  # muxer) and volume evens it; split and overlay fill a frame's bars with its picture. concat
  # puts a batch's files one after the other as one, without encoding them again. image2 with
  # bmp reads a disc menu's page as the program drew it, and writes the frames it shows.
  cd "$(src ffmpeg)"
  quietly ./configure --prefix="$prefix" --arch=x86 --cpu=i686 --target-os=mingw32 \
     --cross-prefix=$host- --enable-cross-compile --pkg-config=pkg-config --pkg-config-flags=--static \
     --extra-ldflags="-static -static-libgcc -static-libstdc++" \
     --disable-everything --disable-autodetect --disable-debug --disable-doc --disable-network \
     --disable-ffplay --disable-ffprobe --disable-postproc --enable-w32threads --enable-x86asm \
     --enable-libdav1d --enable-libzimg --enable-libass --enable-avdevice --enable-indev=lavfi --enable-protocol=file,pipe \
     --enable-demuxer=mov,mpegps,mpegvideo,concat,image2,srt,ass \
     --enable-decoder=srt,subrip,ass,ssa,movtext,bmp --enable-encoder=movtext,bmp \
     --enable-decoder=h264,hevc,vp9,libdav1d,vvc,mpeg4,h263,mjpeg,mpeg1video,mpeg2video,wrapped_avframe \
     --enable-decoder=aac,aac_fixed,mp3,mp3float,ac3,eac3,opus,alac,flac,mp2,mp2float \
     --enable-decoder=pcm_s16le,pcm_s16be,pcm_s24le,pcm_s24be,pcm_s32le,pcm_s32be,pcm_f32le,pcm_f32be,pcm_f64le,pcm_s64le,pcm_u8,pcm_alaw,pcm_mulaw \
     --enable-parser=h264,hevc,vp9,av1,vvc,mpeg4video,mjpeg,mpegvideo,aac,mpegaudio,ac3,opus,flac \
     --enable-encoder=mpeg1video,mpeg2video,mp2,ac3,mpeg4,aac,pcm_s16le \
     --enable-muxer=mpeg1system,mpeg1vcd,mpeg2dvd,mpeg2vob,mpeg2svcd,mp4,mov,null,image2 \
     --enable-filter=scale,pad,setdar,setsar,yadif,zscale,tonemap,format,null,fps,crop,transpose,hflip,vflip \
     --enable-filter=trim,setpts,aformat,anull,aresample,atrim,asetpts,apad,anullsrc,testsrc,testsrc2,noise,sine,ssim,signalstats,metadata,setparams,lutyuv,subtitles \
     --enable-filter=ebur128,volume,split,overlay
  quietly make -j"$jobs" install

  $host-strip "$prefix/bin/ffmpeg.exe"
  mkdir -p "$cache/licences"
  # What FFmpeg's licence asks to be passed on (its notices, the Independent JPEG Group's
  # credit, the LGPL 2.1), and dav1d's and zimg's own.
  cp "$(src ffmpeg)/LICENSE.md" "$cache/licences/ffmpeg-LICENSE.md"
  cp "$(src ffmpeg)/COPYING.LGPLv2.1" "$cache/licences/LGPL-2.1.txt"
  cp "$(src dav1d)/COPYING" "$cache/licences/dav1d-COPYING.txt"
  cp "$(src zimg)/COPYING" "$cache/licences/zimg-COPYING.txt"
  cp "$(src libass)/COPYING" "$cache/licences/libass-COPYING.txt"
  cp "$(src fribidi)/COPYING" "$cache/licences/fribidi-COPYING.txt"
  cp "$(src freetype)/docs/FTL.TXT" "$cache/licences/freetype-FTL.txt"
  cp "$(src harfbuzz)/COPYING" "$cache/licences/harfbuzz-COPYING.txt"
  cp "$prefix/bin/ffmpeg.exe" "$cache/ffmpeg.exe"
  echo "$versions" > "$cache/versions.txt"
  cd "$work"
  rm -rf "$build"
fi

mkdir -p "$out"
# The subtitles' font, from the machine's fonts-dejavu-core, as the lock pins it.
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
font_sum=$(awk '$1 == "font" && $2 == "DejaVuSans.ttf" { print $4 }' "$lock")
if [ ! -f "$font" ] || [ "$(sha256sum "$font" | cut -c1-64)" != "$font_sum" ]; then
  echo "build-encoder: $font is missing or does not match its SHA-256 in the lock (package fonts-dejavu-core)" >&2
  exit 1
fi
mkdir -p "$out/fonts"
cp "$font" "$out/fonts/DejaVuSans.ttf"
cp "$cache/ffmpeg.exe" "$out/ffmpeg.exe.new" && mv "$out/ffmpeg.exe.new" "$out/ffmpeg.exe"
{ echo "# The Debian source packages the embedded encoder was built from, with Debian's patches (tools/sources.lock)."
  cat "$cache/versions.txt"; } > "$out/encoder-versions.txt"
rm -rf "$out/licences" && cp -r "$cache/licences" "$out/licences"
cp /usr/share/doc/fonts-dejavu-core/copyright "$out/licences/dejavu-copyright.txt"
# The exact sources and the scripts that built the encoder, to pass on with Mervane.exe.
mkdir -p "$sources_out"
for package in $packages; do
  locked_files "$lock" "$package" | while read -r name _; do cp -u "$work/sources/$name" "$sources_out/"; done
done
cp "$lock" "$script" "$tools/debian-sources.sh" "$tools/refresh-lock.sh" "$sources_out/"
