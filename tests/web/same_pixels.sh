#!/usr/bin/env bash
# The WebAssembly core against kuv-render on a folder of listings (the
# samples and corpus.py's).
#   same_pixels.sh KUV_CORE_JS KUV_RENDER CORPUS_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
node --no-experimental-fetch "$here/same_pixels.js" "$1" "$2" "$3"/*.kuv
