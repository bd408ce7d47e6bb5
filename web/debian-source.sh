#!/usr/bin/env bash
# Unpacks the Debian source package of an installed library, at the very
# version the desktop build links, from the archive this machine installs
# from. Only the folder's own apt state is used; the machine's sources are
# not touched.
#   web/debian-source.sh BINARY_PACKAGE DIR   → DIR/src
set -euo pipefail
package=$1
dir=$2
source_name=$(dpkg-query -W -f='${source:Package}' "$package")
version=$(dpkg-query -W -f='${source:Version}' "$package")
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
(cd "$apt_dir" && apt-get "${apt_options[@]}" source --download-only "$source_name=$version")
rm -rf "$dir/src"
dpkg-source --no-check -x "$apt_dir/${source_name}_${version#*:}.dsc" "$dir/src" >/dev/null
