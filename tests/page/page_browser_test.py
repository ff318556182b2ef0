"""Today's page in a real browser (headless Chromium through ChromeDriver):
the search, the sorting headings with aria-sort, the letter links, and a
phone's width, on the bundled example's page.

    python3 page_browser_test.py TABULON EXAMPLES

Exits 77 (skipped) when Chromium, ChromeDriver or Selenium is missing.
"""
import os
import shutil
import sys
import tempfile
import unicodedata
import unittest

import pages

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:
    print("SKIPPED: python3-selenium is not installed (scripts/test.sh installs it)")
    sys.exit(77)

TABULON, EXAMPLES = sys.argv[1], sys.argv[2]
ROWS = "table.tabulon tbody tr"


def fold(text):
    return "".join(c for c in unicodedata.normalize("NFD", text) if not unicodedata.combining(c)).lower()


def browser(width=1000, phone=False):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                f"--window-size={width},900"):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    if phone:
        # A phone's screen, which follows the page's viewport declaration.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": width, "height": 800, "deviceScaleFactor": 2, "mobile": True})
    return driver


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp()
        cls.url = "file://" + pages.example_page(TABULON, EXAMPLES, cls.folder)
        cls.driver = browser(1000)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.folder, ignore_errors=True)

    def setUp(self):
        self.driver.get(self.url)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def shown_rows(self):
        """Each shown row: ("group", letter) or ("item", [cells])."""
        return self.js("""
            return Array.from(document.querySelectorAll(arguments[0]))
                .filter(r => r.checkVisibility({visibilityProperty: true}))
                .map(r => r.cells[0].tagName == 'TH' ? ['group', r.cells[0].textContent]
                                                     : ['item', Array.from(r.cells, c => c.textContent)]);""",
                       ROWS)

    def items(self):
        return [cells for kind, cells in self.shown_rows() if kind == "item"]

    def sort(self, name):
        """Clicks the shown heading that starts with name."""
        button = [b for b in self.driver.find_elements(By.CSS_SELECTOR, "thead th button")
                  if b.is_displayed() and b.text.startswith(name)]
        self.assertEqual(len(button), 1, name)
        button[0].click()

    def sort_states(self):
        return self.js("return Array.from(document.querySelectorAll('thead th'))"
                       ".filter(th => th.checkVisibility({visibilityProperty: true}))"
                       ".map(th => th.getAttribute('aria-sort'))")

    def test_search_shows_the_matching_rows_and_counts_them(self):
        everything = self.items()
        field = self.driver.find_element(By.CSS_SELECTOR, "input[type=search]")
        status = self.driver.find_element(By.CSS_SELECTOR, "[role=status]")
        self.assertEqual(self.js("return document.querySelector('label[for=\"' + arguments[0].id + '\"]')"
                                 ".textContent.trim()", field), "Search")
        self.assertEqual(status.get_attribute("aria-live"), "polite")
        self.assertEqual(status.text, f"{len(everything)} items")
        # Case and accents ignored, every column searched.
        for typed in ("SOUL", "bjork", "197", "zzz"):
            field.clear()
            field.send_keys(typed)
            expected = [cells for cells in everything if fold(typed) in fold("\n".join(cells))]
            self.assertEqual(self.items(), expected, typed)
            self.assertEqual(status.text, f"{len(expected)} of {len(everything)} items", typed)
            # No group stands without an item under it.
            rows = self.shown_rows()
            for i, (kind, _) in enumerate(rows):
                if kind == "group":
                    self.assertTrue(i + 1 < len(rows) and rows[i + 1][0] == "item", (typed, rows[i]))
        self.assertEqual(self.items(), [], "zzz matches nothing")
        field.clear()
        field.send_keys(" ")
        self.assertEqual(self.items(), everything)

    def test_headings_sort_both_ways_and_the_first_brings_the_groups_back(self):
        grouped = self.shown_rows()
        everything = self.items()
        self.assertEqual(self.sort_states(), ["ascending", None, None, None])
        for column, name in enumerate(["Title", "Year", "Genre"], start=1):
            self.sort(name)
            up = self.items()
            self.assertNotIn("group", [kind for kind, _ in self.shown_rows()])
            keys = [fold(cells[column]) for cells in up]
            self.assertEqual(keys, sorted(keys), name)
            self.assertEqual(sorted(map(tuple, up)), sorted(map(tuple, everything)))
            expected = [None] * 4
            expected[column] = "ascending"
            self.assertEqual(self.sort_states(), expected)
            self.sort(name)
            keys = [fold(cells[column]) for cells in self.items()]
            self.assertEqual(keys, sorted(keys, reverse=True), name)
            expected[column] = "descending"
            self.assertEqual(self.sort_states(), expected)
        self.sort("Artist")
        self.assertEqual(self.shown_rows(), grouped)
        self.assertEqual(self.sort_states(), ["ascending", None, None, None])
        self.sort("Artist")
        self.assertEqual(self.items(), everything[::-1])
        self.assertEqual(self.sort_states(), ["descending", None, None, None])

    def test_every_letter_link_lands_on_its_group_even_from_a_sorted_list(self):
        links = self.driver.find_elements(By.CSS_SELECTOR, "nav.tabulon-index a")
        letters = [group for kind, group in self.shown_rows() if kind == "group"]
        self.assertEqual([link.text for link in links], letters)
        self.sort("Year")
        for link in self.driver.find_elements(By.CSS_SELECTOR, "nav.tabulon-index a"):
            self.js("window.scrollTo(0, 0)")
            letter = link.text
            link.click()
            box = self.js("var e = document.getElementById(arguments[0]); if (!e) return null;"
                          "var r = e.getBoundingClientRect(); return [r.top, r.bottom, innerHeight];", letter)
            self.assertIsNotNone(box, letter)
            top, bottom, height = box
            self.assertTrue(-1 <= top and bottom <= height, (letter, box))
            self.assertTrue(self.driver.current_url.endswith("#" + letter))

    def test_at_a_phones_width_only_the_tables_box_scrolls_sideways(self):
        phone = browser(375, phone=True)
        try:
            # A cell too wide for a phone, besides the example's items.
            folder = os.path.join(self.folder, "wide")
            shutil.copytree(os.path.join(self.folder, "example"), folder)
            with open(os.path.join(folder, "database.db"), "ab") as db:
                db.write(b"Wide;" + b"W" * 120 + b";2000;Rock\r\n")
            pages.make_list(TABULON, os.path.join(folder, "example.cfg"))
            for url in (self.url, "file://" + os.path.join(folder, "list.htm")):
                phone.get(url)
                self.assertLessEqual(phone.execute_script("return innerWidth"), 375)
                scrolling = phone.execute_script("""
                    return Array.from(document.querySelectorAll('*')).filter(e =>
                        e.scrollWidth > e.clientWidth + 1 && e !== document.documentElement &&
                        e !== document.body && /auto|scroll/.test(getComputedStyle(e).overflowX))
                      .map(e => e.className);""")
                page = phone.execute_script("var d = document.documentElement; return [d.scrollWidth, d.clientWidth]")
                self.assertLessEqual(page[0], page[1], url)
                self.assertLessEqual(set(scrolling), {"tabulon-box"}, url)
            self.assertEqual(scrolling, ["tabulon-box"], "the wide cell scrolls in the box")
        finally:
            phone.quit()


if __name__ == "__main__":
    for tool in ("chromium", "chromedriver"):
        if not shutil.which(tool):
            print(f"SKIPPED: {tool} is not installed (Debian's chromium and chromium-driver; "
                  "scripts/test.sh installs them)")
            sys.exit(77)
    unittest.main(argv=sys.argv[:1], verbosity=2)
