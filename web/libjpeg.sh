#!/usr/bin/env bash
# Builds libjpeg for WebAssembly from Debian's own source package: the
# version of the desktop build's libjpeg62-turbo, from the archive that
# machine installs from. Only this folder's own apt state is used; the
# machine's sources are not touched. The C path only: wasm has no SIMD
# code in libjpeg-turbo.
#   web/libjpeg.sh DIR   → DIR/include/{jpeglib.h,jconfig.h,...}, DIR/libjpeg.a
set -euo pipefail
dir=$1
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
[ -f "$dir/libjpeg.a" ] && exit 0
version=$(dpkg-query -W -f='${source:Version}' libjpeg62-turbo)
apt_dir=$dir/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
# The machine's own archives, as deb-src lines.
for uri in $(grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}' | sort -u) \
           $(grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | awk '{print $2}' | sort -u); do
  case "$uri" in
    *debian-security*) echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm-security main" ;;
    *debian*) echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm main"
              echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm-updates main" ;;
  esac
done | sort -u > "$apt_dir/sources.list"
apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
             -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o Debug::NoLocking=1
             -o APT::Sandbox::User=root -qq)
apt-get "${apt_options[@]}" update
(cd "$apt_dir" && apt-get "${apt_options[@]}" source --download-only "libjpeg-turbo=$version")
rm -rf "$dir/src"
dpkg-source --no-check -x "$apt_dir"/libjpeg-turbo_*.dsc "$dir/src" >/dev/null
# emcmake's checks guess the sizes of size_t and unsigned long wrongly.
emcmake cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=0 \
  -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 -DSIZE_T=4 -DUNSIGNED_LONG=4 >/dev/null
ninja -C "$dir/build" jpeg-static >/dev/null
mkdir -p "$dir/include"
cp "$dir/src"/{jpeglib.h,jmorecfg.h,jerror.h} "$dir/build/jconfig.h" "$dir/include/"
cp "$dir/build/libjpeg.a" "$dir/libjpeg.a"
