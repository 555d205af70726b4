"""web_page_test.py: the browser build's page in a headless Chromium and in Firefox ESR: the
report, the canvas's pixels at any pixel ratio, the menu by keyboard, mouse, touch and its
button, a phone, the trace, the pane's bound, the clock and the address, Korean and English,
axe-core, and failure in words. Expectations and pixel checks are the desktop tests' own
(web_page_check). One page per browser, the one file copied alone into an empty folder and opened
from the disk, serves the tests in their numbered order, as a user would go. The served page and
the pages without WebGL, JavaScript or WebAssembly are Chromium's alone: a second Firefox start
costs more than it finds.

Usage: /usr/bin/python3 tests/web_page_test.py PAGE_DIR WEB_PAGE_CHECK [BROWSER...]
       (BROWSER: chromium, firefox; both by default)
"""

import os
import math
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
import web_page  # noqa: E402
from program_facts import MENU_ENTRIES, SCALE_ENTRY, WINDOW_PX as CANVAS_PX  # noqa: E402

PAGE_DIR = CHECK = None
BROWSERS = list(web_page.BROWSERS)
AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "web", "node_modules",
                   "axe-core", "axe.min.js")

# Entry 5's label, as the page must show it.
SCALE_LABEL = "큐브 확대/축소(기준 : 원점,   위치 : 원점)"

DESKTOP = (1280, 800)  # A teacher's screen, in CSS pixels.
MENU_PRESS = (150, 100)  # Where the right button is pressed on the canvas, in CSS pixels.
FLOOD_LINES = 8000
MENU_OPEN = web_page.MENU_OPEN
MENU_CLOSED = "!" + MENU_OPEN
ONE_FILE_MAX_BYTES = 350 * 1024  # The learner's calls, their reader and editor, take it past 320.
HANGUL = re.compile("[\uac00-\ud7a3]")
FOCUSED = "document.activeElement.id || document.activeElement.textContent"
MENU_BUTTON = "document.getElementById('menu-button')"
# Records whether anything left the browser's own context menu to open.
WATCH_CONTEXT_MENU = """
document.addEventListener("contextmenu", function (event) {
  window.contextMenuLeftToBrowser = window.contextMenuLeftToBrowser || !event.defaultPrevented;
});
"""
# Prints the flood, then, in the animation frame that writes it to the pane, reads the pane. The
# lines waiting for that frame must be bounded too: a hidden page gets no frames.
FLOOD = """
new Promise(function (resolve) {
  for (var i = 0; i < %d; ++i) sampleDrawingTest.print("flood " + i);
  var waiting = sampleDrawingTest.waitingLines();
  requestAnimationFrame(function () {
    resolve({waiting: waiting,
             report: document.getElementById("report").textContent,
             dropped: document.getElementById("dropped").textContent,
             newest: document.getElementById("newest").textContent,
             elements: document.getElementById("console").querySelectorAll("*").length});
  });
})
""" % FLOOD_LINES
# The frame panel, read in one go: all of it is of one frame.
PANEL = """
({calls: Array.from(document.querySelectorAll("#calls li"), item => item.textContent),
  matrix: Array.from(document.getElementById("matrix").tBodies[0].rows,
                     row => Array.from(row.cells).slice(1).map(cell => cell.textContent)),
  drawMode: document.getElementById("draw-mode").textContent,
  spinAngle: document.getElementById("spin-angle").textContent,
  scaleFactor: document.getElementById("scale-factor").textContent,
  number: document.getElementById("frame-number").textContent})
"""
FRAMES = "sampleDrawingTest.framesRecorded()"
# The editor: its list as text in the link's form, the focused control and its row, the news.
EDITOR = """
({rows: Array.from(document.querySelectorAll("#call-list > li"), row =>
    row.querySelector("code").textContent + "(" +
    Array.from(row.querySelectorAll("input[type=text]"), field => field.value).join(",") + ")"
  ).join(";"),
  row: (document.activeElement.closest("#call-list > li") || {}).ariaLabel,
  role: document.activeElement.dataset.role,
  news: document.getElementById("call-news").textContent})
"""
ROW = "#call-list > li:nth-child(%d) [data-role=%s]"
# Types text into a field as one input; gives back what the field then says.
TYPE = """
(field => (field.focus(), field.value = %r,
           field.dispatchEvent(new InputEvent("input", {bubbles: true})),
           [field.getAttribute("aria-invalid"),
            document.getElementById(field.getAttribute("aria-describedby")).textContent])
)(document.querySelector(%r))
"""
MODE_1_CALLS = ("glLoadIdentity();glTranslatef(0.6,0,0);glRotatef(spinAngle,0,0,1);"
                "glTranslatef(-0.6,0,0);glTranslatef(0.6,0,0);glutSolidCube(0.3)")
STATUS = "document.getElementById('clock-status').textContent"
SIZE = "[document.getElementById('canvas-size').value, canvas.width]"  # At ratio 1.
# Every scale the panel shows from now on.
WATCH_SCALES = """
window.scalesShown = [];
new MutationObserver(function () {
  scalesShown.push(document.getElementById("scale-factor").textContent);
}).observe(document.getElementById("scale-factor"), {childList: true, characterData: true,
                                                     subtree: true});
"""
# Counts the changes inside live regions from now on: a screen reader would announce each.
WATCH_LIVE_REGIONS = """
window.liveChanges = 0;
new MutationObserver(function (changes) {
  liveChanges += changes.filter(change => (change.target.closest ? change.target
                                            : change.target.parentElement).closest(
      "[aria-live]:not([aria-live=off]), [role=status], [role=alert], [role=log]:not([aria-live=off])"
  )).length;
}).observe(document.body, {childList: true, characterData: true, subtree: true});
"""
# Text shown outside the menu and the console, not in an element marked Korean.
HANGUL_SHOWN = """
(function () {
  var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  var found = [document.title];
  while (walker.nextNode()) {
    var element = walker.currentNode.parentElement;
    if (!element.closest("#menu, #console, noscript, [lang|=ko]") && element.checkVisibility())
      found.push(walker.currentNode.data);
  }
  document.querySelectorAll("[aria-label]").forEach(function (element) {
    if (!element.closest("[lang|=ko]")) found.push(element.getAttribute("aria-label"));
  });
  return found.join(" ");
})()
"""
AXE_RUN = """
axe.run(document).then(function (result) {
  return result.violations.map(function (v) {
    return v.id + " (" + v.impact + "): " +
        v.nodes.map(function (n) { return n.target; }).join(" ");
  });
})
"""


