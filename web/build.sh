#!/usr/bin/env bash
# Builds the browser edition's core: language/ and picture/ as they are,
# compiled to WebAssembly with Debian's emscripten, with what the browser
# lacks made by the native build: the CP932 table and the TEXT glyphs.
#   web/build.sh NATIVE_BUILD_DIR OUTPUT_DIR
set -euo pipefail
native=$1
out=$2
here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
# Debian's node does not look in /usr/share/nodejs, where emscripten's
# helpers find their modules.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
sources=(
  "$here"/language/{Cp932,LineStyle,Listing,ListingText,RunHistory,Runner,StatementParser,StatementTable}.cpp
  "$here"/picture/{Bmp,Drawing,Picture,GlyphText}.cpp
  "$native/app/glyphs.cpp"
  "$here"/web/{TextFromGlyphs,Core}.cpp
)
em++ -O2 -std=c++17 -I"$here" -I"$native/language" "${sources[@]}" \
  -sEXPORTED_FUNCTIONS=_kuv_run,_kuv_rewritten,_kuv_error_line,_kuv_bmp,_malloc,_free \
  -sEXPORTED_RUNTIME_METHODS=HEAPU8,HEAP32 -sALLOW_MEMORY_GROWTH=1 -sMODULARIZE=1 -sEXPORT_NAME=KuvCore \
  -o "$out/kuv-core.js"
echo "web: $out/kuv-core.js, $(gzip -c "$out/kuv-core.wasm" | wc -c) bytes of WebAssembly gzipped"
