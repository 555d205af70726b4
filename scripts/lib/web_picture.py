"""web_picture.py: docs/web.png, the browser build's page with its menu open over the canvas and
entry 5 under the pointer, taken from the real page in a headless Chromium. Run by
scripts/make-web-picture.sh.

Usage: /usr/bin/python3 scripts/lib/web_picture.py PAGE_DIR OUTPUT.png
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "support"))
import web_page  # noqa: E402

REPORT_LINES = 44
# The viewport, and where on the canvas the menu is opened: below the cube, so the axes and the
# cube stay in sight, and at its right edge, so the help line does too.
WIDTH, HEIGHT = 860, 540
MENU_PRESS = (296, 185)
SHOWN_ENTRY = 5


def main():
    page_dir, output = sys.argv[1:3]
    with web_page.ChromiumPage(page_dir, width=WIDTH, height=HEIGHT, lifetime_s=60) as page:
        page.wait_for_lines(REPORT_LINES)
        page.pump(1.0)  # Ten rotation ticks: the cube has turned a little.
        left, top, _, _ = page.rect("#canvas")
        page.click(left + MENU_PRESS[0], top + MENU_PRESS[1], "right")
        page.wait_until("!document.getElementById('menu').hidden", 5, "the menu")
        entry = page.rect("#menu li:nth-child(%d)" % SHOWN_ENTRY)
        page.call("Input.dispatchMouseEvent", type="mouseMoved",
                  x=entry[0] + 40, y=entry[1] + entry[3] / 2)
        page.pump(0.2)
        with open(output, "wb") as picture:
            picture.write(page.screenshot())


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main()
