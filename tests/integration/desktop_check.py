#!/usr/bin/env python3
"""The window on a real X server (Xvfb with a window manager), as a user sees
it: under a light and a dark colour scheme the item cells' text is readable
(4.5:1 at least), Ctrl+C puts the focus cell's text on the clipboard, and
Shift+F10 opens the focus cell's menu beside it, 'Replace' opens below the
open find bar, title bar and all; at QT_SCALE_FACTOR=2 on a
1280 x 800 screen the configuration dialog lies on the screen.

    desktop_check.py TABULON EXAMPLES_FOLDER

Exits 77 (skipped) when a tool it needs is missing."""
import contextlib, os, shutil, subprocess, sys, tempfile, time

NEEDED = ('Xvfb', 'openbox', 'xdotool', 'xprop', 'import', 'xclip', 'convert')
missing = [t for t in NEEDED if not shutil.which(t)]
if missing:
    print('skipped: missing', ' '.join(missing))
    sys.exit(77)
binary, examples = sys.argv[1], sys.argv[2]


def luminance(rgb):
    def lin(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (lin(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def pixels(png, x, y, w, h):
    """The pixels of a region as (r, g, b) tuples."""
    out = subprocess.run(['convert', png, '-crop', f'{w}x{h}+{x}+{y}', '-depth', '8', 'rgb:-'],
                         capture_output=True, check=True).stdout
    return [tuple(out[i:i + 3]) for i in range(0, len(out), 3)]


@contextlib.contextmanager
def desktop(extra_env, work, size='1024x768', move=True):
    """The program on example.cfg in a fresh X server with a window manager:
    (env, xdotool, screenshot, main window id), or a window id of None. The
    window is moved to the screen's corner unless move is False."""
    display = next(n for n in range(300, 400) if not os.path.exists(f'/tmp/.X{n}-lock'))
    env = dict(os.environ, DISPLAY=f':{display}', QT_QPA_PLATFORM='xcb', XDG_RUNTIME_DIR=tempfile.mkdtemp(),
               XDG_CONFIG_HOME=os.path.join(work, 'config'), **extra_env)
    if 'QT_QPA_PLATFORMTHEME' not in extra_env:
        env.pop('QT_QPA_PLATFORMTHEME', None)
    xvfb = subprocess.Popen(['Xvfb', f':{display}', '-screen', '0', f'{size}x24', '-nolisten', 'tcp'],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    procs = [xvfb]
    try:
        time.sleep(1)
        procs.append(subprocess.Popen(['openbox'], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(0.5)
        cfg = os.path.join(work, 'example.cfg')
        app = subprocess.Popen([binary, cfg], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(app)
        x = lambda *a: subprocess.run(['xdotool', *a], env=env, capture_output=True, text=True).stdout.strip()
        shot = lambda name: (subprocess.run(['import', '-window', 'root', name], env=env, check=True), name)[1]
        window = ''
        for _ in range(50):
            window = x('search', '--onlyvisible', '--name', 'Tabulon - ')
            if window:
                break
            time.sleep(0.2)
        if window:
            window = window.split()[0]
            if move:
                x('windowmove', window, '0', '0')
            time.sleep(1.5)
        yield env, x, shot, window or None
    finally:
        for p in reversed(procs):
            p.terminate()
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()


def run(scheme_env, dark, work):
    with desktop(scheme_env, work) as (env, x, shot, window):
        if not window:
            return ['the window did not show']
        failures = []
        # The 'Database' grid's first items: under the heading row of the lower pane.
        before = shot(os.path.join(work, 'before.png'))
        height = geometry(x, window)['HEIGHT']
        # Search the lower half for a row of item cells: the most common colour
        # is the cells' background, the one that differs most from it the text.
        region = pixels(before, 100, height // 2 + 40, 180, 60)
        counts = {}
        for p in region:
            counts[p] = counts.get(p, 0) + 1
        back = max(counts, key=counts.get)
        text = max(counts, key=lambda p: contrast(p, back) if counts[p] >= 5 else 0)
        ratio = contrast(back, text)
        print(f'  cells {back}, text {text}: {ratio:.1f}:1')
        # A scheme that did not take would prove nothing.
        if (luminance(back) < 0.2) != dark:
            failures.append(f'the cells are not {"dark" if dark else "light"}: the scheme did not take')
        if ratio < 4.5:
            failures.append(f'cell text contrast {ratio:.1f}:1 is below 4.5:1')
        # Ctrl+C on the first item's first field.
        cell_y = height // 2 + 50
        x('mousemove', '150', str(cell_y), 'click', '1')
        time.sleep(0.5)
        x('key', 'Escape')
        x('key', 'ctrl+c')
        time.sleep(0.5)
        copied = subprocess.run(['xclip', '-o', '-selection', 'clipboard'], env=env, capture_output=True,
                                text=True).stdout
        print(f'  clipboard: {copied!r}')
        if not copied.strip():
            failures.append('Ctrl+C put nothing on the clipboard')
        # Shift+F10: a menu opens beside the focus cell.
        quiet = shot(os.path.join(work, 'quiet.png'))
        x('key', 'shift+F10')
        time.sleep(0.8)
        menu = shot(os.path.join(work, 'menu.png'))
        changed = sum(a != b for a, b in zip(pixels(quiet, 100, cell_y, 200, 150), pixels(menu, 100, cell_y, 200, 150)))
        print(f'  pixels changed by Shift+F10 beside the cell: {changed}')
        if changed < 2000:
            failures.append('Shift+F10 opened no menu at the focus cell')
        x('key', 'Escape')
        return failures


def geometry(x, window):
    """A window's X, Y, WIDTH and HEIGHT as xdotool gives them."""
    return {k: int(v) for k, v in (l.split('=') for l in x('getwindowgeometry', '--shell', window).splitlines())
            if k != 'SCREEN'}


def from_menu(x, menu_key, item_key, title):
    """Chooses a menu item by its letters and waits for the window it opens:
    (window id, its geometry as xdotool gives it), or None."""
    x('key', menu_key)
    time.sleep(0.4)
    x('key', item_key)
    for _ in range(25):
        found = x('search', '--onlyvisible', '--name', f'^{title}$')
        if found:
            time.sleep(0.5)
            window = found.split()[0]
            return window, geometry(x, window)
        time.sleep(0.2)
    return None


def tool_window(work):
    """'Replace' opens below the open find bar, title bar and all: its frame's
    top is no higher than where 'New items' begins under the bar. The window
    stays where the window manager put it: moved from outside, Qt knows its
    place less well than the program does in use."""
    with desktop({}, work, move=False) as (env, x, shot, window):
        if not window:
            return ['the window did not show']
        left, top, height = (geometry(x, window)[k] for k in ('X', 'Y', 'HEIGHT'))
        x('key', 'ctrl+f')
        time.sleep(0.5)
        bar = shot(os.path.join(work, 'bar.png'))
        column = pixels(bar, left + 10, top, 1, height // 2)
        pane_top = next((top + y for y, (r, g_, b) in enumerate(column) if y > 40 and b > r + 60), None)
        opened = from_menu(x, 'alt+t', 'r', 'Replace')
        if not opened or pane_top is None:
            return ['Replace or the New items pane under the find bar was not found']
        replace, placed = opened
        client_top = placed['Y']
        extents = subprocess.run(['xprop', '-id', replace, '_NET_FRAME_EXTENTS'], env=env, capture_output=True,
                                 text=True).stdout
        title = int(extents.split('=')[1].split(',')[2]) if '=' in extents else 0
        print(f'  Replace: frame top {client_top - title}, New items under the find bar from {pane_top}')
        if client_top - title < pane_top - 3:
            return ['Replace covers the find bar']
        return []


def scaled(work):
    """At twice the size on a 1280 x 800 screen the configuration dialog lies
    on the screen whole, its frame included (what does not fit scrolls)."""
    with desktop({'QT_SCALE_FACTOR': '2'}, work, '1280x800') as (env, x, shot, window):
        if not window:
            return ['the window did not show']
        opened = from_menu(x, 'alt+f', 'e', 'Configuration')
        if not opened:
            return ['the configuration dialog did not show']
        left, top, width, height = (opened[1][k] for k in ('X', 'Y', 'WIDTH', 'HEIGHT'))
        print(f'  the configuration dialog: {width}x{height} at {left},{top}')
        if left < 0 or top < 0 or left + width > 1280 or top + height > 800:
            return [f'the configuration dialog ({width}x{height} at {left},{top}) leaves the 1280x800 screen']
        return []


failed = 0
checks = [('light scheme', lambda work: run({}, False, work)),
          ('dark scheme', lambda work: run({'QT_QPA_PLATFORMTHEME': 'gtk3', 'GTK_THEME': 'Adwaita:dark'}, True, work)),
          ('the tool window', tool_window),
          ('scale factor 2', scaled)]
for name, check in checks:
    work = tempfile.mkdtemp(prefix='tabulon-desktop-')
    for f in os.listdir(examples):
        shutil.copy(os.path.join(examples, f), work)
    print(f'{name}:')
    failures = check(work)
    for f in failures:
        print('  FAILED:', f)
    failed += bool(failures)
    shutil.rmtree(work, ignore_errors=True)
print(f'{len(checks) - failed} passed, {failed} failed')
sys.exit(1 if failed else 0)
