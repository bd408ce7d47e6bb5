#!/usr/bin/env bash
# Starts the desktop program in a real X server (Xvfb) with the
# accessibility bus on, and drives it from desktop_test.py.
#   run_desktop.sh PATH/TO/kuv OUTPUT_DIR PATH/TO/drag_source
set -euo pipefail
kuv=$1
out=$2
drag_source=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"

# A free display number.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
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
  /usr/bin/python3 "$0" "$1" "$2" "$3"' "$here/desktop_test.py" "$kuv" "$out" "$drag_source" 2> >(grep -v -e "Failed to set fd limit" -e "Activating service" -e "Successfully activated" -e "SpiRegistry daemon" >&2)
