#!/usr/bin/env bash
# Builds libjpeg for WebAssembly from Debian's own source package: the
# version of the desktop build's libjpeg62-turbo. The C path only: wasm has
# no SIMD code in libjpeg-turbo.
#   web/libjpeg.sh DIR   → DIR/include/{jpeglib.h,jconfig.h,...}, DIR/libjpeg.a
set -euo pipefail
dir=$1
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
[ -f "$dir/libjpeg.a" ] && exit 0
bash "$(dirname "$0")/debian-source.sh" libjpeg62-turbo "$dir"
# emcmake's checks guess the sizes of size_t and unsigned long wrongly.
emcmake cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=0 \
  -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 -DSIZE_T=4 -DUNSIGNED_LONG=4 >/dev/null
ninja -C "$dir/build" jpeg-static >/dev/null
mkdir -p "$dir/include"
cp "$dir/src"/{jpeglib.h,jmorecfg.h,jerror.h} "$dir/build/jconfig.h" "$dir/include/"
cp "$dir/build/libjpeg.a" "$dir/libjpeg.a"
