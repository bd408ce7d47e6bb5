"""The listing teaching as it is written, with real keys and a real mouse:
a faulty line marked once left, its message; the hint; the Picture after
the caret's line; a replay that a key stops."""
import os
import subprocess
import sys
import time

from gi.repository import Atspi

from atspi_support import (application, check, client_origin, extents, failures, find, key, showing, text_of,
                           wait_for, walk, window_id)

kuv, out = sys.argv[1], sys.argv[2]
F10, RETURN, ESCAPE, UP, RIGHT, DOWN = 76, 36, 9, 111, 114, 116


def type_text(text):
    for i, line in enumerate(text.split("\n")):
        if i:
            key(RETURN)
        Atspi.generate_keyboard_event(0, line, Atspi.KeySynthType.STRING)
    time.sleep(0.3)


def run_from_menu():
    """描画実行 from the keyboard, a key at a time as a person presses them."""
    for k in (F10, RIGHT, RETURN):
        time.sleep(0.3)
        key(k)


def pixel(shot, x, y):
    return subprocess.run(["convert", shot, "-format", f"%[pixel:p{{{x},{y}}}]", "info:"],
                          capture_output=True, text=True).stdout.strip()


def picture_shot(name):
    shot = os.path.join(out, name)
    subprocess.run(["import", "-window", window_id("KUVグラフィック"), shot], check=False)
    return shot


def white(colour):
    return colour in ("white", "srgb(255,255,255)")


