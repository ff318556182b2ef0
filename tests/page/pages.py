"""Pages made by the program itself, in batch mode, for the page checks.

A list of generated items in mixed encodings (UTF-8 cells beside cells typed
in Windows-1252, as older lists hold them), written with a configuration in
each index mode, and the bundled example.
"""
import os
import random
import shutil
import subprocess

COLUMNS = ["Artist", "Title", "Year", "Genre"]
WORDS = ["blue", "kind", "love", "wind", "soul", "road", "night", "river", "stone", "gold",
         "caf\u00e9", "na\u00efve", "fj\u00f6rd", "se\u00f1or", "\u00e9t\u00e9", "stra\u00dfe",
         "\u00c5sa", "\u00d8rn", "\u00e5ke", "\u00c9mile", "\u0141\u00f3d\u017a", "\u041c\u0438\u0440"]
GENRES = ["Jazz", "Soul", "Rock", "Pop", "Folk", "Blues", "Classical", "Soundtrack"]


def cell_bytes(text, rng):
    """A cell in UTF-8, or in Windows-1252 where that can hold it."""
    if rng.random() < 0.4:
        try:
            return text.encode("cp1252")
        except UnicodeEncodeError:
            pass
    return text.encode("utf-8")


def item(rng, index):
    first = rng.choice(WORDS + ["7 seconds", "2Pac", "3 Tenors", "(The) Band", ""])
    if rng.random() < 0.7:
        first = first.capitalize() if first[:1].isalpha() else first
    artist = f"{first} {rng.choice(WORDS)} {index}".strip()
    title = " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 4))).capitalize()
    if rng.random() < 0.02:
        title = f'<a href="https://example.org/{index}">{title}</a> <em>live</em>'
    fields = [artist, title, str(rng.randint(1920, 2025)), rng.choice(GENRES)]
    return b";".join(cell_bytes(f, rng) for f in fields)


def write_database(path, count, seed=1):
    rng = random.Random(seed)
    with open(path, "wb") as out:
        for i in range(count):
            out.write(item(rng, i) + b"\r\n")


def write_config(path, database, output, head, end, mode, width=True, other_letters=True, style=1):
    lines = ["[files]", f"database = {database}", f"output   = {output}", f"headfile = {head}",
             f"endfile  = {end}", "", "[colors]", "headcol  = B0C4DE", "indexcol = C8D8E8",
             "firstcol = FFFFFF", "secondcol= EEF3F8", "", "[other]", "viewout  = 0",
             f"addindex = {mode}", "ftpupload= 0"]
    if other_letters:
        lines.append("otherletters = 1")
    if style:
        lines.append(f"pagestyle = {style}")
    lines += [f"usewidth = {1 if width else 0}", "width    = 760", "columns  = " + ";".join(COLUMNS)]
    with open(path, "wb") as out:
        out.write("\r\n".join(lines).encode())


def make_list(tabulon, cfg):
    run = subprocess.run([tabulon, "--make-list", cfg], capture_output=True, text=True, errors="replace")
    if run.returncode != 0:
        raise SystemExit(f"tabulon --make-list {cfg} failed ({run.returncode}): {run.stderr}")


def example_page(tabulon, examples, folder):
    """The bundled example's page, made in a copy of the example."""
    copy = os.path.join(folder, "example")
    shutil.copytree(examples, copy, dirs_exist_ok=True)
    make_list(tabulon, os.path.join(copy, "example.cfg"))
    return os.path.join(copy, "list.htm")


def generated_pages(tabulon, examples, folder, count=10000, modes=range(5), style=1):
    """Pages of count generated items, one in each index mode, with the
    example's head and end files."""
    database = os.path.join(folder, "items.db")
    write_database(database, count)
    head = os.path.join(examples, "head.htm")
    end = os.path.join(examples, "end.htm")
    pages = []
    for mode in modes:
        page = os.path.join(folder, f"list-{mode}.htm")
        cfg = os.path.join(folder, f"list-{mode}.cfg")
        # Every other mode without the width and the letters beyond Z.
        write_config(cfg, database, page, head, end, mode, width=mode % 2 == 0, other_letters=mode != 3,
                     style=style)
        make_list(tabulon, cfg)
        pages.append(page)
    return pages
