"""web_page_test.py: the browser build's page in a headless Chromium: the report on the console,
the canvas's pixels, the menu and the scale trace it starts.

The expectations and the pixel check are the desktop tests' own, through the native tool
web_page_check. One page serves the tests in their numbered order, as a user would go: look,
open the menu and dismiss it, by mouse and by touch, then choose entry 5.

Usage: /usr/bin/python3 tests/web_page_test.py PAGE_DIR WEB_PAGE_CHECK
"""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
import web_page  # noqa: E402
from program_facts import MENU_ENTRIES, REPORT_LINES, WINDOW_PX as CANVAS_PX  # noqa: E402

PAGE_DIR = CHECK = None
MENU_PRESS = (150, 100)  # Where the right button is pressed on the canvas, in CSS pixels.

MENU_OPEN = "!document.getElementById('menu').hidden"
# Records whether anything left the browser's own context menu to open.
WATCH_CONTEXT_MENU = """
document.addEventListener("contextmenu", function (event) {
  window.contextMenuLeftToBrowser = !event.defaultPrevented;
});
"""


def expected(what):
    return subprocess.run([CHECK, what], check=True, capture_output=True,
                          text=True).stdout.splitlines()


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.page = web_page.Page(PAGE_DIR, init_script=WATCH_CONTEXT_MENU, lifetime_s=100)
        cls.page.wait_for_lines(REPORT_LINES)
        cls.canvas = cls.page.rect("#canvas")

    @classmethod
    def tearDownClass(cls):
        cls.page.close()

    def check_frame(self, mode, scales):
        """Fits a screenshot of the canvas to the cube; returns the tool's verdict line."""
        with tempfile.NamedTemporaryFile(suffix=".ppm") as image:
            image.write(web_page.png_to_ppm(self.page.screenshot(self.canvas)))
            image.flush()
            fit = subprocess.run([CHECK, "frame", image.name, str(mode), *map(str, scales)],
                                 capture_output=True, text=True)
            if fit.returncode != 0:
                kept = os.path.join(tempfile.gettempdir(), "web_page_mode%d.ppm" % mode)
                with open(image.name, "rb") as source, open(kept, "wb") as copy:
                    copy.write(source.read())
                self.fail("%s\n%s(frame kept as %s)" % (fit.stdout, fit.stderr, kept))
        return fit.stdout

    def open_menu(self):
        self.page.click(self.canvas[0] + MENU_PRESS[0], self.canvas[1] + MENU_PRESS[1], "right")
        self.page.wait_until(MENU_OPEN, 5, "the menu to open")

    def test_1_report_on_the_browser_console_and_in_the_pane(self):
        lines = self.page.wait_for_lines(REPORT_LINES)
        self.assertEqual(lines, expected("report"))
        self.page.wait_until("document.getElementById('console').textContent.length > 0")
        self.assertEqual(self.page.evaluate("document.getElementById('console').textContent"),
                         "".join(line + "\n" for line in lines),
                         "the pane keeps every line as printed, blanks included")

    def test_2_canvas_shows_the_unscaled_cube_of_draw_mode_1(self):
        self.assertEqual(self.page.evaluate("[canvas.width, canvas.height]"),
                         [CANVAS_PX, CANVAS_PX])
        self.assertEqual(self.canvas[2:], (CANVAS_PX, CANVAS_PX))
        self.check_frame(1, [1.0])

    def test_3_right_click_opens_the_menu_at_the_pointer_and_escape_chooses_nothing(self):
        self.open_menu()
        self.assertFalse(self.page.evaluate("window.contextMenuLeftToBrowser"),
                         "the browser's own menu opened over the canvas")
        left, top, _, _ = self.page.rect("#menu")
        self.assertEqual((left, top),
                         (self.canvas[0] + MENU_PRESS[0], self.canvas[1] + MENU_PRESS[1]))
        labels = self.page.evaluate(
            "Array.from(document.querySelectorAll('#menu li'), item => item.textContent)")
        self.assertEqual(len(labels), MENU_ENTRIES)
        self.assertEqual(labels[4], "큐브 확대/축소(기준 : 원점,   위치 : 원점)")

        self.page.press_key("Escape", "Escape", 27)
        self.page.wait_until("document.getElementById('menu').hidden", 5, "the menu to close")
        self.page.pump(0.4)  # Four ticks: a chain started by mistake would have printed.
        self.assertEqual(len(self.page.lines), REPORT_LINES, "Escape chose an entry")
        self.check_frame(1, [1.0])

    def test_4_a_long_press_on_a_touch_screen_opens_the_menu_too(self):
        finger = [{"x": self.canvas[0] + MENU_PRESS[0], "y": self.canvas[1] + MENU_PRESS[1]}]
        self.page.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=finger)
        self.page.wait_until(MENU_OPEN, 5, "the menu to open under the finger")
        self.page.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
        self.page.pump(0.2)
        self.assertTrue(self.page.evaluate(MENU_OPEN), "lifting the finger closed the menu")
        self.page.press_key("Escape", "Escape", 27)
        self.page.wait_until("document.getElementById('menu').hidden", 5, "the menu to close")
        self.assertEqual(len(self.page.lines), REPORT_LINES, "the long press chose an entry")

    def test_5_entry_5_traces_the_scale_and_the_cube_scales(self):
        self.open_menu()
        left, top, width, height = self.page.rect("#menu li:nth-child(5)")
        self.page.click(left + width / 2, top + height / 2)
        self.assertTrue(self.page.evaluate("document.getElementById('menu').hidden"),
                        "the menu stayed open after the choice")
        trace = expected("trace")
        lines = self.page.wait_for_lines(REPORT_LINES + len(trace))
        self.assertEqual(lines[REPORT_LINES:REPORT_LINES + len(trace)], trace)

        # The frame now drawn is scaled by the last traced scale, or by its neighbour when a tick
        # came between the trace and the screenshot.
        self.page.pump(0.5)
        traced = next(float(text.split()[1]) for text, _ in reversed(self.page.lines)
                      if len(text.split()) == 3)  # A tick's second and third lines: the scale.
        fit = self.check_frame(5, [round(traced + step, 1) for step in (-0.1, 0.0, 0.1)])
        self.assertNotIn("scale 1.000000", fit)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    PAGE_DIR, CHECK = sys.argv[1], os.path.abspath(sys.argv[2])
    unittest.main(argv=sys.argv[:1], verbosity=2)
