#!/usr/bin/env bash
# Builds the browser edition's core: language/ and picture/ as they are,
# compiled to WebAssembly with Debian's emscripten, with what the browser
# lacks made by the native build: the CP932 table and the TEXT glyphs.
#   web/build.sh NATIVE_BUILD_DIR OUTPUT_DIR
set -euo pipefail
native=$1
out=$2
here=$(cd "$(dirname "$0")/.." && pwd)
# Only what this build makes: nothing stale is served.
rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
# Debian's node does not look in /usr/share/nodejs, where emscripten's
# helpers find their modules.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# libjpeg for wasm, built once from Debian's source package.
jpeg=$(dirname "$out")/libjpeg
bash "$here/web/libjpeg.sh" "$jpeg"
# zlib for wasm likewise: the links of listings.
zlib=$(dirname "$out")/zlib
bash "$here/web/zlib.sh" "$zlib"
# The core's own source lists, as the desktop's build reads them.
sources=()
for module in language picture; do
  while read -r file; do [ -n "$file" ] && sources+=("$here/$module/$file"); done <"$here/$module/sources.txt"
done
sources+=("$native/app/glyphs.cpp" "$here"/web/{TextFromGlyphs,Core}.cpp)
em++ -O2 -std=c++17 -I"$here" -I"$native/language" -I"$native/picture" -I"$jpeg/include" -I"$zlib/include" "${sources[@]}" "$jpeg/libjpeg.a" "$zlib/libz.a" \
  -sEXPORTED_FUNCTIONS=_malloc,_free \
  -sEXPORTED_RUNTIME_METHODS=HEAPU8,HEAP32,HEAPU16 -sALLOW_MEMORY_GROWTH=1 -sMODULARIZE=1 -sEXPORT_NAME=KuvCore \
  -o "$out/kuv-core.js"
# The page: its static files.
cp "$here"/web/static/* "$out/"
# What the desktop build made: the help page and its picture, the icon;
# and the licence.
cp "$native/share/kuv/kuvhelp.htm" "$native/share/kuv/teaching.png" "$out/"
cp "$native/share/icons/48/kuv.png" "$out/kuv-48.png"
# The sizes an installable web app needs.
for size in 192 512; do QT_QPA_PLATFORM=offscreen "$native/generate/kuv-icon" "$size" "$out/kuv-$size.png"; done
cp "$here/LICENSE" "$out/LICENSE.txt"
# Its scripts, bundled from npm's packages: installed from the lock file,
# again whenever the lock file is newer.
(cd "$here/web" && [ node_modules/.package-lock.json -nt package-lock.json ] || npm ci --no-audit --no-fund >/dev/null)
# The page's script is modules whose functions are compiled at once, off
# the main thread (V8's hint on their first line), so that a slow laptop's
# start-up is short tasks. As a classic script wrapped in one function, its
# first task took two to three times as long when traced (a recorded stack
# reparses the function that holds the whole bundle). boot.js takes its
# parts one task each: CodeMirror's state, its view, its commands, and
# then the page's own (src/parts/ names them; the shared code, and the QR
# code maker that the first link loads, are in the part-*.js chunks). CodeMirror's commands build a word segmenter as they
# load, for sub-word moves that the page's keys never make, and Chromium
# takes tens of milliseconds to build one for Japanese; the bundle has no
# other use of Intl.Segmenter.
(cd "$here/web" && npx esbuild src/main.js src/parts/*.js --bundle --splitting --target=es2020 --minify --format=esm \
    --define:Intl.Segmenter=undefined '--banner:js=//# allFunctionsCalledOnLoad' --outdir="$out" --entry-names=[name] --chunk-names=part-[hash] \
    --log-level=warning &&
  npx esbuild src/worker.js --bundle --target=es2020 --minify --format=iife --outfile="$out/worker.js" --log-level=warning)
# The offline copy is every file of the site but the service worker
# itself, whatever the chunks are named.
files=$(cd "$out" && for f in *; do [ "$f" = sw.js ] || printf ", '%s'" "$f"; done)
sed -i "s|/\* the site's files \*/|$files|" "$out/sw.js"
grep -q "'index.html'" "$out/sw.js"
echo "web: $out, $(cat "$out"/* | gzip -c | wc -c) bytes gzipped"