def float32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def expected_calls(mode, angle):
    """The model-view calls of draw modes 1 and 3, in the order they are made."""
    rotate = "glRotatef(%s, 0, 0, 1)" % angle
    moves = {1: ["glTranslatef(0.6, 0, 0)", rotate, "glTranslatef(-0.6, 0, 0)",
                 "glTranslatef(0.6, 0, 0)"],
             3: [rotate, "glTranslatef(0.6, 0, 0)"]}[mode]
    return ["glLoadIdentity()"] + moves + ["glutSolidCube(0.3)"]


def expected_matrix(mode, angle):
    """Rows of the model-view matrix: a turn by the angle, then 0.6 along x after it (mode 1)
    or before it (mode 3)."""
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    x, y = (0.6, 0.0) if mode == 1 else (0.6 * c, 0.6 * s)
    return [[c, -s, 0, x], [s, c, 0, y], [0, 0, 1, 0], [0, 0, 0, 1]]


def expected(*what):
    return subprocess.run([CHECK, *what], check=True, capture_output=True,
                          text=True).stdout.splitlines()


class PageTests:
    browser = None

    @classmethod
    def setUpClass(cls):
        cls.report = expected("report")
        one_file = os.path.join(PAGE_DIR, "sample-drawing.html")
        cls.size = os.path.getsize(one_file)
        cls.folder = tempfile.mkdtemp(prefix="sample-drawing-disk-")
        shutil.copy(one_file, cls.folder)
        cls.page = web_page.open_page(cls.browser, os.path.join(cls.folder, "sample-drawing.html"),
                                      init_script=WATCH_CONTEXT_MENU, lifetime_s=200,
                                      width=DESKTOP[0], height=DESKTOP[1])
        cls.page.wait_for_lines(len(cls.report), 60)
        cls.canvas = cls.page.rect("#canvas")

    @classmethod
    def tearDownClass(cls):
        cls.page.close()
        shutil.rmtree(cls.folder)

    def check_frame(self, mode, scales, settle_s=0.3):
        """Fits a screenshot of the canvas to the cube, taken after the redraw that a choice
        requested; returns the tool's verdict line."""
        self.page.pump(settle_s)
        with tempfile.NamedTemporaryFile(suffix=".ppm") as image:
            image.write(web_page.png_to_ppm(self.page.screenshot(self.canvas)))
            image.flush()
            fit = subprocess.run([CHECK, "frame", image.name, str(mode), *map(str, scales)],
                                 capture_output=True, text=True)
            if fit.returncode != 0:
                kept = os.path.join(tempfile.gettempdir(),
                                    "web_page_%s_mode%d.ppm" % (self.browser, mode))
                with open(image.name, "rb") as source, open(kept, "wb") as copy:
                    copy.write(source.read())
                self.fail("%s\n%s(frame kept as %s)" % (fit.stdout, fit.stderr, kept))
        return fit.stdout

    def choose_size(self, size):
        self.page.evaluate("(s => (s.value = '%s', s.dispatchEvent(new Event('change'))))"
                           "(document.getElementById('canvas-size'))" % size)

    def at_canvas(self, x, y):
        return self.canvas[0] + x, self.canvas[1] + y

    def centre(self, selector):
        left, top, width, height = self.page.rect(selector)
        return left + width / 2, top + height / 2

    def tab_to_canvas(self):
        """Tab from the drawing's heading, where a click leaves the starting point of sequential
        focus."""
        self.page.click(*self.centre("#scene-title"))
        self.page.key("Tab")
        self.assertEqual(self.page.evaluate(FOCUSED), "canvas", "Tab did not reach the canvas")

    def open_by_keyboard(self):
        """The ContextMenu key where the browser can be given it; Shift+F10 in Firefox."""
        if self.browser == "firefox":
            self.page.key("F10", shift=True)
        else:
            self.page.key("ContextMenu")
        self.page.wait_until(MENU_OPEN, 5, "the menu to open")

    def close_by_escape(self, focus_back="canvas"):
        self.page.key("Escape")
        self.page.wait_until(MENU_CLOSED, 5, "the menu to close")
        self.assertEqual(self.page.evaluate(FOCUSED), focus_back)

    def check_panel(self, mode):
        """The panel's calls and matrix for the frame it shows, against the calls of the mode
        and the matrix worked out from the frame's own angle."""
        panel = self.page.evaluate(PANEL)
        self.assertEqual(panel["drawMode"], str(mode))
        angle_text, bits = re.fullmatch(r"(\S+) \((0x[0-9a-f]{8})\)", panel["spinAngle"]).groups()
        angle = float(angle_text)
        self.assertEqual(float32(angle), angle, "the angle is a float, shown exactly")
        self.assertEqual(bits, "0x%08x" % struct.unpack("<I", struct.pack("<f", angle))[0])
        self.assertEqual(panel["calls"], expected_calls(mode, angle_text))
        rows = [[float(cell) for cell in row] for row in panel["matrix"]]
        for row, want in zip(rows, expected_matrix(mode, angle)):
            for got, value in zip(row, want):
                self.assertAlmostEqual(got, value, delta=1e-6, msg=panel["matrix"])
        self.assertEqual(len(rows), 4)

    def assert_no_chain(self, what):
        self.page.pump(0.4)  # Four ticks: a chain started by mistake would have printed.
        self.assertEqual(len(self.page.lines), len(self.report), what + " started a chain")

    def test_1_report_on_the_browser_console_and_in_the_pane(self):
        lines = self.page.wait_for_lines(len(self.report))
        self.assertEqual(lines, self.report)
        self.page.wait_until("document.getElementById('console').textContent.length > 0")
        self.assertEqual(self.page.evaluate("document.getElementById('console').textContent"),
                         "".join(line + "\n" for line in lines),
                         "the pane keeps every line as printed, blanks included")

    def test_2_canvas_shows_the_unscaled_cube_of_draw_mode_1(self):
        self.assertTrue(self.page.url.startswith("file://"))
        self.assertLess(self.size, ONE_FILE_MAX_BYTES)
        self.assertEqual(self.page.evaluate("[canvas.width, canvas.height]"),
                         [CANVAS_PX, CANVAS_PX])
        self.assertEqual(self.canvas[2:], (CANVAS_PX, CANVAS_PX))
        self.check_frame(1, [1.0])
        self.check_panel(1)
        self.assertIn("draw mode 1", self.page.evaluate("canvas.getAttribute('aria-label')"))

    def test_2b_a_dense_screen_gets_a_buffer_as_dense_and_pure_red_axes(self):
        try:
            for ratio in (2, 3):
                # As browser zoom: the window too.
                self.page.resize(DESKTOP[0] - ratio, DESKTOP[1], ratio)
                self.page.wait_until("canvas.width === %d && canvas.height === %d"
                                     % ((CANVAS_PX * ratio,) * 2), 5, "the buffer at %d" % ratio)
                self.assertEqual(self.page.rect("#canvas"), self.canvas, "the box moved")
                self.page.pump(0.3)
                image = web_page.png_to_ppm(self.page.screenshot(self.canvas))
                self.assertTrue(image.startswith(b"P6\n%d %d\n" % ((CANVAS_PX * ratio,) * 2)))
                self.assertGreater(image.count(b"\xff\x00\x00"), CANVAS_PX * ratio // 2,
                                   "the axes have no pure red at %d" % ratio)
                self.check_frame(1, [1.0])  # The axes as many pixels wide as the ratio.

            # Twice the size: the scene fills the 600-pixel box, its axes two pixels wide.
            self.page.resize(1000, 760)
            self.choose_size("2")
            self.page.wait_until("canvas.width === 600 && canvas.clientWidth === 600", 5, "2x")
            self.canvas = self.page.rect("#canvas")
            self.check_frame(1, [1.0])
            self.page.resize(999, 760, 2)
            self.page.wait_until("canvas.width === 1200", 5, "the buffer at 2x and ratio 2")
        finally:
            self.choose_size("1")
            self.page.resize(*DESKTOP)
        self.page.wait_until("canvas.width === %d" % CANVAS_PX, 5, "the buffer back at 1")

    def test_3_axe_finds_no_violation_with_the_menu_closed_or_open(self):
        with open(AXE) as source:
            self.page.run_script(source.read())
        self.assertIsNone(HANGUL.search(self.page.evaluate(HANGUL_SHOWN)))
        for language in ("en", "ko"):
            self.page.click(*self.centre("[data-language=%s]" % language))
            self.assertEqual(self.page.evaluate("document.documentElement.lang"), language)
            self.assertEqual(bool(HANGUL.search(self.page.evaluate(HANGUL_SHOWN))),
                             language == "ko")
            self.assertEqual(self.page.evaluate(AXE_RUN), [], "menu closed, " + language)
            self.tab_to_canvas()
            self.open_by_keyboard()
            self.assertEqual(self.page.evaluate(AXE_RUN), [], "menu open, " + language)
            self.close_by_escape()
            self.page.key("Tab")
            self.page.key("ArrowUp")
            self.page.wait_until(MENU_OPEN, 5, "the menu button to open the menu")
            self.assertEqual(self.page.evaluate("[menu.lastChild === document.activeElement, "
                                                "canvas.ariaExpanded, %s.ariaExpanded]"
                                                % MENU_BUTTON), [True, "true", "true"])
            self.assertEqual(self.page.evaluate(AXE_RUN), [], "opened by its button, " + language)
            self.close_by_escape("menu-button")
        self.page.click(*self.centre("[data-language=en]"))
        self.assertTrue(self.page.evaluate(
            "fetch(document.querySelector('link[rel=icon]').href).then(r => r.ok)"), "favicon")
        self.assertTrue(self.page.evaluate(
            "document.querySelector('meta[name=description]').content.length > 40"))

    def test_4_shift_f10_opens_at_entry_1_escape_and_tab_close(self):
        self.tab_to_canvas()
        self.assertEqual(self.page.evaluate("canvas.getAttribute('aria-haspopup')"), "menu")
        self.page.key("F10", shift=True)
        self.page.wait_until(MENU_OPEN, 5, "the menu to open")
        self.assertEqual(self.page.evaluate("Array.from(menu.children).indexOf("
                                            "document.activeElement)"), 0, "entry 1 current")
        self.assertFalse(self.page.evaluate("window.contextMenuLeftToBrowser"),
                         "the browser's own menu opened")
        self.page.key("Enter")  # Entry 1: the draw mode it is in.
        self.page.wait_until(MENU_CLOSED, 5, "Enter to choose")
        self.assertEqual(self.page.evaluate(FOCUSED), "canvas")
        self.open_by_keyboard()
        self.close_by_escape()
        self.open_by_keyboard()
        self.page.key("Tab")
        self.page.wait_until(MENU_CLOSED, 5, "Tab to close the menu")
        self.assertEqual(self.page.evaluate(FOCUSED), "menu-button", "Tab went on to the button")
        self.assertEqual(self.page.evaluate(MENU_BUTTON + ".textContent"),
                         "Draw mode 1: spins about its own centre ▾")
        self.page.key("ArrowDown")
        self.page.wait_until(MENU_OPEN + " && menu.firstChild === document.activeElement", 5,
                             "Down on the button to open the menu on entry 1")
        self.close_by_escape("menu-button")
        self.assert_no_chain("Escape or Tab")

    def test_5_mouse_press_move_release_click_and_right_click_choose(self):
        press = self.at_canvas(*MENU_PRESS)
        self.page.mouse("down", *press, button="right")
        self.page.wait_until(MENU_OPEN, 5, "the menu to open on the press")
        self.assertEqual(self.page.rect("#menu")[:2], press, "the menu opens at the pointer")
        self.page.mouse("move", press[0] + 2, press[1] + 2, button="right")
        self.page.mouse("up", press[0] + 2, press[1] + 2, button="right")
        self.assertTrue(self.page.evaluate(MENU_OPEN), "releasing where it opened closed it")
        labels = self.page.evaluate("Array.from(menu.children, item => item.textContent)")
        self.assertEqual(len(labels), MENU_ENTRIES)
        self.assertEqual(labels[SCALE_ENTRY - 1], SCALE_LABEL)
        self.page.key("Escape")

        self.page.mouse("down", *press, button="right")
        self.page.wait_until(MENU_OPEN, 5, "the menu to open on the press")
        entry_2 = self.centre("#menu li:nth-child(2)")
        self.page.mouse("move", *entry_2, button="right")
        self.page.mouse("up", *entry_2, button="right")
        self.assertTrue(self.page.evaluate(MENU_CLOSED), "the menu stayed open after the choice")
        self.check_frame(2, [1.0])
        self.assertIn("draw mode 2", self.page.evaluate("canvas.getAttribute('aria-label')"))

        self.page.click(*self.centre("#menu-button"))
        self.page.wait_until(MENU_OPEN, 5, "a click on the button to open the menu")
        menu, button = self.page.rect("#menu"), self.page.rect("#menu-button")
        self.assertTrue(menu[1] >= button[1] + button[3] or menu[1] + menu[3] <= button[1],
                        "the menu covers its button")
        self.page.click(*self.centre("#menu li:nth-child(3)"))
        self.check_frame(3, [1.0])
        self.check_panel(3)
        self.assertIn("Draw mode 3: revolves", self.page.evaluate(MENU_BUTTON + ".textContent"))

        self.page.click(*press, button="right")
        self.page.click(*self.centre("#menu li:nth-child(7)"), button="right")
        self.assertTrue(self.page.evaluate(MENU_CLOSED), "a right-click on an entry chose nothing")
        self.assertFalse(self.page.evaluate("window.contextMenuLeftToBrowser"),
                         "the browser's own menu opened over the canvas or the menu")
        self.check_frame(1, [1.0])  # Entry 7 passes 1.
        self.assert_no_chain("entries 2, 3 and 7")

    def test_6_a_long_press_opens_the_menu_beside_the_finger_with_items_a_finger_high(self):
        finger = self.at_canvas(*MENU_PRESS)
        self.page.touch("down", *finger)
        self.page.wait_until(MENU_OPEN, 5, "the menu to open beside the finger")
        self.page.touch("up")
        self.page.pump(0.2)
        self.assertTrue(self.page.evaluate(MENU_OPEN), "lifting the finger closed the menu")
        left, top, width, height = self.page.rect("#menu")
        self.assertFalse(left <= finger[0] <= left + width and top <= finger[1] <= top + height,
                         "the menu opened under the finger")
        self.assertGreaterEqual(self.page.rect("#menu li")[3], 44)
        self.close_by_escape()
        self.assert_no_chain("the long press")
        if self.browser == "chromium":
            self.page.set_touch_first(True)
            try:
                self.page.wait_until("/^Touch and hold/.test(help.textContent)", 5,
                                     "the help line for a touch screen")
            finally:
                self.page.set_touch_first(False)
            self.page.wait_until("/^Right-click/.test(help.textContent)", 5,
                                 "the help line for a mouse")

    def test_7_resizing_keeps_the_menu_inside_the_window(self):
        self.page.open_menu(280, 280)
        try:
            for width, height in ((640, 400), (320, 480), (200, 150)):
                self.page.resize(width, height)
                self.page.pump(0.2)
                left, top, menu_width, menu_height = self.page.rect("#menu")
                self.assertTrue(left >= 0 and top >= 0 and left + menu_width <= width
                                and top + menu_height <= height,
                                "the menu left a %dx%d window" % (width, height))
        finally:
            self.page.resize(*DESKTOP)
            self.page.key("Escape")

    def test_8_keyboard_arrows_wrap_then_a_tap_on_a_phone_on_entry_5_traces_the_scale(self):
        self.tab_to_canvas()
        self.open_by_keyboard()
        current = "Array.from(menu.children).indexOf(document.activeElement) + 1"
        for key, entry in (("ArrowUp", MENU_ENTRIES), ("ArrowDown", 1), ("End", MENU_ENTRIES),
                           ("Home", 1), ("ArrowDown", 2), ("ArrowDown", 3), ("ArrowDown", 4),
                           ("ArrowDown", SCALE_ENTRY)):
            self.page.key(key)
            self.assertEqual(self.page.evaluate(current), entry, "after " + key)
        self.close_by_escape()

        # A phone: one column, drawing first, nothing wider than the window, nothing zoomed out,
        # even at 2x: the box takes the width there is.
        self.choose_size("2")
        self.page.resize(360, 640, 2, phone=True)
        self.page.pump(0.3)
        self.assertEqual(self.page.evaluate(
            "[document.documentElement.scrollWidth, visualViewport.scale]"), [360, 1])
        self.assertEqual(self.page.evaluate("canvas.width"), 2 * self.page.rect("#canvas")[2])
        self.choose_size("1")
        tops = [self.page.rect(section)[1] for section in ("#scene", "#frame", "#output")]
        self.assertEqual(tops, sorted(tops), "not drawing, frame panel, console")
        if self.browser == "chromium":
            self.page.set_touch_first(True)
            try:
                self.page.pump(0.2)
                small = self.page.evaluate(
                    "Array.from(document.querySelectorAll('button, select'), e => [e.id || "
                    "e.textContent, e.getBoundingClientRect()]).filter(([, r]) => r.width && "
                    "(r.width < 44 || r.height < 44))")
                self.assertEqual(small, [], "controls smaller than a finger")
            finally:
                self.page.set_touch_first(False)
        self.page.resize(320, 480, 2, phone=True)
        self.page.pump(0.3)
        canvas = self.page.rect("#canvas")
        self.page.touch("down", canvas[0] + 150, canvas[1] + 100)
        self.page.wait_until(MENU_OPEN, 5, "the long press to open the menu")
        self.page.touch("up")
        left, top, width, height = self.page.rect("#menu")
        self.assertTrue(left >= 0 and top >= 0 and left + width <= 320 and top + height <= 480)
        self.assertGreaterEqual(self.page.rect("#menu li")[3], 44)
        self.page.run_script(WATCH_SCALES + WATCH_LIVE_REGIONS)
        self.page.evaluate("menu.children[%d].scrollIntoView()" % (SCALE_ENTRY - 1))
        self.page.touch("down", *self.centre("#menu li:nth-child(%d)" % SCALE_ENTRY))
        self.page.touch("up")
        self.page.wait_until(MENU_CLOSED, 5, "the tap to choose")
        trace = expected("trace")
        lines = self.page.wait_for_lines(len(self.report) + len(trace))
        self.assertEqual(lines[len(self.report):len(self.report) + len(trace)], trace)
        self.page.resize(*DESKTOP)
        self.canvas = self.page.rect("#canvas")
        # The first turn: the trace prints 2.000000 for the float one unit above 2.
        self.page.wait_until("scalesShown.includes('2.0000002 (0x40000001)')", 5,
                             "the panel to show the scale of the first turn exactly")

        # The frame now drawn is scaled by the last traced scale, or by one up to two ticks away
        # when ticks came between the trace and the screenshot, as a busy machine's redraw can lag.
        self.page.pump(0.5)
        traced = next(line[1] for line in (web_page.trace_line(text) for text, _ in
                                           reversed(self.page.lines)) if line and line[2])
        fit = self.check_frame(SCALE_ENTRY, [round(traced + 0.1 * step, 1) for step in range(-2, 3)],
                               settle_s=0)
        self.assertNotIn("scale 1.000000", fit)
        self.assertIn("draw mode 5", self.page.evaluate("canvas.getAttribute('aria-label')"))
        self.assertEqual(self.page.evaluate("liveChanges"), 0, "a live region announced")

    def test_9_under_a_flood_the_pane_keeps_the_report_and_its_bound(self):
        pane = self.page.evaluate(FLOOD)
        self.assertEqual(pane["report"], "".join(line + "\n" for line in self.report))
        newest = pane["newest"].splitlines()
        self.assertEqual(newest[-1], "flood %d" % (FLOOD_LINES - 1))
        self.assertLess(len(newest), FLOOD_LINES / 2, "the pane kept too many lines")
        self.assertGreater(len(newest), 1000, "the pane kept too few lines")
        self.assertEqual(newest, ["flood %d" % i for i in range(FLOOD_LINES - len(newest),
                                                                FLOOD_LINES)])
        self.assertLess(pane["elements"], 100)
        self.assertLess(pane["waiting"], FLOOD_LINES, "lines pile up while no frame comes")

        # Every line reached the console log; the pane says how many it no longer shows.
        last = "flood %d" % (FLOOD_LINES - 1)
        while last not in (text for text, _ in self.page.lines):
            self.page.pump(0.1)
        texts = [text for text, _ in self.page.lines]
        printed = texts.index(last) + 1 - len(self.report)
        self.assertEqual(texts[texts.index(last) - FLOOD_LINES + 1], "flood 0")
        dropped = int(re.match(r"([\d,]+) earlier lines", pane["dropped"]).group(1)
                      .replace(",", ""))
        self.assertEqual(dropped + len(newest), printed)


    def press_hold(self):
        """Enter on the focused button; a click in Firefox, whose window is never the active one
        here, so that its buttons take no key."""
        if self.browser == "firefox":
            self.page.click(*self.centre("#hold"))
        else:
            self.page.key("Enter")

    def test_9b_held_or_out_of_view_the_panes_rest_while_the_program_goes_on(self):
        self.tab_to_canvas()
        for _ in ("menu-button", "pause", "speed", "copy-link", "canvas-size", "console",
                  "hold"):  # Step is off: running.
            self.page.key("Tab")
        self.assertEqual(self.page.evaluate(FOCUSED), "hold", "Tab did not reach Hold")
        self.press_hold()
        self.page.wait_until("hold.getAttribute('aria-pressed') === 'true'", 5, "the hold")
        try:
            held = self.page.evaluate(PANEL)
            self.assertTrue(held["number"].startswith("Held at tick"), held["number"])
            frames_recorded = "sampleDrawingTest.framesRecorded()"
            lines, frames = len(self.page.lines), self.page.evaluate(frames_recorded)
            # Hold's focus may have scrolled the page: the canvas is brought back into view.
            self.page.evaluate("canvas.scrollIntoView({block: 'nearest'})")
            self.canvas = self.page.rect("#canvas")
            canvas = self.page.screenshot(self.canvas)
            self.page.pump(0.5)
            self.assertEqual(self.page.evaluate(PANEL), held, "the held panel changed")
            self.assertGreater(len(self.page.lines), lines, "the console stopped")
            self.assertGreater(self.page.evaluate(frames_recorded), frames, "the program stopped")
            self.assertNotEqual(self.page.screenshot(self.canvas), canvas, "the canvas stopped")
        finally:
            self.press_hold()
        self.page.wait_until("hold.getAttribute('aria-pressed') === 'false'", 5, "the release")
        self.assertNotEqual(self.page.evaluate(PANEL)["number"], held["number"])

        # Out of view, the console and the panel write nothing; seen again, the newest at once.
        newest = "document.getElementById('newest').textContent"
        self.page.evaluate("document.body.style.paddingBottom = '4000px', scrollTo(0, 4000)")
        try:
            self.page.pump(0.3)
            shown = [self.page.evaluate(PANEL), self.page.evaluate(newest)]
            frames = self.page.evaluate(FRAMES)
            tick = int(re.sub(r"\D", "", shown[0]["number"]))
            self.page.evaluate("[0, 1, 2].forEach(i => sampleDrawingTest.print('unseen ' + i))")
            self.page.pump(0.5)
            self.assertEqual([self.page.evaluate(PANEL), self.page.evaluate(newest)], shown)
            self.assertGreater(self.page.evaluate(FRAMES), frames, "the program stopped")
        finally:
            self.page.evaluate("document.body.style.paddingBottom = '', scrollTo(0, 0)")
        self.page.wait_until(newest + ".includes('unseen 0\\nunseen 1\\nunseen 2\\n')", 5,
                             "the console's lines")
        self.page.wait_until("Number(document.getElementById('frame-number').textContent"
                             ".replace(/\\D/g, '')) > %d" % tick, 5, "the newest frame")

    def test_9c_pause_stops_the_program_a_step_is_one_tick_and_half_speed_half_as_fast(self):
        self.page.evaluate("scrollTo(0, 0)")
        self.tab_to_canvas()
        self.page.key("k")
        self.page.wait_until("pause.ariaPressed === 'true' && !step.disabled", 5, "the pause")
        self.page.pump(0.3)
        lines, canvas = len(self.page.lines), self.page.screenshot(self.canvas)
        angle = float(self.page.evaluate(PANEL)["spinAngle"].split()[0])
        self.page.pump(0.5)
        self.assertEqual(len(self.page.lines), lines, "the trace went on")
        self.assertEqual(self.page.screenshot(self.canvas), canvas, "the canvas went on")
        for step in (1, 2, 3):
            frames = self.page.evaluate(FRAMES)
            if step == 1:
                self.page.click(*self.centre("#step"))
            else:
                self.page.evaluate("canvas.focus()")
                self.page.key(".")
            self.page.wait_until(FRAMES + " > %d" % frames, 5, "the step's frame")
            self.page.pump(0.2)
            self.assertEqual(len(self.page.lines), lines + 3 * step, "not one tick's trace")
            shown = float(self.page.evaluate(PANEL)["spinAngle"].split()[0])
            self.assertEqual((shown - angle) % 360, 2 * step, "not 2 degrees a step")
        self.assertIn("Paused at tick", self.page.evaluate(STATUS))
        self.page.evaluate("canvas.focus()")
        self.page.key("k")
        self.page.wait_until("pause.ariaPressed === 'false'", 5, "K to resume")
        rates = []
        for speed in ("1", "2", "1"):
            self.page.evaluate("speed.value = '%s', speed.dispatchEvent(new Event('change'))"
                               % speed)
            lines = len(self.page.lines)
            self.page.pump(2.0)
            rates.append(len(self.page.lines) - lines)
        self.assertTrue(0.3 < rates[1] / rates[0] < 0.7, "ticks at 1x and 1/2x: %s" % rates)

    def tap(self, selector):
        self.page.evaluate("document.querySelector(%r).scrollIntoView({block: 'center'})"
                           % selector)
        self.page.touch("down", *self.centre(selector))
        self.page.touch("up")

    def shown_panel(self):
        """The panel once in view, a few frames on."""
        self.page.evaluate("document.getElementById('matrix').scrollIntoView({block: 'nearest'})")
        self.page.pump(0.2)
        return self.page.evaluate(PANEL)

    def test_9d0_the_learners_calls_by_keyboard_and_touch_exact_and_accessible(self):
        self.tap("#edit-calls")
        self.page.wait_until("!document.getElementById('editor-body').hidden", 5, "the editor")
        self.page.evaluate("document.getElementById('preset').value = '1'")
        self.tap("#use-preset")
        self.assertEqual(self.page.evaluate(EDITOR)["rows"], MODE_1_CALLS)
        calls = MODE_1_CALLS.split(";")

        # Keyboard and touch move, delete and insert; the moved call keeps the focus.
        self.page.evaluate("document.querySelector(%r).focus()" % (ROW % (3, "show")))
        self.page.key("ArrowUp", held=["alt"])
        moved = calls[:1] + calls[2:3] + calls[1:2] + calls[3:]
        self.assertEqual(self.page.evaluate(EDITOR), {
            "rows": ";".join(moved), "row": "2 of 6: glRotatef", "role": "show",
            "news": "glRotatef moved to 2 of 6."})
        self.tap(ROW % (2, "down"))
        self.assertEqual(self.page.evaluate(EDITOR)["rows"], MODE_1_CALLS)
        self.assertEqual(self.page.evaluate(EDITOR)["row"], "3 of 6: glRotatef")
        self.tap(ROW % (4, "delete"))
        self.page.evaluate("document.getElementById('add-kind').value = 'glScalef',"
                           "document.getElementById('add-place').value = '1'")
        self.tap("#add-call")
        edited = calls[:1] + ["glScalef(1,1,1)"] + calls[1:3] + calls[4:]
        self.assertEqual(self.page.evaluate(EDITOR)["rows"], ";".join(edited))
        self.page.key("z", held=["ctrl"])
        self.page.key("z", held=["ctrl"])
        self.assertEqual(self.page.evaluate(EDITOR)["rows"], MODE_1_CALLS, "two undos")
        self.page.key("y", held=["ctrl"])
        self.page.key("z", shift=True, held=["ctrl"])
        self.assertEqual(self.page.evaluate(EDITOR)["rows"], ";".join(edited), "two redos")

        # A bad value keeps the one in force; a good one counts at once, shown as its float.
        field = ROW % (4, "argument0")  # glRotatef's angle.
        for text, invalid, words in (("-", "false", "Not complete"), ("nan", "true", "Not a"),
                                     ("1e39", "true", "Beyond"), ("", "true", "Empty"),
                                     ("90.0", "false", "")):
            said = self.page.evaluate(TYPE % (text, field))
            self.assertEqual(said[0], invalid, text)
            self.assertTrue(said[1].startswith(words), said)
            panel = self.shown_panel()
            angle = "90" if text == "90.0" else panel["spinAngle"].split()[0]
            self.assertEqual(panel["calls"][3], "glRotatef(%s, 0, 0, 1)" % angle, text)
        if self.browser == "chromium":  # Firefox's window, never active here, has no blur.
            self.page.key("Tab")
            self.assertEqual(self.page.evaluate("document.querySelector(%r).value" % field), "90")

        # Stepping through the calls: the chosen call's matrix, exact, in the panel.
        self.page.evaluate("document.querySelector(%r).focus()" % (ROW % (1, "show")))
        self.page.key(" ")
        for _ in range(3):
            self.page.key("ArrowDown")
        panel = self.shown_panel()
        self.assertEqual(self.page.evaluate("document.getElementById('matrix-of').textContent"),
                         "After call 4: glRotatef(90, 0, 0, 1)")
        self.assertEqual(panel["matrix"][0][0], "6.123234e-17", "a quarter turn's cosine")

        with open(AXE) as source:
            self.page.run_script(source.read())
        for language in ("ko", "en"):
            self.tap("[data-language=%s]" % language)
            self.assertEqual(self.page.evaluate(AXE_RUN), [], "editor open, " + language)

        if self.browser == "chromium":  # A phone: nothing wider than it, controls a finger wide.
            self.page.resize(360, 640, 2, phone=True)
            self.page.set_touch_first(True)
            try:
                self.page.pump(0.3)
                self.assertEqual(self.page.evaluate("document.documentElement.scrollWidth"), 360)
                self.assertGreaterEqual(min(self.page.rect(ROW % (2, role))[3]
                                            for role in ("up", "argument0", "delete")), 44)
            finally:
                self.page.set_touch_first(False)
                self.page.resize(*DESKTOP)
        while self.page.evaluate("document.querySelectorAll('#call-list > li').length") < 16:
            self.tap("#add-call")
        self.assertEqual(self.page.evaluate("[document.getElementById('add-call').ariaDisabled,"
                                            " document.getElementById('calls-limit').hidden]"),
                         ["true", False])
        self.page.evaluate("document.getElementById('edit-calls').scrollIntoView()")
        self.page.click(*self.centre("#edit-calls"))
        self.shown_panel()
        self.page.wait_until("document.getElementById('matrix-of').hidden", 5, "the mode's own")
        self.page.evaluate("scrollTo(0, 0)")

    def test_9d_the_address_replays_a_paused_run_and_a_bad_one_gets_a_fresh_run(self):
        def reload(script, then="; location.reload()"):
            """A script, then a reload; a changed hash reloads the page by itself."""
            self.page.lines.clear()
            self.page.run_script(script + then)
            self.page.wait_for_lines(len(self.report), 60)
            self.page.wait_until(FRAMES + " > 0", 10, "a frame")

        def shown():
            self.page.pump(0.6)  # The pane, the panel and the address follow.
            panel = self.page.evaluate(PANEL)
            self.assertEqual(panel.pop("number")[len("Tick "):],
                             self.page.evaluate(STATUS).split(",")[0][len("Paused at tick "):])
            return (panel, self.page.evaluate("[location.hash, newest.textContent, %s]" % STATUS),
                    self.page.screenshot(self.page.rect("#canvas")))

        def choose_scale():
            self.page.click(*self.at_canvas(*MENU_PRESS), button="right")
            self.page.click(*self.centre("#menu li:nth-child(%d)" % SCALE_ENTRY))

        reload("history.replaceState(null, '', location.pathname), "
               "localStorage.setItem('sample-drawing.size', '3')")  # Not offered: 1x.
        self.assertEqual(self.page.evaluate(SIZE), ["1", CANVAS_PX])
        for wait_s in (0.4, 0.7):  # Two animations, started at different ticks.
            self.page.pump(wait_s)
            choose_scale()
        self.page.pump(0.5)
        self.page.click(*self.centre("#pause"))
        for _ in range(2):
            self.page.click(*self.centre("#step"))
        run = shown()
        self.assertRegex(run[1][0], r"^#run=5@(\d+),5@(?!\1\D)\d+&pause=\d+$")
        self.assertEqual(run[1][2][len("Paused at tick "):].split(",")[0], run[1][0].split("=")[-1])
        reload("")
        self.assertEqual(shown(), run)
        self.assertEqual(len(self.page.lines), len(self.report), "a replay went on")

        reload("location.hash = '#run=5@0&pause=3000'", then="")
        self.page.pump(0.6)
        self.assertEqual(self.page.evaluate(PANEL)["number"], "Tick 3,000")
        self.assertIn("of the run replayed", self.page.evaluate("dropped.textContent"))
        self.page.click(*self.centre("[data-language=ko]"))
        notes = self.page.evaluate("[dropped.textContent, document.querySelector("
                                   "'[data-text=floatsNote]').textContent]")
        self.page.click(*self.centre("[data-language=en]"))
        self.assertIn("재현", notes[0])
        self.assertNotIn("모든 줄", notes[0])
        self.assertIn("일곱째 자리에서 반올림", notes[1])

        message = "document.getElementById('link-message').textContent"
        reload("location.hash = '#run=5@10,6@9'", then="")
        self.assertIn("goes back in time, from tick 10 to tick 9", self.page.evaluate(message))
        self.page.wait_until("location.hash === '' && /^Tick/.test(%s)" % STATUS, 5, "a fresh run")
        reload("location.hash = '#run=3@0&pause=20'", then="")  # Followed in the same tab.
        self.page.wait_until("/^Paused at tick 20,/.test(%s)" % STATUS, 5, "the link's tick")
        self.assertEqual((self.page.evaluate(PANEL)["drawMode"], self.page.evaluate(message)),
                         ("3", ""))
        rotate_first = "glLoadIdentity();glRotatef(30,0,0,1);glTranslatef(0.6,0,0);glutSolidCube(0.3)"
        reload("location.hash = '#calls=%s&run=3@0'" % rotate_first, then="")
        self.page.wait_until("document.getElementById('edit-calls').ariaPressed === 'true'", 5)
        self.assertEqual(self.page.evaluate(EDITOR)["rows"], rotate_first)
        self.page.wait_until("location.hash.startsWith('#calls=')", 5, "the list in the address")
        reload("location.hash = '#calls=glLoadIdentity();glFoo(1)'", then="")
        self.assertEqual(self.page.evaluate("document.getElementById('edit-calls').ariaPressed"),
                         "false")
        reload("location.hash = '#run=' + '5@0,'.repeat(494) + '5@0'", then="")
        self.assertIn("starts 495 animations: a link starts at most 10",
                      self.page.evaluate(message))
        self.assert_no_chain("a refused link")

        choose_scale()
        self.page.pump(0.5)
        self.page.run_script("if (navigator.clipboard) navigator.clipboard.writeText = "
                             "() => Promise.reject(new Error('refused'))")
        self.page.click(*self.centre("#copy-link"))
        self.page.wait_until("document.getElementById('copy-news').textContent !== ''", 5)
        link = self.page.evaluate("document.getElementById('copy-field').value")
        tick = re.fullmatch(r".*#run=5@\d+&pause=(\d+)", link).group(1)
        self.assertEqual(self.page.evaluate(message), "", "a choice clears the link's message")
        reload("location.href = %r" % link, then="")
        self.page.wait_until("/^Paused at tick %s,/.test(%s)" % (tick, STATUS), 5, "the copy's tick")

        self.choose_size("2")
        reload("")
        self.assertEqual(self.page.evaluate(SIZE), ["2", 600], "the size is not remembered")
        self.choose_size("1")
        reload("history.replaceState(null, '', location.pathname)")  # A fresh run for the next.

    def test_9da_the_learners_calls_in_a_link_place_the_cube_as_gl_holds_it(self):
        def load(hash):
            self.page.lines.clear()
            self.page.run_script("location.hash = %r" % hash)
            self.page.wait_for_lines(len(self.report), 60)
            self.page.wait_until(FRAMES + " > 0", 10, "a frame")
            self.page.pump(0.3)
            return self.page.evaluate("sampleDrawingTest.calls()")

        def red_at(ppm, x, y):
            """Whether the canvas's pixel at (x, y) in view units is red."""
            width = int(ppm.split()[1])
            column, row = round((x + 1) * width / 2), round((1 - y) * width / 2)
            start = len(ppm) - 3 * width * width + 3 * (row * width + column)
            r, g, b = ppm[start:start + 3]
            return r > 200 and g < 60 and b < 60

        # Turn, then move: the cube's centre turned with it; move, then turn: turned in place.
        turned = (0.6 * math.cos(math.radians(30)), 0.6 * math.sin(math.radians(30)))
        in_place = (0.6, 0.06)  # Off the red x axis, inside the cube.
        for middle, centre, empty in (("glRotatef(30,0,0,1);glTranslatef(0.6,0,0)", turned,
                                       in_place),
                                      ("glTranslatef(0.6,0,0);glRotatef(30,0,0,1)", in_place,
                                       turned)):
            calls = load("#calls=glLoadIdentity();%s;glutSolidCube(0.3)&pause=0" % middle)
            self.assertEqual([call["text"] for call in calls][1:3], middle.split(";"))
            ppm = web_page.png_to_ppm(self.page.screenshot(self.canvas))
            self.assertEqual((red_at(ppm, *centre), red_at(ppm, *empty)), (True, False), middle)

        # The mode's own calls give the matrix its record shows, bit for bit; a quarter turn's
        # cosine is the small float GL holds (its cosine of pi/2 in double, rounded), never 0.
        mode_panel = (load("#run=4@0&pause=20"), self.page.evaluate(PANEL)["matrix"])[1]
        calls = load("#calls=%s&run=4@0&pause=20" % expected("mode-calls", "4")[0])
        self.assertEqual(self.page.evaluate(PANEL)["matrix"], mode_panel)
        self.assertEqual([float32(float(cell)) for row in mode_panel for cell in row],
                         [calls[-1]["matrix"][4 * c + r] for r in range(4) for c in range(4)])
        calls = load("#calls=glPopMatrix();glPushMatrix();glRotatef(90,0,0,1);glutSolidCube(0.3)")
        self.assertEqual([(c["depth"], c["mark"]) for c in calls],
                         [(0, "unmatched"), (1, "open"), (1, ""), (1, "")])
        quarter = float32(math.cos(math.pi / 2))
        self.assertEqual((calls[2]["matrix"][0], float32(float(self.page.evaluate(PANEL)["matrix"][0][0]))),
                         (quarter, quarter))

        # Bound to the scene's variables, the calls follow a replayed run to its paused tick.
        link = ("#calls=glScalef(scaleFactor,scaleFactor,1);glRotatef(spinAngle,0,0,1);"
                "glutSolidCube(0.3)&run=5@0&pause=10&speed=4")
        calls = load(link.replace("(0.3)", "(.3e0)"))
        self.assertEqual(self.page.evaluate("location.hash"), link, "the address written back")
        panel = self.page.evaluate(PANEL)
        self.assertEqual((calls[0]["args"][0], calls[1]["args"][0]),
                         tuple(float32(float(panel[k].split()[0])) for k in ("scaleFactor", "spinAngle")))
        self.assertEqual(calls[0]["text"], "glScalef(scaleFactor,scaleFactor,1)")

        message = "document.getElementById('link-message').textContent"
        for bad, words in (("glTranslate(1,0,0)", "Call 1 in this address's calls is not one"),
                           ("glLoadIdentity();glRotatef(30,0,0)", "Call 2 in this address's "
                            "calls has 3 arguments; it takes 4."),
                           ("glScalef(1,1e39,1)", "Argument 2 of call 1"),
                           (";".join(["glPushMatrix()"] * 17), "holds 17 calls: a list holds at "
                            "most 16"),
                           ("glScalef(1,1,1);" * 200, "characters long"),
                           ("glScalef(<b>1</b>,1,1)", "does not hold a run")):
            self.assertIsNone(load("#calls=" + bad + "&run=3@0"), bad[:40])
            self.assertIn(words, self.page.evaluate(message))
            self.assertEqual(self.page.evaluate("document.querySelectorAll('#link-message *')"
                                                ".length"), 0, "markup shown")
        self.page.wait_until("/^Tick/.test(%s)" % STATUS, 5, "the program running")

    def test_9e_lost_graphics_are_said_in_words_and_their_return_offers_to_start_again(self):
        self.page.evaluate("(window.loss = (canvas.getContext('webgl') || canvas.getContext("
                           "'webgl2')).getExtension('WEBGL_lose_context')).loseContext()")
        self.page.wait_until("canvas.hidden && /graphics/.test(failure.textContent)", 2, "words")
        self.page.pump(0.5)  # The scale's timers tick on the lost context: a throw fails here.
        self.page.click(*self.centre("#pause"))
        self.page.wait_until("/^Paused/.test(%s)" % STATUS, 5, "Pause without graphics")
        self.page.click(*self.centre("#pause"))
        self.page.evaluate("loss.restoreContext()")
        self.page.wait_until("!document.getElementById('start-again').hidden", 5, "start again")


