"""web_page_random_test.py: minutes of random input on the page opened from the disk: clicks,
right clicks, keys (K and . too), long presses, taps, the menu button, resizes, pixel ratios,
languages, and the learner's calls edited, moved, undone and given bad values. Nothing may throw,
the open menu keeps the focus, the pane and the calls stay bounded, and the trace of the one
scale animation chosen first is exact: entries 5 and 6 are never chosen at random.
Not part of scripts/test-web.sh, as it runs for minutes:
  timeout 900 /usr/bin/python3 tests/web_page_random_test.py build/web \\
      build/release/tests/web_page_check [--seconds 180] [--seed N] [--browser chromium|firefox]
A failure prints the seed and the actions before it; the same seed repeats the same actions.
"""

import argparse
import os
import random
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
import web_page  # noqa: E402
from web_page_test import MENU_OPEN, expected  # noqa: E402
import web_page_test  # noqa: E402
from program_facts import SCALE_ENTRY  # noqa: E402

NOTE_ERRORS = """
window.pageErrors = [];
var logError = console.error.bind(console);
console.error = function () {
  pageErrors.push(Array.from(arguments).join(" "));
  logError.apply(null, arguments);
};
"""
# What must hold between any two actions.
INVARIANTS = """
[pageErrors.slice(0, 3),
 !(%s) || document.getElementById("menu").contains(document.activeElement),
 document.getElementById("console").querySelectorAll("*").length < 100 &&
     document.getElementById("call-list").children.length <= 16]
""" % MENU_OPEN
# The editor's controls, one picked at random: [how many, the picked one's selector].
EDITOR_CONTROL = """
(function (pick) {
  var all = Array.from(document.querySelectorAll(
      "#editor-body button, #editor-body select, #editor-body input, #edit-calls"));
  var one = all[Math.floor(pick * all.length)];
  one.id = one.id || "random-pick";
  document.querySelectorAll("#random-pick").forEach(e => e !== one && e.removeAttribute("id"));
  return "#" + one.id;
})(%f)
"""
VALUES = ["-", "0.", "1e", "nan", "inf", "1e39", "", "<b>1</b>", "spinAngle", "scaleFactor",
          "0.5", "-2.5e-3", "90", "3.4028235e38"]
# The entry the keyboard or a pointer at (x, y) would choose, counted from 1; 0 for none.
ENTRY_AT = """
(function (x, y) {
  var items = Array.from(document.getElementById("menu").children);
  var at = items.indexOf(document.activeElement);
  var under = document.elementFromPoint(x, y);
  return [at + 1, items.indexOf(under && under.closest("li")) + 1];
})(%f, %f)
"""
KEYS = ["Tab", "Enter", "Escape", " ", "End", "Home", "ArrowUp", "ArrowDown", "F10", "k", "."]
SIZES = [(1000, 560), (360, 640), (320, 480), (768, 1024), (640, 400)]
RATIOS = [1, 1.5, 2, 3]
UNCHOSEN = (SCALE_ENTRY, SCALE_ENTRY + 1)


def centre(page, selector):
    page.evaluate("document.querySelector(%r).scrollIntoView({block: 'nearest'})" % selector)
    left, top, width, height = page.rect(selector)
    return left + width / 2, top + height / 2


def act(page, rng, size):
    """One random action; returns what it did, for the record."""
    width, height = size
    x, y = rng.uniform(0, width - 1), rng.uniform(0, height - 1)
    kind = rng.choice(["click", "right", "key", "key", "touch", "resize", "language", "button",
                       "edit", "edit"])
    focused, under = page.evaluate(ENTRY_AT % (x, y))
    if kind == "click" or kind == "right":
        if under in UNCHOSEN:
            return "skipped a click on entry %d" % under
        page.click(x, y, "left" if kind == "click" else "right")
    elif kind == "key":
        name = rng.choice(KEYS)
        if name in ("Enter", " ") and focused in UNCHOSEN:
            return "skipped %r on entry %d" % (name, focused)
        page.key(name, shift=name == "F10")
    elif kind == "touch":
        if under in UNCHOSEN:
            return "skipped a tap on entry %d" % under
        page.touch("down", x, y)
        page.pump(rng.choice([0.05, 0.7]))  # A tap, or a long press.
        page.touch("up")
    elif kind == "resize":
        size[:] = rng.choice(SIZES)
        ratio = rng.choice(RATIOS)
        page.resize(size[0], size[1], ratio, phone=size[0] < 500)
        return "resize to %dx%d at %g" % (size[0], size[1], ratio)
    elif kind == "button":
        page.click(*centre(page, "#menu-button"))
    elif kind == "edit":
        if page.evaluate(MENU_OPEN):  # Its focused entry could be 5 or 6.
            return "skipped an edit with the menu open"
        selector = page.evaluate(EDITOR_CONTROL % rng.random())
        if page.evaluate("document.querySelector(%r).type === 'text'" % selector):
            value = rng.choice(VALUES)
            page.evaluate(web_page_test.TYPE % (value, selector))
            return "typed %r into %s" % (value, selector)
        page.evaluate("document.querySelector(%r).focus()" % selector)
        name, held = rng.choice([("Enter", ()), (" ", ()), ("ArrowUp", ["alt"]),
                                 ("ArrowDown", ["alt"]), ("z", ["ctrl"]), ("y", ["ctrl"]),
                                 ("ArrowDown", ())])
        page.key(name, held=held)
        return "%r %s on %s" % (name, "+".join(held), selector)
    else:
        page.click(*centre(page, "[data-language=%s]" % rng.choice(["en", "ko"])))
    return "%s at (%.0f, %.0f)" % (kind, x, y)


def main():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("page_dir")
    parser.add_argument("check")
    parser.add_argument("--seconds", type=float, default=180)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    parser.add_argument("--browser", choices=web_page.BROWSERS, default="chromium")
    args = parser.parse_args()
    web_page_test.CHECK = os.path.abspath(args.check)
    rng = random.Random(args.seed)
    report, trace = expected("report"), expected("trace")
    done = []
    with web_page.open_page(args.browser, os.path.join(args.page_dir, "sample-drawing.html"),
                            init_script=NOTE_ERRORS, lifetime_s=args.seconds + 120) as page:
        try:
            page.wait_for_lines(len(report), 60)
            page.open_menu()
            page.click(*centre(page, "#menu li:nth-child(%d)" % SCALE_ENTRY))
            page.click(*centre(page, "#edit-calls"))
            size = [1000, 560]
            deadline = time.monotonic() + args.seconds
            while time.monotonic() < deadline:
                done.append(act(page, rng, size))
                page.pump(rng.uniform(0.02, 0.3))
                errors, focus_kept, bounded = page.evaluate(INVARIANTS)
                if errors or not focus_kept or not bounded:
                    raise web_page.PageError("errors %s, focus in the open menu %s, pane bounded %s"
                                             % (errors, focus_kept, bounded))
            # K may have left the program paused; the trace goes on from where it stopped.
            page.evaluate("pause.ariaPressed === 'true' && pause.click()")
            lines = page.wait_for_lines(len(report) + len(trace), 60)
            if lines[len(report):len(report) + len(trace)] != trace:
                raise web_page.PageError("the trace is not the one animation's")
        except BaseException:
            print("seed %d; the last actions:\n  %s" % (args.seed, "\n  ".join(done[-10:])),
                  file=sys.stderr)
            raise
    print("%d random actions in %g s on %s, seed %d: no error, the menu kept the focus, the "
          "pane bounded, the trace exact" % (len(done), args.seconds, args.browser, args.seed))


if __name__ == "__main__":
    main()
