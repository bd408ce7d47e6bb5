#!/usr/bin/env bash
# Builds zlib for WebAssembly from Debian's own source package, the version
# kuv-render links, so that the page's deflate makes the very bytes that
# kuv-render's does.
#   web/zlib.sh DIR   → DIR/include/{zlib.h,zconf.h}, DIR/libz.a
set -euo pipefail
dir=$1
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
[ -f "$dir/libz.a" ] && exit 0
bash "$(dirname "$0")/debian-source.sh" zlib1g "$dir"
mkdir -p "$dir/obj" "$dir/include"
for f in adler32 crc32 deflate inflate inffast inftrees trees zutil; do
  emcc -O2 -c "$dir/src/$f.c" -o "$dir/obj/$f.o"
done
emar rcs "$dir/libz.a" "$dir"/obj/*.o
cp "$dir/src"/{zlib.h,zconf.h} "$dir/include/"
