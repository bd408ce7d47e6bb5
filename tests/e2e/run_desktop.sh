#!/usr/bin/env bash
# Starts the desktop program in a real X server (Xvfb) with the
# accessibility bus on, and drives it from a test script of this folder.
#   run_desktop.sh [--dpi N] SCRIPT.py PATH/TO/kuv OUTPUT_DIR [MORE ARGUMENTS]
# --dpi sets the desktop's text resolution (Xft.dpi) on a larger screen.
set -euo pipefail
dpi=
if [ "${1:-}" = --dpi ]; then dpi=$2; shift 2; fi
script=$1
shift
out=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"

# A free display number.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
screen=1280x800x24
[ -n "$dpi" ] && screen=2800x1800x24
Xvfb ":$display" -screen 0 "$screen" -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

export DISPLAY=":$display"
# A real window manager places the windows and draws their frames, as on a
# desktop.
openbox --sm-disable >"$out/openbox.log" 2>&1 &
wm=$!
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
if [ -n "$dpi" ]; then
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$dpi
"
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
# A folder of its own as the current directory: the program writes relative
# names there. Recovered listings go to a state folder of the test's own.
work=$(mktemp -d)
cd "$work"
export XDG_STATE_HOME="$work/state"
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  /usr/bin/python3 "$0" "$@"' "$here/$script" "$@" 2> >(grep -v -e "Failed to set fd limit" -e "Activating service" -e "Successfully activated" -e "SpiRegistry daemon" >&2)
