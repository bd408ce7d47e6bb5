#!/usr/bin/env bash
# Sets up a Debian 12 machine for KUV (Debian packages only), builds it, and
# then either starts it (run) or runs every test (test).
#   bash tools/kuv.sh run
#   bash tools/kuv.sh test
#   bash tools/kuv.sh web [--no-serve]   the browser edition into build-web/site/
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
case "$mode" in
  run|test|web) ;;
  *) echo "usage: bash tools/kuv.sh run|test|web [--no-serve]" >&2; exit 2 ;;
esac

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev libjpeg62-turbo-dev zlib1g-dev
  fonts-ipafont-gothic qt6-translations-l10n
  # the Debian package: CPack finds the libraries' packages with dpkg-shlibdeps
  dpkg-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # the fuzz target: clang with libFuzzer and the sanitizers
  clang libclang-rt-14-dev
  # the end-to-end test: a real X server and window manager, the
  # accessibility bus, screenshots
  xvfb xauth x11-utils dbus at-spi2-core python3-pyatspi imagemagick openbox
  # the package checks
  lintian desktop-file-utils appstream
  # the batch report, opened in a real browser; the page in the three
  # engines of schools' devices (Blink, Gecko, WebKit)
  chromium firefox-esr webkit2gtk-driver
  # real X key presses into WebKitGTK's input method
  xdotool
  # the page's QR codes, read back as a phone would
  zbar-tools
  # the browser edition: the core in WebAssembly
  emscripten
)

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"
# npm builds the browser edition's page; a machine whose node came with its
# own npm keeps it (Debian's npm would conflict with that node).
command -v npm >/dev/null || install_missing npm

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"

if [ "$mode" = web ]; then
  bash web/build.sh build build-web/site
  [ "${2:-}" = --no-serve ] && exit 0
  echo "Serving build-web/site at http://127.0.0.1:8080/ (Ctrl+C ends)"
  exec python3 -m http.server 8080 --bind 127.0.0.1 --directory build-web/site
fi

if [ "$mode" = run ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built build/app/kuv, but there is no display to start it on (DISPLAY is not set)." >&2
    exit 1
  fi
  exec build/app/kuv
fi

# The fuzz target: a fixed number of runs from the bundled corpus; new
# inputs go to a scratch folder, never into the repository.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKUV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$jobs" --target kuv_fuzz
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp" \
  build-fuzz/fuzz/kuv_fuzz -runs=4000 -seed=1 -max_len=65536 -artifact_prefix="$scratch/" \
  "$scratch" fuzz/corpus samples >"$scratch/fuzz.log" 2>&1 || {
    tail -n 60 "$scratch/fuzz.log"
    echo "fuzz: FAILED"
    exit 1
  }
echo "fuzz: $(grep -o 'Done [0-9]* runs' "$scratch/fuzz.log"), no failure"

# kuv-render --batch on several threads under ThreadSanitizer: every
# listing draws into a Picture and a QImage of its own, text included.
CC=clang CXX=clang++ cmake -S . -B build-tsan -G Ninja -DKUV_TSAN=ON -DKUV_TESTS=OFF -DKUV_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-tsan -j "$jobs" --target kuv-render
mkdir -p "$scratch/tsan"
for i in $(seq 1 12); do for f in samples/*.kuv; do cp "$f" "$scratch/tsan/$i-$(basename "$f")"; done; done
tsan=0
TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$PWD/tools/tsan.supp" build-tsan/app/kuv-render --batch "$scratch/tsan-out" -j 4 "$scratch/tsan" \
  >"$scratch/tsan.log" 2>&1 || tsan=$?
if [ "$tsan" -ne 0 ]; then
  tail -n 60 "$scratch/tsan.log"
  echo "ThreadSanitizer: FAILED (exit $tsan)"
  exit 1
fi
echo "ThreadSanitizer: $(ls "$scratch/tsan" | wc -l) listings on 4 threads, no race"

ctest --test-dir build --output-on-failure -j "$jobs"
