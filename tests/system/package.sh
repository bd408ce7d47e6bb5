#!/usr/bin/env bash
# The Debian package for real: built from the build tree with CPack,
# unpacked into a temporary root, checked for every file a desktop needs,
# its kuv-render compared with the build tree's, and lintian and the two
# validators run on it where they are installed.
#   package.sh BUILD_DIR VERSION SOURCE_DIR
set -uo pipefail
build=$1
version=$2
source=$3
source "$(dirname "$0")/check.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; exit 1; }
deb="$scratch/kuv_${version}_amd64.deb"
check "cpack builds kuv_${version}_amd64.deb" [ -f "$deb" ]
[ -f "$deb" ] || exit 1
dpkg-deb -x "$deb" "$scratch/root"

for f in usr/bin/kuv usr/bin/kuv-render usr/share/kuv/kuvhelp.htm usr/share/applications/kuv.desktop \
         usr/share/icons/hicolor/scalable/apps/kuv.svg usr/share/icons/hicolor/48x48/apps/kuv.png \
         usr/share/icons/hicolor/256x256/apps/kuv.png usr/share/mime/packages/kuv.xml \
         usr/share/metainfo/org.kuvlang.kuv.metainfo.xml usr/share/man/man1/kuv.1.gz \
         usr/share/man/man1/kuv-render.1.gz usr/share/doc/kuv/copyright usr/share/doc/kuv/changelog.gz; do
    check "the package holds /$f" [ -s "$scratch/root/$f" ]
done
png_size() { python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(24); print('%dx%d' % struct.unpack('>II', d[16:24]))" "$1"; }
check "the 48 px icon is 48 x 48" [ "$(png_size "$scratch/root/usr/share/icons/hicolor/48x48/apps/kuv.png")" = 48x48 ]
check "the 256 px icon is 256 x 256" [ "$(png_size "$scratch/root/usr/share/icons/hicolor/256x256/apps/kuv.png")" = 256x256 ]
field() { dpkg-deb -f "$deb" "$1"; }
check "section education" [ "$(field Section)" = education ]
check "version $version" [ "$(field Version)" = "$version" ]
for dependency in libqt6widgets6 libjpeg62-turbo fonts-ipafont-gothic qt6-translations-l10n; do
    check "depends on $dependency" grep -q "$dependency" <<<"$(field Depends)"
done
check "the desktop entry opens .kuv files" grep -qx 'MimeType=text/x-kuv;' "$scratch/root/usr/share/applications/kuv.desktop"
check "... with the file as its argument" grep -qx 'Exec=kuv %f' "$scratch/root/usr/share/applications/kuv.desktop"

for sample in "$source"/samples/*.kuv; do
    "$build/app/kuv-render" -o "$scratch/built.bmp" -l "$scratch/built.kuv" "$sample" 2>/dev/null
    "$scratch/root/usr/bin/kuv-render" -o "$scratch/packaged.bmp" -l "$scratch/packaged.kuv" "$sample" 2>/dev/null
    check "the packaged kuv-render draws $(basename "$sample") to the same bytes" \
        cmp -s "$scratch/built.bmp" "$scratch/packaged.bmp"
    check "... and rewrites it the same" cmp -s "$scratch/built.kuv" "$scratch/packaged.kuv"
done
check "the packaged kuv answers --version" [ "$("$scratch/root/usr/bin/kuv" --version)" = "kuv $version" ]

if command -v lintian >/dev/null; then
    lintian --allow-root --fail-on error --display-level ">=warning" "$deb" >"$scratch/lintian.log" 2>&1
    code=$?
    sed 's/^/      /' "$scratch/lintian.log"
    check "lintian reports no errors" [ "$code" = 0 ]
else
    echo "SKIP  lintian is not installed"
fi
if command -v desktop-file-validate >/dev/null; then
    check "desktop-file-validate accepts the desktop entry" \
        desktop-file-validate "$scratch/root/usr/share/applications/kuv.desktop"
else
    echo "SKIP  desktop-file-validate is not installed"
fi
if command -v appstreamcli >/dev/null; then
    check "appstreamcli accepts the metainfo" \
        appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/org.kuvlang.kuv.metainfo.xml"
else
    echo "SKIP  appstreamcli is not installed"
fi
exit $((failures > 0))
