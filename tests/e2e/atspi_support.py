"""What the end-to-end tests share: the program as the accessibility bus
shows it, its windows as the X server places them, and real keys."""
import subprocess
import time

import pyatspi
from gi.repository import Atspi

# Replies within two seconds, so that a command held up by a modal dialog
# does not stall the test (once the program is up, the start-up allowance
# no longer applies).
Atspi.set_timeout(2000, 2000)

failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait_for(find, seconds=10.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.05)
    return None


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and a.name == "kuv":
            return a
    return None


def walk(acc):
    yield acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find(root, role, name=None):
    """The first object of the role (any role for None) and name; None also
    when the program has gone away meanwhile."""
    try:
        for acc in walk(root):
            if (role is None or acc.getRoleName() == role) and (name is None or acc.name == name):
                return acc
    except Exception:
        return None
    return None


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def extents(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def text_of(acc):
    t = acc.queryText()
    return t.getText(0, t.characterCount)


def choose(app, caption):
    """Chooses a menu item. A command that opens a modal dialog answers only
    when the dialog closes, so a missing reply is no failure here."""
    item = find(app, "menu item", caption)
    try:
        item.queryAction().doAction(0)
    except Exception as e:
        if "reply" not in str(e):
            raise


def window_ids():
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    return {title: line for line in tree.splitlines() for title in ("KUVリスト", "KUVグラフィック") if f'"{title}"' in line}


def window_id(title):
    ids = [line.split()[0] for line in subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True,
                                                        text=True).stdout.splitlines() if f'"{title}"' in line]
    return ids[0] if ids else None


def client_origin(title):
    """The top-left corner of the window's client area on the screen."""
    info = subprocess.run(["xwininfo", "-id", window_id(title)], capture_output=True, text=True).stdout
    x, y = (int(line.split(":")[1]) for line in info.splitlines() if "Absolute upper-left" in line)
    return x, y


def frame_origin(title):
    """Where the window manager put the window's frame: the client area's
    place less the frame's left and top widths."""
    if window_id(title) is None:
        return None
    x, y = client_origin(title)
    prop = subprocess.run(["xprop", "-id", window_id(title), "_NET_FRAME_EXTENTS"], capture_output=True, text=True).stdout
    left, _, top, _ = (int(v) for v in prop.split("=")[1].split(","))
    return x - left, y - top


def key(code, how=Atspi.KeySynthType.PRESSRELEASE):
    """A real key of the server's default map, by keycode."""
    Atspi.generate_keyboard_event(code, None, how)


def chord(modifier, code):
    key(modifier, Atspi.KeySynthType.PRESS)
    key(code)
    key(modifier, Atspi.KeySynthType.RELEASE)
