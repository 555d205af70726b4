"""web_picture.py: the browser build's pictures, taken from the real page in a headless Chromium:
docs/web.png, its menu open over the canvas with entry 5 under the pointer; docs/web-frame.png,
its frame panel held on the first turn of the scale animation; docs/web-korean.png, the same in
Korean; docs/web-phone.png, the page on a 360-pixel phone; docs/web-dpr2.png, the drawing on
a screen of two device pixels to the CSS pixel; docs/web-paused.png, the page opened from a
link to a run paused at the first turn; and docs/web-editor.png, the learner's calls (rotate,
then translate) with the translation's frame drawn, then, if asked, the same on a phone and in
Korean. Run by scripts/make-web-picture.sh.

Usage: /usr/bin/python3 scripts/lib/web_picture.py PAGE_DIR MENU.png FRAME.png KOREAN.png
           PHONE.png DPR2.png PAUSED.png EDITOR.png [EDITOR-PHONE.png EDITOR-KOREAN.png]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "support"))
import web_page  # noqa: E402
from program_facts import REPORT_LINES  # noqa: E402

# The viewport, and where on the canvas the menu is opened: below the cube, so the axes and the
# cube stay in sight, and at its right edge, so the help line does too.
WIDTH, HEIGHT = 860, 540
MENU_PRESS = (296, 185)
SHOWN_ENTRY = 5
FRAME_HEIGHT = 880
# The scale at the animation's first turn: 2.000000 on the console.
TURN_SCALE = "2.0000002 (0x40000001)"
KOREAN_HEIGHT = 960  # Korean notes and the help line run longer.
PHONE_WIDTH, PHONE_HEIGHT = 360, 720
# Entry 5 at start-up; ten ticks on, the scale reaches 2.0.
PAUSED_RUN = "#run=5@0&pause=10"
# Rotate, then translate, paused at the start; the translation's frame shown.
EDITOR_LINK = ("#calls=glLoadIdentity();glRotatef(30,0,0,1);glTranslatef(0.6,0,0);"
               "glutSolidCube(0.3)&run=1@0&pause=0")
EDITOR_HEIGHT = 900


def editor_pictures(page, outputs):
    page.resize(WIDTH, EDITOR_HEIGHT)
    page.run_script("location.hash = '%s'" % EDITOR_LINK)
    page.pump(1.0)
    page.wait_until("document.readyState === 'complete' && document.getElementById("
                    "'edit-calls').ariaPressed === 'true'", 10, "the learner's calls")
    page.evaluate("document.querySelector('#call-list > li:nth-child(3) [data-role=show]')"
                  ".click()")
    for output, language, size in zip(outputs, ("en", "en", "ko"),
                                      ((WIDTH, EDITOR_HEIGHT, 1, False),
                                       (PHONE_WIDTH, PHONE_HEIGHT, 1, True),
                                       (WIDTH, EDITOR_HEIGHT, 1, False))):
        page.evaluate("document.querySelector('[data-language=%s]').click()" % language)
        page.resize(*size)
        page.set_touch_first(size[3])
        page.pump(0.3)
        height = page.evaluate("document.documentElement.scrollHeight")
        page.resize(size[0], height, 1, size[3])  # The whole page, the editor at its foot.
        page.pump(0.3)
        with open(output, "wb") as picture:
            picture.write(page.screenshot((0, 0, size[0], height)))


def main():
    page_dir, output, frame_output, korean_output, phone_output, dense_output, paused_output = \
        sys.argv[1:8]
    with web_page.ChromiumPage(page_dir, width=WIDTH, height=HEIGHT, lifetime_s=60) as page:
        page.wait_for_lines(REPORT_LINES)
        page.pump(1.0)  # Ten rotation ticks: the cube has turned a little.
        page.open_menu(*MENU_PRESS)
        entry = page.rect("#menu li:nth-child(%d)" % SHOWN_ENTRY)
        page.call("Input.dispatchMouseEvent", type="mouseMoved",
                  x=entry[0] + 40, y=entry[1] + entry[3] / 2)
        page.pump(0.2)
        with open(output, "wb") as picture:
            picture.write(page.screenshot())

        # Entry 5 chosen, then the panel held on the first frame drawn at the turn.
        page.resize(WIDTH, FRAME_HEIGHT)
        page.click(entry[0] + 40, entry[1] + entry[3] / 2)
        hold = page.rect("#hold")
        page.wait_until("document.getElementById('scale-factor').textContent === '%s'"
                        % TURN_SCALE, 5, "the first turn")
        page.click(hold[0] + hold[2] / 2, hold[1] + hold[3] / 2)
        with open(frame_output, "wb") as picture:
            picture.write(page.screenshot())

        # The same, held, in Korean; then in English on a phone, and the drawing at ratio 2.
        for language, shot, size in (("ko", korean_output, (WIDTH, KOREAN_HEIGHT, 1, False)),
                                     ("en", phone_output, (PHONE_WIDTH, PHONE_HEIGHT, 1, True))):
            button = page.rect("[data-language=%s]" % language)
            page.click(button[0] + button[2] / 2, button[1] + button[3] / 2)
            page.resize(*size)
            page.set_touch_first(size[3])  # A phone's help line is for its finger.
            page.pump(0.3)
            with open(shot, "wb") as picture:
                picture.write(page.screenshot())
        page.resize(WIDTH, HEIGHT, 2)
        page.wait_until("canvas.width === 600", 5, "the buffer at ratio 2")
        page.pump(0.3)
        with open(dense_output, "wb") as picture:
            picture.write(page.screenshot(page.rect("#canvas")))

        # The link to the run paused at the first turn, opened.
        page.resize(WIDTH, FRAME_HEIGHT)
        page.set_touch_first(False)
        page.run_script("location.hash = '%s'" % PAUSED_RUN)  # The page reloads on it.
        page.pump(1.0)
        page.wait_until("document.readyState === 'complete' && /^Paused at tick 10,/.test("
                        "document.getElementById('clock-status').textContent) && "
                        "document.getElementById('scale-factor').textContent === '%s'"
                        % TURN_SCALE, 10, "the replayed turn")
        page.pump(0.3)
        with open(paused_output, "wb") as picture:
            picture.write(page.screenshot())
        editor_pictures(page, sys.argv[8:])


if __name__ == "__main__":
    if len(sys.argv) not in (9, 11):
        sys.exit(__doc__)
    main()
