"""The pages the program writes pass the Nu HTML checker with no error: the
bundled example's page and pages of 10,000 generated items, in UTF-8 and
Windows-1252 alike, in every index mode.

    python3 check_page_html.py TABULON EXAMPLES TOOLS

The checker comes from npm (vnu-jar) and runs on Java; it is installed into
TOOLS when it is not there yet. Exits 77 (skipped) only when it cannot be
installed or Java is missing, and says why.
"""
import os
import shutil
import subprocess
import sys
import tempfile

import pages

VNU_VERSION = "26.10.12"
SKIPPED = 77


def checker(tools):
    jar = os.path.join(tools, "node_modules", "vnu-jar", "build", "dist", "vnu.jar")
    if os.path.exists(jar):
        return jar
    npm = shutil.which("npm")
    if not npm:
        print("SKIPPED: npm is not installed, so the Nu HTML checker (vnu-jar) cannot be; "
              "scripts/test.sh installs npm")
        sys.exit(SKIPPED)
    os.makedirs(tools, exist_ok=True)
    # The package carries the checker; its install script would fetch a Java
    # of its own, which the system's Java makes needless.
    run = subprocess.run([npm, "install", "--no-audit", "--no-fund", "--ignore-scripts", "--prefix", tools,
                          f"vnu-jar@{VNU_VERSION}"], capture_output=True, text=True)
    if run.returncode != 0 or not os.path.exists(jar):
        print(f"SKIPPED: the Nu HTML checker (vnu-jar {VNU_VERSION}) could not be installed with npm:\n"
              f"{run.stdout}{run.stderr}")
        sys.exit(SKIPPED)
    return jar


def main():
    tabulon, examples, tools = sys.argv[1:4]
    jar = checker(tools)
    java = shutil.which("java")
    if not java:
        print("SKIPPED: Java is not installed (Debian's default-jre-headless; scripts/test.sh installs it)")
        sys.exit(SKIPPED)
    with tempfile.TemporaryDirectory() as folder:
        checked = [pages.example_page(tabulon, examples, folder)]
        checked += pages.generated_pages(tabulon, examples, folder)
        for page in checked:
            with open(page, "rb") as f:
                text = f.read()
            text.decode("utf-8")  # all of it UTF-8, or this fails
            if b"<table class=\"tabulon\">" not in text:
                sys.exit(f"{page} is not today's page")
        run = subprocess.run([java, "-Xss8m", "-jar", jar, "--errors-only", "--format", "gnu"] + checked,
                             capture_output=True, text=True)
        report = (run.stdout + run.stderr).replace(folder + os.sep, "")
        if run.returncode != 0 or report.strip():
            print(report)
            sys.exit(f"the Nu HTML checker found errors in the pages above ({len(checked)} checked)")
        print(f"{len(checked)} pages checked, no error: the example's page and "
              f"{len(checked) - 1} pages of 10,000 items (index modes 0 to 4)")


if __name__ == "__main__":
    main()
