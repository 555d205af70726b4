"""web_bench.py: figures of the browser build, run by scripts/bench-web.sh: the size of the page,
the time from navigation to the first frame and to the end of the report, and the pace of the
scale ticks from the console lines' timestamps; or, with --soak, one page left running with
entry 5 chosen --chains times, minute by minute. Reports; asserts nothing about timing.

Usage: /usr/bin/python3 scripts/lib/web_bench.py PAGE_DIR [--runs N] [--seconds S]
       /usr/bin/python3 scripts/lib/web_bench.py PAGE_DIR --soak MINUTES [--chains N]
"""

import argparse
import gzip
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "support"))
import web_page  # noqa: E402
from program_facts import REPORT_LINES, SCALE_ENTRY  # noqa: E402

# Notes when the first frame is drawn: the first draw call into the page's WebGL context.
NOTE_FIRST_DRAW = """
[window.WebGLRenderingContext, window.WebGL2RenderingContext].forEach(function (kind) {
  if (!kind) return;
  ["drawArrays", "drawElements"].forEach(function (name) {
    var draw = kind.prototype[name];
    kind.prototype[name] = function () {
      if (!window.firstDrawAtMs) window.firstDrawAtMs = performance.timeOrigin + performance.now();
      return draw.apply(this, arguments);
    };
  });
});
"""


# Notes the time between animation frames, emptied by each reading.
NOTE_FRAMES = """
window.frameGapsMs = [];
(function () {
  var last = 0;
  function Frame(now) {
    if (last) window.frameGapsMs.push(now - last);
    last = now;
    requestAnimationFrame(Frame);
  }
  requestAnimationFrame(Frame);
})();
"""
TAKE_FRAME_GAPS = """
(function () {
  var gaps = window.frameGapsMs.sort(function (a, b) { return a - b; });
  window.frameGapsMs = [];
  var sum = gaps.reduce(function (a, b) { return a + b; }, 0);
  return [gaps.length, sum / gaps.length, gaps[Math.floor(0.95 * (gaps.length - 1))]];
})()
"""
PANE_LINES = """
Array.from(document.querySelectorAll('#console pre'),
           pre => pre.textContent.split('\\n').length - 1).reduce((a, b) => a + b, 0)
"""


def sizes(page_dir):
    """The one file, whole and gzipped (index.html is the same page)."""
    with open(os.path.join(page_dir, "sample-drawing.html"), "rb") as f:
        data = f.read()
    return [("sample-drawing.html", len(data), len(gzip.compress(data, 9)))]


def tick_times(lines):
    """The console timestamp of each scale tick: its first line, the one without a trailing
    1 to 4."""
    return [stamp for text, stamp in lines
            if (line := web_page.trace_line(text)) and line[2] == 0]


def choose_entry(page, entry):
    page.open_menu()
    box = page.rect("#menu li:nth-child(%d)" % entry)
    page.click(box[0] + box[2] / 2, box[1] + box[3] / 2)


def browser_memory_mb(page):
    """The proportional set size of all the browser's processes together, in MB."""
    total_kb = 0
    for pid in page.browser_pids():
        try:
            with open("/proc/%d/smaps_rollup" % pid) as rollup:
                total_kb += next(int(line.split()[1]) for line in rollup
                                 if line.startswith("Pss:"))
        except (OSError, StopIteration):
            continue
    return total_kb / 1024.0


def soak(page_dir, minutes, chains):
    """One page, entry 5 chosen `chains` times, measured minute by minute."""
    print("Soak: entry 5 chosen %d times, %d minutes; each row is one minute." % (chains, minutes))
    print("Ticks: scale ticks of all chains together (each chain ticks 600 times a minute at")
    print("100 ms). Frames: the gaps between animation frames. Memory: the proportional set size")
    print("of all Chromium's processes, and the page's JS heap and DOM nodes, at the minute's end.")
    print()
    print("| Minute | Ticks | Frame gap mean, ms | 95th pct, ms | Browser MB | JS heap MB "
          "| DOM nodes | Pane lines | Load (1 min) |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    with web_page.ChromiumPage(page_dir, init_script=NOTE_FRAMES,
                               lifetime_s=minutes * 60 + 120) as page:
        page.call("Performance.enable")
        page.wait_for_lines(REPORT_LINES)
        for _ in range(chains):
            choose_entry(page, SCALE_ENTRY)
        page.evaluate(TAKE_FRAME_GAPS)
        del page.lines[:]
        for minute in range(1, minutes + 1):
            page.pump(60.0)
            ticks = len(tick_times(page.lines))
            del page.lines[:]
            frames, gap_mean, gap_95 = page.evaluate(TAKE_FRAME_GAPS)
            metrics = {m["name"]: m["value"]
                       for m in page.call("Performance.getMetrics")["metrics"]}
            print("| %d | %d | %.1f | %.1f | %.0f | %.1f | %d | %d | %s |"
                  % (minute, ticks, gap_mean, gap_95, browser_memory_mb(page),
                     metrics["JSHeapUsedSize"] / 1e6, metrics["Nodes"],
                     page.evaluate(PANE_LINES), open("/proc/loadavg").read().split()[0]),
                  flush=True)
            print("minute %d of %d, %d frames" % (minute, minutes, frames), file=sys.stderr)


def run_once(page_dir, seconds):
    with web_page.ChromiumPage(page_dir, init_script=NOTE_FIRST_DRAW,
                               lifetime_s=seconds + 60) as page:
        page.wait_for_lines(REPORT_LINES)
        page.wait_until("window.firstDrawAtMs > 0", 20, "the first frame")
        origin = page.evaluate("performance.timeOrigin")
        first_frame = page.evaluate("window.firstDrawAtMs") - origin
        report_done = page.lines[REPORT_LINES - 1][1] - origin

        choose_entry(page, SCALE_ENTRY)
        page.pump(seconds)
        ticks = tick_times(page.lines[REPORT_LINES:])
    return first_frame, report_done, [b - a for a, b in zip(ticks, ticks[1:])]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page_dir")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--soak", type=int, metavar="MINUTES")
    parser.add_argument("--chains", type=int, default=3)
    args = parser.parse_args()
    if args.soak:
        soak(args.page_dir, args.soak, args.chains)
        return

    print("| File | Bytes | gzip -9 |")
    print("|---|---:|---:|")
    for name, raw, packed in sizes(args.page_dir):
        print("| %s | %d | %d |" % (name, raw, packed))
    print()

    first_frames, reports, intervals = [], [], []
    for run in range(args.runs):
        print("run %d of %d ..." % (run + 1, args.runs), file=sys.stderr)
        first_frame, report_done, gaps = run_once(args.page_dir, args.seconds)
        first_frames.append(first_frame)
        reports.append(report_done)
        intervals += gaps

    print("| From navigation, ms (%d runs) | median | min | max |" % args.runs)
    print("|---|---:|---:|---:|")
    for what, values in (("to the end of the report", reports),
                         ("to the first frame", first_frames)):
        print("| %s | %.0f | %.0f | %.0f |"
              % (what, statistics.median(values), min(values), max(values)))
    print()
    intervals.sort()
    print("Scale ticks, %d intervals over %d runs of %g s (console timestamps), ms:"
          % (len(intervals), args.runs, args.seconds))
    print()
    print("| mean | median | min | 95th percentile | max |")
    print("|---:|---:|---:|---:|---:|")
    print("| %.2f | %.2f | %.2f | %.2f | %.2f |"
          % (statistics.mean(intervals), statistics.median(intervals), intervals[0],
             intervals[int(0.95 * (len(intervals) - 1))], intervals[-1]))


if __name__ == "__main__":
    main()