class ChromiumPageTest(PageTests, unittest.TestCase):
    browser = "chromium"


class FirefoxPageTest(PageTests, unittest.TestCase):
    browser = "firefox"


class FailureTest(unittest.TestCase):
    def test_without_webgl_the_page_says_so_in_place_of_the_canvas_and_throws_nothing(self):
        no_webgl = "HTMLCanvasElement.prototype.getContext = function () { return null; };"
        with web_page.ChromiumPage(PAGE_DIR, init_script=no_webgl, lifetime_s=60) as page:
            page.wait_until("document.readyState === 'complete'")
            page.pump(1.0)  # A program started regardless would throw by now.
            shown = page.evaluate("[canvas.hidden, document.getElementById('failure').innerText,"
                                  " document.getElementById('output').hidden]")
            self.assertEqual(shown[0], True)
            self.assertIn("WebGL", shown[1])
            self.assertEqual(shown[2], True, "an empty console shown")

    def test_served_to_a_browser_asking_for_korean_korean_until_english_is_chosen(self):
        with web_page.ChromiumPage(PAGE_DIR, lifetime_s=60) as page:
            page.call("Network.setUserAgentOverride", userAgent=page.evaluate(
                "navigator.userAgent"), acceptLanguage="ko-KR,ko;q=0.9,en;q=0.5")
            for want in ("ko", "en", "en"):
                page.call("Page.navigate", url=page.url)
                page.wait_until("document.readyState === 'complete' && "
                                "document.documentElement.lang === '%s'" % want)
                heading = page.evaluate("document.getElementById('console-title').textContent")
                self.assertEqual(bool(HANGUL.search(heading)), want == "ko", heading)
                page.click(*(lambda r: (r[0] + 4, r[1] + 4))(page.rect("[data-language=en]")))

    def test_without_webassembly_the_page_says_so_and_no_key_or_click_throws(self):
        refused = "WebAssembly.instantiate = () => Promise.reject(new Error('refused here'));"
        with web_page.ChromiumPage(PAGE_DIR, init_script=refused, lifetime_s=60) as page:
            page.wait_until("document.readyState === 'complete' && "
                            "!document.getElementById('failure').hidden", 10, "the failure")
            self.assertIn("could not be started",
                          page.evaluate("document.getElementById('failure').textContent"))
            page.key("F10", shift=True)
            page.click(150, 150, "right")
            page.pump(0.5)

    def test_without_javascript_the_page_says_what_it_is_and_needs(self):
        with web_page.ChromiumPage(PAGE_DIR, lifetime_s=60) as page:
            page.call("Emulation.setScriptExecutionDisabled", value=True)
            page.call("Page.navigate", url=page.url)
            page.wait_until("document.readyState === 'complete' && typeof Module === 'undefined'")
            text = page.evaluate("document.querySelector('main').innerText")
            self.assertIn("JavaScript", text)
            self.assertIn("WebGL", text)
            self.assertNotIn("Right-click", text)


if __name__ == "__main__":
    if len(sys.argv) < 3 or not set(sys.argv[3:]) <= set(BROWSERS):
        sys.exit(__doc__)
    PAGE_DIR, CHECK = sys.argv[1], os.path.abspath(sys.argv[2])
    BROWSERS = sys.argv[3:] or BROWSERS
    if "firefox" not in BROWSERS:
        del FirefoxPageTest
    if "chromium" not in BROWSERS:
        del ChromiumPageTest, FailureTest
    unittest.main(argv=sys.argv[:1], verbosity=2)
