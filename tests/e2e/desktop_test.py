"""The desktop program end to end: its windows as a user and assistive
tools see them, a run from the menu, a screenshot, and a clean exit."""
import base64
import os
import signal
import subprocess
import sys
import time
import zlib

import pyatspi
from gi.repository import Atspi

from atspi_support import (application, check, choose, client_origin, extents, failures, find, frame_origin, walk,
                           key, showing, text_of, wait_for, window_id, window_ids)

kuv, out, drag_source = sys.argv[1], sys.argv[2], sys.argv[3]


started = time.monotonic()
proc = subprocess.Popen([kuv], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
shown = wait_for(lambda: len(window_ids()) == 2 and window_ids())
check(bool(shown), "both windows are mapped")
print(f"figure: start-up to both windows mapped {1000 * (time.monotonic() - started):.0f} ms", flush=True)

app = wait_for(application)
check(app is not None, "the program is on the accessibility bus")
if app is None:
    proc.kill()
    sys.exit(1)

main = wait_for(lambda: find(app, "frame", "KUVリスト"))
graph = find(app, None, "KUVグラフィック")
check(main is not None and showing(main), "the main window is shown")
check(graph is not None and showing(graph), "the graphics window is shown")
client = next(c for c in (main.getChildAtIndex(i) for i in range(main.childCount)) if c.getRoleName() == "filler")
check(extents(client)[2:] == (361, 561), f"the main window's client area is 361 x 561 ({extents(client)[2:]})")
check(extents(graph)[2:] == (641, 481), f"the graphics window's client area is 641 x 481 ({extents(graph)[2:]})")
check(frame_origin("KUVリスト") == (745, 96), f"the main window's frame opens at (745, 96) ({frame_origin('KUVリスト')})")
check(frame_origin("KUVグラフィック") == (19, 181),
      f"the graphics window's frame opens at (19, 181) ({frame_origin('KUVグラフィック')})")
check(graph.getRoleName() == "frame", f"the graphics window is a frame to assistive tools ({graph.getRoleName()})")

editor = find(main, "text")
check(text_of(editor) == "REM\nEND\n", "the editor starts with REM and END")
menu = [find(app, "menu item", c) is not None for c in ("開　　く", "上書き保存", "名前を付け保存", "終了する", "描画実行",
                                                      "BMP保存", "JPG保存", "画像消去", "Ｖｅｒ", "ヘルプ")]
check(all(menu), "every menu item is there")

# Pasting with nothing on the clipboard or in the selection (a fresh X
# server): a real Ctrl+V and a real middle click in the editor change
# nothing, and the program goes on.
CONTROL_L, KEY_V, KEY_A = 37, 55, 38  # keycodes of the server's default map


ex, ey, ew, eh = extents(editor)
Atspi.generate_mouse_event(ex + ew // 2, ey + eh // 2, "b1c")  # caret after END
time.sleep(0.2)
key(CONTROL_L, Atspi.KeySynthType.PRESS)
key(KEY_V)
key(CONTROL_L, Atspi.KeySynthType.RELEASE)
Atspi.generate_mouse_event(ex + ew // 2, ey + eh // 2, "b2c")
time.sleep(0.5)
check(proc.poll() is None, "a real Ctrl+V and middle click on an empty clipboard do not end the program")
if proc.poll() is not None:
    sys.exit(1)
check(text_of(editor) == "REM\nEND\n", "they leave the listing as it was")
key(KEY_A)  # the keyboard reaches the editor: the paste keys were real
check(wait_for(lambda: text_of(editor) == "REM\nEND\na", 3) is not None, "a key typed afterwards goes into the listing")

# A run with an error, chosen from the menu as a user would.
editor.queryEditableText().setTextContents("line 0 0 640 480 2\nbox 100 100 200 200 1\noops\n")
choose(app, "描画実行")
errors = wait_for(lambda: (lambda w: w if w is not None and showing(w) else None)(find(app, None, "ＫＵＶエラー")))
check(errors is not None, "the error window appears")
if errors is not None:
    check(text_of(find(errors, "text")).startswith("  3行：命令の間違い"), "it shows the numbered message")
    check(errors.getRoleName() == "frame", f"the error window is a frame to assistive tools ({errors.getRoleName()})")
    check(wait_for(lambda: frame_origin("ＫＵＶエラー") == (315, 214), 3) is not None,
          f"the error window's frame opens at (315, 214) ({frame_origin('ＫＵＶエラー')})")
check(wait_for(lambda: text_of(editor) == "LINE 0 0 640 480 2\nBOX 100 100 200 200 1\nOOPS\n"),
      "the editor shows the rewritten listing")
choose(app, "Ｖｅｒ")
about = wait_for(lambda: next((w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
                               if w is not None and w.name == "ＫＵＶ" and showing(w)), None), 5)
check(about is not None and about.getRoleName() == "dialog",
      f"the about window is a dialog to assistive tools ({about.getRoleName() if about else None})")
check(wait_for(lambda: frame_origin("ＫＵＶ") == (554, 423), 3) is not None,
      f"the about window's frame opens at (554, 423) ({frame_origin('ＫＵＶ')})")
time.sleep(0.3)
shot = os.path.join(out, "desktop.png")
subprocess.run(["import", "-window", "root", shot], check=False)
check(os.path.exists(shot) and os.path.getsize(shot) > 0, f"screenshot taken: {shot}")
if os.path.exists(shot):
    # The picture's bottom-left pixel, inside the graphics window's frame.
    gx, gy = client_origin("KUVグラフィック")
    pixel = subprocess.run(["convert", shot, "-format", f"%[pixel:p{{{gx},{gy + 480}}}] %[pixel:p{{{gx + 100},{gy + 380}}}]", "info:"],
                           capture_output=True, text=True).stdout.split()
    check(pixel[:1] == ["red"] or pixel[:1] == ["srgb(255,0,0)"], f"the red line starts at the bottom-left ({pixel})")

# Exit from the menu. The run changed the listing, so Save As is offered
# first; cancelling it still ends the program.
choose(app, "終了する")


def cancel_button():
    """The Cancel button of the Save As dialog (the about window is a dialog
    too, without one)."""
    try:
        return next((b for b in walk(app) if b.getRoleName() == "push button"
                     and ("Cancel" in b.name or "キャンセル" in b.name) and showing(b)), None)
    except Exception:
        return None


cancel = wait_for(cancel_button, 5)
check(cancel is not None, "the Save As dialog offers Cancel")
if cancel is not None:
    check(cancel.name == "キャンセル", f"the dialog's buttons speak Japanese ({cancel.name})")
    cancel.queryAction().doAction(0)
try:
    code = proc.wait(timeout=10)
except subprocess.TimeoutExpired:
    proc.kill()
    code = None
check(code == 0, f"the program ends cleanly (exit code {code})")

recovered_folder = os.path.join(os.environ["XDG_STATE_HOME"], "kuv", "recovered")


def recovered():
    return sorted(os.listdir(recovered_folder)) if os.path.isdir(recovered_folder) else []


def read_recovered(name):
    with open(os.path.join(recovered_folder, name), "rb") as f:
        return f.read()


kept = recovered()
check(len(kept) == 1 and read_recovered(kept[0]) == b"LINE 0 0 640 480 2\r\nBOX 100 100 200 200 1\r\nOOPS\r\n",
      f"the cancelled close kept the listing byte for byte ({kept})")


def start(*args, env=None):
    """Starts the program again; returns the process and its accessible
    application with its main window's editor."""
    p = subprocess.Popen([kuv, *args], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
    a = wait_for(lambda: application() if p.poll() is None else None)
    main_window = a and wait_for(lambda: find(a, "frame", "KUVリスト"))
    return p, a, main_window and find(main_window, "text")


def stop(p, sig):
    p.send_signal(sig)
    try:
        return p.wait(timeout=10)
    except subprocess.TimeoutExpired:
        p.kill()
        return None


# kuv FILE opens the file as Open does.
sample = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "samples", "house.kuv")
with open(sample, "rb") as f:
    sample_text = f.read().decode("cp932").replace("\r\n", "\n")
proc, app, editor = start(sample)
check(editor is not None and wait_for(lambda: text_of(editor) == sample_text, 5) is not None,
      "kuv FILE starts with the file's listing")
if app is not None:
    boxes = [t for t in walk(app) if t.getRoleName() == "text" and t is not None]
    check(any(text_of(t) == os.path.abspath(sample) for t in boxes), "and its path in the file-name box")
code = stop(proc, signal.SIGTERM)
check(code == 128 + signal.SIGTERM, f"SIGTERM ends it (exit code {code})")
check(recovered() == kept, "an unchanged listing is not kept")

# kuv FILE with a FIFO that nobody writes: the Open command's message at
# once, never a frozen window; SIGTERM under the message box still ends it.
fifo = os.path.join(os.getcwd(), "pipe.kuv")
os.mkfifo(fifo)
proc, app, editor = start(fifo)
box = app and wait_for(lambda: next((t for t in walk(app) if t.getRoleName() == "label"
                                     and t.name == f"ファイル {fifo} は開けません."), None), 5)
check(box is not None, "kuv with a FIFO shows the Open command's message instead of freezing")
code = stop(proc, signal.SIGTERM)
check(code == 128 + signal.SIGTERM, f"SIGTERM under the message box ends the program (exit code {code})")

# kuv FILE whose name is Shift_JIS bytes, as a Windows zip gives it.
sjis = os.path.join(os.getcwd().encode(), b"\x82\xa0.kuv")
with open(sjis, "wb") as f:
    f.write(b"BOX 9 9 99 99 3\r\n")
proc, app, editor = start(sjis)
check(editor is not None and wait_for(lambda: text_of(editor) == "BOX 9 9 99 99 3\n", 5) is not None,
      "kuv opens a file whose name is not UTF-8")
stop(proc, signal.SIGTERM)

# kuv LINK: the listing that a link of KUV's page holds (raw deflate,
# base64url), as a new listing named noname.kuv; a cut link gives its
# message and the first listing.
def link_of(listing):
    packer = zlib.compressobj(6, zlib.DEFLATED, -15)
    packed = packer.compress(listing) + packer.flush()
    return "https://school.example/kuv/#k=" + base64.urlsafe_b64encode(packed).decode().rstrip("=")


with open(sample, "rb") as f:
    sample_link = link_of(f.read())
proc, app, editor = start(sample_link)
check(editor is not None and wait_for(lambda: text_of(editor) == sample_text, 5) is not None,
      "kuv LINK opens the listing that the link holds")
names = [text_of(t) for t in walk(app) if t.getRoleName() == "text"] if app else []
check("noname.kuv" in names, f"as a new listing, noname.kuv ({names})")
stop(proc, signal.SIGTERM)
proc, app, editor = start(sample_link[:-20])
box = app and wait_for(lambda: next((t for t in walk(app) if t.getRoleName() == "label"
                                     and t.name.startswith("このリンクからはリストを読み出せません。")), None), 5)
check(box is not None and box.name.endswith("そのままです."), f"kuv with a cut link shows its message ({box and box.name})")
ok = app and next((b for b in walk(app) if b.getRoleName() == "push button" and b.name == "OK" and showing(b)), None)
if ok is not None:
    ok.queryAction().doAction(0)
check(editor is not None and wait_for(lambda: text_of(editor) == "REM\nEND\n", 5) is not None,
      "and changes nothing: the first listing")
stop(proc, signal.SIGTERM)

# kuv FILE with a missing file: the Open command's message, then the first listing.
missing = os.path.join(os.getcwd(), "missing.kuv")
proc, app, editor = start(missing)
box = app and wait_for(lambda: next((t for t in walk(app) if t.getRoleName() == "label"
                                     and t.name == f"ファイル {missing} は開けません."), None), 5)
check(box is not None, "kuv with a missing file shows the Open command's message")
buttons = [b.name for b in walk(app) if b.getRoleName() == "push button" and showing(b)] if app else []
ok = app and next((b for b in walk(app) if b.getRoleName() == "push button" and b.name == "OK" and showing(b)), None)
check(ok is not None, f"the box has its OK button ({buttons})")
if ok is not None:
    ok.queryAction().doAction(0)
check(wait_for(lambda: box is None or not showing(box), 5) is not None, "OK closes the box")
check(editor is not None and wait_for(lambda: text_of(editor) == "REM\nEND\n", 5) is not None,
      "and goes on with the first listing")

# SIGTERM with a changed listing keeps it.
if editor is not None:
    editor.queryEditableText().setTextContents("LINE 1 1 2 2 3\n")
code = stop(proc, signal.SIGTERM)
check(code == 128 + signal.SIGTERM, f"SIGTERM ends the program (exit code {code})")
new = [n for n in recovered() if n not in kept]
check(len(new) == 1 and read_recovered(new[0]) == b"LINE 1 1 2 2 3\r\n",
      f"and keeps the changed listing byte for byte ({new})")


# SIGTERM while the Save As offered on closing is up: the listing is kept
# and the exit status is the signal's.
proc, app, editor = start()
if editor is not None:
    editor.queryEditableText().setTextContents("BOX 1 1 5 5 6\n")
    choose(app, "終了する")
    check(wait_for(cancel_button, 5) is not None, "closing a changed listing offers Save As")
code = stop(proc, signal.SIGTERM)
check(code == 128 + signal.SIGTERM, f"SIGTERM under the closing Save As exits {128 + signal.SIGTERM} (exit code {code})")
new = [n for n in recovered() if n not in kept]
check(any(read_recovered(n) == b"BOX 1 1 5 5 6\r\n" for n in new), f"and keeps the listing ({new})")
kept = recovered()

# A save that holds the window: Save As onto a FIFO whose reader reads
# nothing. SIGTERM cannot wait for the event loop; the listing is kept all
# the same, as it was when the command began.
stalled = os.path.join(os.getcwd(), "stalled.kuv")
os.mkfifo(stalled)
reader = os.open(stalled, os.O_RDONLY | os.O_NONBLOCK)
proc, app, editor = start()
big = "REM " + "x" * 60 + "\n"
if editor is not None:
    editor.queryEditableText().setTextContents(big * 2000)  # more than a pipe holds
    choose(app, "名前を付け保存")
    name_box = wait_for(lambda: next((t for t in walk(app) if t.getRoleName() == "text" and showing(t)
                                      and t is not None and "REM" not in text_of(t)
                                      and t.getState().contains(pyatspi.STATE_EDITABLE)
                                      and t.name not in ("行番号", "ファイル名")), None), 5)
    check(name_box is not None, "the Save As dialog has its name box")
    if name_box is not None:
        name_box.queryEditableText().setTextContents(stalled)
        key(36)  # Return
        yes = wait_for(lambda: next((b for b in walk(app) if b.getRoleName() == "push button" and showing(b)
                                     and b.name.startswith(("はい", "Yes"))), None), 5)
        check(yes is not None, "saving onto an existing file asks first "
                               f"({[b.name for b in walk(app) if b.getRoleName() == 'push button' and showing(b)]})")
        subprocess.run(["import", "-window", "root", os.path.join(out, "replace-question.png")], check=False)
        if yes is not None:
            try:
                yes.queryAction().doAction(0)
            except Exception as e:
                if "reply" not in str(e):
                    raise
            time.sleep(0.5)
started = time.monotonic()
code = stop(proc, signal.SIGTERM)
check(code == 128 + signal.SIGTERM, f"SIGTERM during a stalled save ends the program (exit code {code}, "
                                    f"{time.monotonic() - started:.1f} s)")
new = [n for n in recovered() if n not in kept]
check(any(read_recovered(n) == (big * 2000).replace("\n", "\r\n").encode() for n in new),
      f"and keeps the listing as the save began ({new})")
os.close(reader)
kept = recovered()

# ヘルプ on a desktop where no program opens a page (no xdg-open on the
# PATH): the program's own message, with the page's path.
proc, app, editor = start(env={**os.environ, "PATH": os.path.join(os.getcwd(), "no-programs")})
help_menu = app and find(app, "popup menu", "ヘルプ")
if help_menu is not None:
    try:
        find(help_menu, "menu item", "ヘルプ").queryAction().doAction(0)
    except Exception as e:
        if "reply" not in str(e):
            raise
box = app and wait_for(lambda: next((t for t in walk(app) if t.getRoleName() == "label" and t.name.startswith("ファイル ")
                                     and t.name.endswith("kuvhelp.htm は開けません.")), None), 5)
check(box is not None, "ヘルプ with nothing to open the page says so")
stop(proc, signal.SIGTERM)


# The graphics window's aids on the real windows: the line behind a pixel,
# then a point picked into the listing with a double-click.
proc, app, editor = start()
if editor is not None:
    editor.queryEditableText().setTextContents("REM\nBOX 100 100 200 200 1\n")
    choose(app, "描画実行")
    time.sleep(0.5)
    gx, gy = client_origin("KUVグラフィック")
    Atspi.generate_mouse_event(gx + 100, gy + 480 - 150, "b3c")  # on the box's left side
    time.sleep(0.5)
    shot = os.path.join(out, "context-menu.png")
    subprocess.run(["import", "-window", "root", shot], check=False)
    # The menu's first entry, chosen with the keys as a user may: Down, Return.
    KEY_DOWN, KEY_RETURN = 116, 36
    key(KEY_DOWN)
    key(KEY_RETURN)
    selected = wait_for(lambda: editor.queryText().getNSelections() > 0 and
                        editor.queryText().getText(*editor.queryText().getSelection(0)), 5)
    check(selected == "BOX 100 100 200 200 1",
          f"a right-click on the drawing and この点をかいた行へ移動 select the line that drew it ({selected!r})")
    boxes = [t for t in walk(app) if t.getRoleName() == "text" and t != editor]
    check(any(text_of(t) == "2" for t in boxes), "and shows its number in the line-number box")
    editor.queryText().setCaretOffset(len(text_of(editor)))
    Atspi.generate_mouse_event(gx + 240, gy + 480 - 360, "b1d")
    check(wait_for(lambda: text_of(editor) == "REM\nBOX 100 100 200 200 1\n240 360", 5) is not None,
          f"a double-click on the picture puts its point into the listing ({text_of(editor)!r})")
stop(proc, signal.SIGTERM)

# A .kuv file dragged from another program onto the editor opens as Open does.
dropped = os.path.join(os.getcwd(), "dropped.kuv")
with open(dropped, "wb") as f:
    f.write(b"CIRCLE 320 240 100 4\r\n")
proc, app, editor = start()
source = subprocess.Popen([drag_source, dropped], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
if wait_for(lambda: window_id("drag-source"), 5) and editor is not None:
    sx, sy = client_origin("drag-source")
    ex, ey, ew, eh = extents(editor)
    time.sleep(0.3)
    Atspi.generate_mouse_event(sx + 60, sy + 60, "b1p")
    time.sleep(0.3)
    for step in range(1, 21):  # the pointer travels to the editor
        Atspi.generate_mouse_event(sx + 60 + (ex + ew // 2 - sx - 60) * step // 20,
                                   sy + 60 + (ey + eh // 2 - sy - 60) * step // 20, "abs")
        time.sleep(0.05)
    time.sleep(0.3)
    Atspi.generate_mouse_event(ex + ew // 2, ey + eh // 2, "b1r")
check(editor is not None and wait_for(lambda: text_of(editor) == "CIRCLE 320 240 100 4\n", 5) is not None,
      f"a .kuv file dragged onto the editor opens ({text_of(editor) if editor else None!r})")
boxes = [t for t in walk(app) if t.getRoleName() == "text"] if app else []
check(any(text_of(t) == dropped for t in boxes), "and its path is in the file-name box")
source.kill()
stop(proc, signal.SIGTERM)

sys.exit(1 if failures else 0)
