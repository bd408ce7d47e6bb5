"""The desktop program with the keyboard alone, on a 192-dpi desktop: the
menu bar from F10, a run chosen from it, the Picture enlarged yet equal to
kuv-render's, the crosshair, Enter and Shift+F10 in the Picture."""
import os
import subprocess
import sys
import time

import pyatspi

from atspi_support import (application, check, chord, client_origin, extents, failures, find, frame_origin, key,
                           showing, text_of, wait_for, window_id)

kuv, out, render = sys.argv[1], sys.argv[2], sys.argv[3]
F10, ESCAPE, RETURN, TAB, SHIFT, ALT = 76, 9, 36, 23, 50, 64
LEFT, UP, RIGHT, DOWN = 113, 111, 114, 116

LISTING = ("box 10 10 300 200 0\ntext 20 190 2 ABCかなカナ漢字\ncircle 400 300 60 1\n"
           "paint 400 300 6 1\nline 0 0 640 480 4\n")
with open("k.kuv", "wb") as f:
    f.write(LISTING.replace("\n", "\r\n").encode("cp932"))

proc = subprocess.Popen([kuv, "k.kuv"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
app = wait_for(application)
main = app and wait_for(lambda: find(app, "frame", "KUVリスト"))
if main is None or not wait_for(lambda: window_id("KUVグラフィック") and frame_origin("KUVリスト")):
    check(False, "the program starts")
    proc.kill()
    sys.exit(1)
editor = find(main, "text", "リスト")
picture = find(app, "image", "KUVグラフィックの絵")
check(editor is not None and find(main, "text", "行番号") and find(main, "text", "ファイル名")
      and find(app, "menu bar", "メニューバー"), "the editor, its boxes and the menu bar have names")
check(picture is not None, "the Picture is an image named KUVグラフィックの絵")


def focused(acc):
    return acc.getState().contains(pyatspi.STATE_FOCUSED)


def frame_rect(title):
    x, y = frame_origin(title)
    info = subprocess.run(["xwininfo", "-id", window_id(title)], capture_output=True, text=True).stdout
    w, h = (int(line.split(":")[1]) for line in info.splitlines() if line.strip().startswith(("Width", "Height")))
    cx, cy = client_origin(title)
    return x, y, w + 2 * (cx - x), h + (cy - y) + (cx - x)


check(extents(picture)[2:] == (1282, 962), f"the Picture is shown twice as large ({extents(picture)[2:]})")
(mx, my, mw, mh), (gx, gy, gw, gh) = frame_rect("KUVリスト"), frame_rect("KUVグラフィック")
check(gx + gw <= mx or mx + mw <= gx or gy + gh <= my or my + mh <= gy,
      f"the main and graphics windows do not cover each other ({(mx, my, mw, mh)}, {(gx, gy, gw, gh)})")
check(wait_for(lambda: focused(editor), 5) is not None, "the listing has the keyboard")

# F10: the first entry of the menu bar, highlighted, its menu open.
key(F10)
check(wait_for(lambda: showing(find(app, "menu item", "開　　く")), 3) is not None, "F10 opens the ファイル menu")
subprocess.run(["import", "-window", "root", os.path.join(out, "keyboard-f10.png")], check=False)
key(RIGHT)  # to 描画実行, which has no menu
time.sleep(0.3)
key(RETURN)
rewritten = LISTING.upper()
check(wait_for(lambda: text_of(editor) == rewritten, 5) is not None, "Right and Enter run the listing")
check(text_of(editor) == rewritten, "no key of the menu reached the listing")
time.sleep(0.5)

# The Picture as the screen shows it, every other pixel, equals kuv-render's.
shown = os.path.join(out, "keyboard-picture.png")
subprocess.run(["import", "-window", window_id("KUVグラフィック"), shown], check=False)
subprocess.run(["convert", shown, "-sample", "50%", shown + ".sampled.png"], check=False)
subprocess.run([render, "k.kuv", "-o", "reference.png"], check=False)
diff = subprocess.run(["compare", "-metric", "AE", shown + ".sampled.png", "reference.png", "null:"],
                      capture_output=True, text=True).stderr.strip()
check(diff == "0", f"the Picture on the 192-dpi screen equals kuv-render's ({diff} pixels differ)")

# To the graphics window with the window manager's Alt+Tab. The crosshair
# starts at the middle, on the LINE of line 5; Shift+F10 and Enter take
# the context menu's first item there.
chord(ALT, TAB)
# A loaded machine may take seconds to hand the keyboard over.
check(wait_for(lambda: focused(picture), 15) is not None, "the Picture takes the keyboard")
check("5行 線: LINE 0 0 640 480 4" in picture.description, f"its description names the owner ({picture.description!r})")
chord(SHIFT, F10)
time.sleep(0.5)
subprocess.run(["import", "-window", "root", os.path.join(out, "keyboard-menu.png")], check=False)
key(RETURN)
number = find(main, "text", "行番号")
check(wait_for(lambda: text_of(number) == "5" and focused(editor), 3) is not None,
      "Shift+F10 opens the context menu, whose この点をかいた行へ移動 goes to line 5")

# The crosshair: three steps right, one of ten up; Enter picks the point.
chord(ALT, TAB)
wait_for(lambda: focused(picture), 15)
for k in (RIGHT, RIGHT, RIGHT):
    key(k)
chord(SHIFT, UP)
check(wait_for(lambda: picture.description.startswith("x 323  y 250  色 7 (白)"), 3) is not None,
      f"the arrow keys move the crosshair, and the description follows ({picture.description!r})")
time.sleep(0.3)
subprocess.run(["import", "-window", "root", os.path.join(out, "keyboard-crosshair.png")], check=False)
key(RETURN)
check(wait_for(lambda: "323 250" in text_of(editor) and focused(editor), 3) is not None,
      "Enter inserts the point into the listing, which takes the keyboard")
chord(ALT, TAB)
wait_for(lambda: focused(picture), 15)
key(TAB)
check(wait_for(lambda: focused(editor), 3) is not None, "Tab leaves the Picture for the listing")
check(proc.poll() is None, "the program is still running")
proc.kill()
sys.exit(1 if failures else 0)
