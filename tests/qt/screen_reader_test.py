#!/usr/bin/python3
# The two tables as a screen reader finds them: Tabulon runs on a scratch
# copy of the example in a virtual X server with its own session and
# accessibility bus, and the AT-SPI client library reads what it shows and
# hears what it tells while keys and clicks come in as a user's would. Then
# it walks longer lists as tree-walking readers do, asking for child i and
# then for its role and name, each a request of its own: every child handed
# out must still answer, and a long walk must not make the program grow.
# Usage: screen_reader_test.py TABULON EXAMPLES_DIR. Exit status 77: skipped.
import os, shutil, subprocess, sys, tempfile, time

tabulon, examples = sys.argv[1], sys.argv[2]
if not os.environ.get("TABULON_READER_BUS"):
    missing = [pkg for tool, pkg in (("Xvfb", "xvfb"), ("dbus-run-session", "dbus"),
                                     ("/usr/libexec/at-spi-bus-launcher", "at-spi2-core")) if not shutil.which(tool)]
    if subprocess.run([sys.executable, "-c", "import pyatspi"], capture_output=True).returncode:
        missing.append("python3-pyatspi")
    if missing:
        print("SKIP: a screen reader's view needs " + " ".join(missing) + " (apt-get install them)")
        sys.exit(77)
    # The server tells its display once it takes connections, and must not
    # start over when its first client leaves: whoever connects then would
    # be turned away. The session bus, started after it, hands the display
    # to the accessibility registry, which makes the keys and clicks.
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                             "-noreset"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    env = dict(os.environ, DISPLAY=":" + os.read(read, 64).decode().strip(), TABULON_READER_BUS="1")
    status = subprocess.run(["dbus-run-session", "--", sys.executable] + sys.argv, env=env).returncode
    xvfb.terminate()
    sys.exit(status)

import pyatspi
from gi.repository import GLib

scratch = shutil.copytree(examples, tempfile.mkdtemp(), dirs_exist_ok=True)
database_file = os.path.join(scratch, "database.db")
items = [line.split(";") for line in open(database_file, encoding="utf-8").read().splitlines()]


def start():
    return subprocess.Popen([tabulon, os.path.join(scratch, "example.cfg")],
                            env=dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                     HOME=scratch, XDG_RUNTIME_DIR=scratch))


program = start()
registry = pyatspi.Registry
heard, failures = [], []
registry.registerEventListener(heard.append, "focus:", "object:state-changed:checked")


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    failures.extend([] if ok else [what])
    return ok


def until(condition, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        GLib.MainContext.default().iteration(False)
        if found := condition():
            return found
        time.sleep(0.02)


def heard_of(kind, role, name, detail=0):
    return until(lambda: next((e for e in heard if e.type.startswith(kind) and e.detail1 == detail and
                               e.source.getRoleName() == role and e.source.name == name), None))


def at_middle(node, button):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    registry.generateMouseEvent(box.x + box.width // 2, box.y + box.height // 2, button)


def press(*keysyms):
    for keysym in keysyms:
        registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
        until(lambda: False, 0.2)


DOWN, RETURN, ESCAPE = 0xFF54, 0xFF0D, 0xFF1B


def find_table(app, name):
    return until(lambda: pyatspi.findDescendant(app, lambda n: n.getRoleName() == "table" and n.name == name))


def ours(app):
    try:
        return app.name == "Tabulon" and app.get_process_id() == program.pid
    except Exception:  # one that has just gone
        return False


def find_app():
    return until(lambda: next((a for a in registry.getDesktop(0) if a and ours(a)), None))


def memory_kib():
    return next(int(line.split()[1]) for line in open(f"/proc/{program.pid}/status") if line.startswith("VmRSS:"))


try:
    app = find_app()
    database, new_items = (find_table(app, name) for name in ("Database", "New items"))
    check(database is not None and new_items is not None, "both tables are there by name")
    table = database.queryTable()
    check((table.nRows, table.nColumns) == (len(items), 5), f"Database has {table.nRows} rows, {table.nColumns} columns")
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    check(headers == ["Database", "Artist", "Title", "Year", "Genre"], f"column headers {headers}")
    check(table.getAccessibleAt(0, 1).name == items[0][0], "the first item's first cell reads as in the file")
    at_middle(table.getAccessibleAt(2, 1), "b1c")
    press(DOWN)
    moved = heard_of("focus", "table cell", items[3][0])
    check(moved is not None and moved.source.parent.name == "Database", "Down tells the cell below, in Database")
    press(ord("x"))
    check(heard_of("focus", "text", "Artist") is not None, "typing opens an edit box named after its column")
    press(ESCAPE)
    # An item added to 'New items' from its menu, then ticked by a click.
    at_middle(new_items, "b3c")
    press(DOWN, DOWN, RETURN)
    check(until(lambda: new_items.queryTable().nRows == 1, 5), "'Add item' adds a row to New items")
    box = new_items.queryTable().getAccessibleAt(0, 0)
    # A check box to the reader, which says "not checked" of one as well as
    # "checked" (of a plain cell it tells only a tick that is there).
    check(box.getRoleName() == "check box" and not box.getState().contains(pyatspi.STATE_CHECKED),
          "its check box reads as one, unticked")
    at_middle(box, "b1c")
    ticked = heard_of("object:state-changed:checked", "check box", "", 1)
    check(ticked is not None and box.getState().contains(pyatspi.STATE_CHECKED), "a click ticks it, and says so")
    # Lists of 200 items, walked whole, and of 100,000, walked for 6,000
    # children, as tree-walking readers do: child i, then its role and name.
    for count, walked in ((200, None), (100_000, 6_000)):
        program.terminate()
        program.wait()
        listed = [[f"Artist {i:06}", f"Title {i:06}", str(1900 + i % 100), "Genre"] for i in range(count)]
        with open(database_file, "w", encoding="utf-8") as out:
            out.writelines(";".join(item) + "\n" for item in listed)
        program = start()
        table = find_table(find_app(), "Database")
        if not check(table is not None and until(lambda: table.queryTable().nRows == count, 30),
                     f"{count} items are read"):
            continue
        columns, walked, before, dead = table.queryTable().nColumns, walked or table.childCount, memory_kib(), []
        for i in range(walked):
            row, col = divmod(i, columns)  # the heading row first; the first column numbers the items
            try:
                child = table.getChildAtIndex(i)
                read = (child.getRoleName(), child.name if row and col else "")
            except Exception as error:  # the reader's "No such object path"
                read = error
            wanted = listed[row - 1][col - 1] if row and col else ""
            if read != ("table cell" if row else "table column header", wanted):
                dead.append(f"child {i}: {read}")
        print("\n".join(dead[:5]))
        check(not dead, f"{len(dead)} of {walked} children of {count} items gone or misread")
        grown = (memory_kib() - before) / 1024
        # The address sanitizer keeps what is freed a while, and more.
        if any("libasan" in line for line in open(f"/proc/{program.pid}/maps")):
            print(f"not checked: the program grew by {grown:.1f} MB, built with the address sanitizer")
        else:
            check(grown < 40, f"the program grew by {grown:.1f} MB walking them")
finally:
    program.terminate()
    program.wait()
    shutil.rmtree(scratch, ignore_errors=True)
sys.exit(1 if failures else 0)