proc = subprocess.Popen([kuv], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
app = wait_for(application)
main = app and wait_for(lambda: find(app, "frame", "KUVリスト"))
editor = main and find(main, "text", "リスト")
if editor is None:
    check(False, "the program starts")
    proc.kill()
    sys.exit(1)
editor.queryEditableText().setTextContents("")
time.sleep(0.3)

# A faulty line, typed with real keys: no mark while it is typed; once left,
# its message, with the number Run would give it, for screen readers and as
# a wavy red underline.
type_text("box 10 10 300 200 1\ncircle 400 300 60 2\nline 0 0 700 0 1")
check(editor.description == "", f"the line being typed has no message yet ({editor.description!r})")
key(RETURN)
key(UP)
check(wait_for(lambda: editor.description.startswith('  3行："700"は範囲外の数字です\nx2 に使えるのは 0〜640 です。'), 3)
      is not None, f"left and come back to, it has Run's message and what it means ({editor.description!r})")
time.sleep(0.3)
shot = os.path.join(out, "teaching-marks.png")
subprocess.run(["import", "-window", "root", shot], check=False)
# Qt gives every character the first row's height as its top: the third
# row lies two rows lower.
x, y, w, h = editor.queryText().getCharacterExtents(0, Atspi.CoordType.SCREEN)
y += 2 * h
band = subprocess.run(["convert", shot, "-crop", f"80x12+{x}+{y + h - 4}", "txt:-"], capture_output=True, text=True).stdout
# The wave's dark red, which stands out 5:1 on the editor's light yellow.
reddish = [v for v in (line.split("(")[1].split(")")[0].split(",") for line in band.splitlines()[1:] if "(" in line)
           if int(float(v[0])) > 140 and int(float(v[1])) < 80 and int(float(v[2])) < 80]
check(len(reddish) > 10, f"a wavy red line lies under it ({len(reddish)} red pixels at {x},{y},{h})")

# The hint while a statement is typed.
key(DOWN)
type_text("circle 100 ")
hint = wait_for(lambda: find(app, "label", "CIRCLE x y 半径 色 — y: 0〜480"), 3)
check(hint is not None and showing(hint), "typing CIRCLE 100 shows the hint for y with its range")
subprocess.run(["import", "-window", "root", os.path.join(out, "teaching-hint.png")], check=False)
key(ESCAPE)
check(wait_for(lambda: not showing(hint), 3) is not None if hint else False, "Esc hides the hint")

# A statement's word and its space are enough for its hint, which covers
# no character of its line or the lines above and below: their characters'
# boxes, as the accessibility bus gives them, lie clear of the hint's.
key(RETURN)
type_text("arc ")
arc = wait_for(lambda: find(app, "label", "ARC x y 半径 開始角 終了角 色 — x: 0〜640"), 3)
check(arc is not None and showing(arc), "typing ARC and its space shows ARC's hint")
subprocess.run(["import", "-window", "root", os.path.join(out, "teaching-hint-arc.png")], check=False)
if arc is not None:
    hx, hy, hw, hh = extents(arc)
    whole = text_of(editor)
    caret = editor.queryText().caretOffset
    start = whole.rfind("\n", 0, max(0, whole.rfind("\n", 0, caret))) + 1
    end = whole.find("\n", caret)
    end = whole.find("\n", end + 1) if end >= 0 else len(whole)
    end = len(whole) if end < 0 else end
    covered = []
    for i in range(start, end):
        if whole[i] in " \n":
            continue
        cx, cy, cw, ch = editor.queryText().getCharacterExtents(i, Atspi.CoordType.SCREEN)
        if cx < hx + hw and cx + cw > hx and cy < hy + hh and cy + ch > hy:
            covered.append(whole[i])
    check(not covered, f"the hint covers no character of its line or those beside it (covered: {''.join(covered)!r})")
key(UP)
check(wait_for(lambda: not showing(arc), 3) is not None if arc else False, "the hint goes when the caret only moves")

# Run from the menu, then the Picture after line 1 only.
editor.queryEditableText().setTextContents(
    "box 10 10 300 200 1\ncircle 400 300 60 2\n" + "".join(f"line {i * 10} 0 {i * 10} 480 4\n" for i in range(40)))
run_from_menu()
check(wait_for(lambda: text_of(editor).startswith("BOX 10 10"), 10) is not None, "the listing runs from the menu")
editor.queryText().setCaretOffset(0)
time.sleep(0.3)
gx, gy = client_origin("KUVグラフィック")
Atspi.generate_mouse_event(gx + 600, gy + 20, "b3c")  # a right-click on the Picture
time.sleep(0.5)
for k in (DOWN, DOWN, RETURN):  # 座標をコピー, カーソルの行まで表示
    key(k)
time.sleep(0.5)
shot = picture_shot("teaching-after-line-1.png")
box, circle, line = pixel(shot, 10, 480 - 100), pixel(shot, 460, 480 - 300), pixel(shot, 630, 240)
check(not white(box) and white(circle) and white(line),
      f"with カーソルの行まで表示 the Picture shows only line 1's drawing (box {box}, circle {circle}, line {line})")

# A replay of the 42 lines, stopped by a key.
Atspi.generate_mouse_event(gx + 600, gy + 20, "b3c")
time.sleep(0.5)
for k in (DOWN, DOWN, DOWN, RETURN):  # 描画を再生
    key(k)
time.sleep(0.8)
shot = picture_shot("teaching-replay.png")
check(white(pixel(shot, 390, 240)), "the replay has not yet drawn the last lines")
before = text_of(editor)
key(ESCAPE)
time.sleep(0.5)
shot = picture_shot("teaching-replay-stopped.png")
check(not white(pixel(shot, 390, 240)), "a key stops the replay and brings back the full Picture")
check(text_of(editor) == before, "the key did not reach the listing")

# The input method left on, typed with real keys: the mark explains the
# line, the context menu's 直す mends it as one edit, and it runs clean; the
# line after it, which draws nothing, has a warning's dots.
editor.queryEditableText().setTextContents("")
subprocess.run(["xdotool", "windowactivate", "--sync", window_id("KUVリスト")], check=False)
editor.queryComponent().grabFocus()
time.sleep(0.3)
# Full-width characters as an input method's keyboard sends them: X keys
# that xdotool maps to their keysyms. The X server may drop the first of
# them while the keyboard map changes under it: typed again until whole.
full_width = "ＬＩＮＥ　１０　１０　２０　２０　１"
for _ in range(3):
    subprocess.run(["xdotool", "type", "--delay", "60", full_width], check=False)
    if wait_for(lambda: text_of(editor) == full_width, 2) is not None:
        break
    editor.queryEditableText().setTextContents("")
    time.sleep(0.3)
key(RETURN)
type_text("line 5 5 5 5 1")
key(RETURN)
key(UP)
key(UP)
check(wait_for(lambda: editor.description.startswith("  1行：命令の間違い\n全角の文字「Ｌ」が入っています。"), 3) is not None,
      f"the full-width line is explained ({editor.description!r})")
time.sleep(0.3)
shot = os.path.join(out, "teaching-fix.png")
subprocess.run(["import", "-window", "root", shot], check=False)
x, y, w, h = editor.queryText().getCharacterExtents(0, Atspi.CoordType.SCREEN)
band = subprocess.run(["convert", shot, "-crop", f"80x6+{x}+{y + 2 * h - 5}", "txt:-"], capture_output=True, text=True).stdout
blue = [v for v in (line.split("(")[1].split(")")[0].split(",") for line in band.splitlines()[1:] if "(" in line)
        if int(float(v[0])) < 60 and int(float(v[2])) > 120]
check(len(blue) > 6, f"the line that draws nothing has blue dots ({len(blue)} blue pixels)")
subprocess.run(["xdotool", "key", "Menu"], check=False)
time.sleep(0.5)
subprocess.run(["import", "-window", "root", os.path.join(out, "teaching-fix-menu.png")], check=False)
# Its first item is 直す.
key(DOWN)
key(RETURN)
check(wait_for(lambda: text_of(editor).startswith("LINE 10 10 20 20 1\nline 5 5 5 5 1"), 3) is not None,
      f"直す puts the fixed line in place ({text_of(editor)[:40]!r})")
run_from_menu()
check(wait_for(lambda: text_of(editor).startswith("LINE 10 10 20 20 1\nLINE 5 5 5 5 1"), 5) is not None, "the mended listing runs")
errors = find(app, "frame", "ＫＵＶエラー")
check(errors is None or not showing(errors), "and stops at no line")

# The error window's line explains itself, as its tooltip and description.
editor.queryEditableText().setTextContents("circle 100 100\n")
run_from_menu()
errors = wait_for(lambda: find(app, "frame", "ＫＵＶエラー"), 5)
log = errors and find(errors, "text", "エラーの一覧")
explanation = "CIRCLE には 半径、色 が足りません。CIRCLE は「CIRCLE x y 半径 色」の形で書きます。"
check(log is not None and log.description == explanation, f"the error window's line is explained ({log and log.description!r})")
if log is not None:
    lx, ly, lw, lh = extents(log)
    Atspi.generate_mouse_event(lx + 40, ly + 12, "abs")
    time.sleep(0.2)
    Atspi.generate_mouse_event(lx + 44, ly + 14, "abs")
    tip = wait_for(lambda: next((a for a in walk(app) if a.name == explanation and showing(a)), None), 5)
    subprocess.run(["import", "-window", "root", os.path.join(out, "teaching-error-tip.png")], check=False)
    check(tip is not None, "hovering the error window's line shows its explanation")
# The Picture in words: its description after a run, 絵の説明 from its
# context menu, and a row chosen with the keyboard.
editor.queryEditableText().setTextContents("BOX 100 100 300 300 1\nREM\nCIRCLE 200 200 50 2\n")
subprocess.run(["xdotool", "windowactivate", "--sync", window_id("KUVリスト")], check=False)
run_from_menu()
view = wait_for(lambda: find(app, None, "KUVグラフィックの絵"), 3)
summary = "描いた命令は 2 個、使った色は 青、赤 です。"
check(view is not None and wait_for(lambda: view.description.startswith(summary), 5) is not None,
      f"after a run the Picture's description is its summary ({view and view.description!r})")
gx, gy = client_origin("KUVグラフィック")
Atspi.generate_mouse_event(gx + 600, gy + 20, "b3c")
time.sleep(0.5)
key(UP)  # the menu's last item: 絵の説明
key(RETURN)
rows = wait_for(lambda: find(app, "list", "絵の説明"), 5)
names = [rows.getChildAtIndex(i).name for i in range(rows.childCount)] if rows else []
check(len(names) == 2 and names[0].startswith("1行 四角（青）: 角 (100, 100) と (300, 300)。") and
      names[1].endswith("1行の四角の中です。"), f"絵の説明 lists a row per statement drawn ({names!r})")
subprocess.run(["import", "-window", "root", os.path.join(out, "teaching-words.png")], check=False)
if rows is not None:
    subprocess.run(["xdotool", "windowactivate", "--sync", window_id("絵の説明")], check=False)
    time.sleep(0.3)
    key(DOWN)
    key(RETURN)
    check(wait_for(lambda: text_of(editor)[:editor.queryText().caretOffset].count("\n") == 2, 3) is not None,
          f"choosing its row puts the caret on line 3 (caret at {editor.queryText().caretOffset})")
check(proc.poll() is None, "the program is still running")
proc.kill()
sys.exit(1 if failures else 0)
