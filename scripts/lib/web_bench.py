"""web_bench.py: figures of the browser build, run by scripts/bench-web.sh: what the page costs
beside the same scene in plain WebGL (bench/baseline.html) and the time to each one's first
drawn frame, served and from the disk, composited in software and in the GPU process (WebGL on
SwiftShader either way); the page's size and the scale ticks' pace; or, with --soak, one page
with entry 5 chosen --chains times, minute by minute. Reports; asserts nothing about timing.

Usage: /usr/bin/python3 scripts/lib/web_bench.py PAGE_DIR [--runs N] [--seconds S]
           [--windows N] [--window-seconds S] [--compositing software|gpu|both]
           [--cost-only | --first-frame-only | --trace]
       /usr/bin/python3 scripts/lib/web_bench.py PAGE_DIR --soak MINUTES [--chains N]
"""

import argparse
import gzip
import os
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "support"))
import web_page  # noqa: E402
from program_facts import REPORT_LINES, SCALE_ENTRY  # noqa: E402

BASELINE_PAGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench",
                             "baseline.html")
# The pages of the cost table, measured with nobody listening to their console: a name, and how
# many times entry 5 is chosen on our page (None: the plain WebGL page; EDITOR: draw mode 1's
# calls drawn by the call editor, open and untouched). Each runs in a browser of its own, one at
# a time, in this order, round after round, so that the machine's other work falls on all of them
# alike.
EDITOR = "editor"
COST_PAGES = [("plain WebGL (bench/baseline.html)", None), ("ours, draw mode 1", 0),
              ("ours, draw mode 1, the call editor open", EDITOR),
              ("ours, one scale animation", 1), ("ours, three scale animations", 3)]
SETTLE_S = 3.0
TICK_HZ = os.sysconf("SC_CLK_TCK")  # The unit of utime and stime in /proc/<pid>/stat.
# Large enough that the whole page is in view: nothing is spared for being off screen.
VIEWPORT = {"width": 1280, "height": 1024}
# Counts animation-frame callbacks run, and frames drawn: the draw calls of one task (one timer
# or one animation frame) make one frame.
COUNT_FRAMES = """
window.frameCounts = {callbacks: 0, drawn: 0};
(function () {
  var request = window.requestAnimationFrame;
  window.requestAnimationFrame = function (callback) {
    return request.call(window, function (now) {
      ++window.frameCounts.callbacks;
      return callback(now);
    });
  };
  var drawing = false;
  [window.WebGLRenderingContext, window.WebGL2RenderingContext].forEach(function (kind) {
    if (!kind) return;
    ["drawArrays", "drawElements"].forEach(function (name) {
      var draw = kind.prototype[name];
      kind.prototype[name] = function () {
        if (!drawing) {
          drawing = true;
          ++window.frameCounts.drawn;
          setTimeout(function () { drawing = false; }, 0);
        }
        return draw.apply(this, arguments);
      };
    });
  });
})();
"""
TAKE_FRAME_COUNTS = """
(function () {
  var counts = window.frameCounts;
  window.frameCounts = {callbacks: 0, drawn: 0};
  return [counts.callbacks, counts.drawn];
})()
"""
# The trace's categories: the renderer's work, the compositor's and the GPU process's.
TRACE_CATEGORIES = "devtools.timeline,blink,cc,gpu,viz,v8"

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


def cpu_ticks_by_kind(page):
    """utime + stime of each of the browser's processes, in clock ticks, by pid, with the kind of
    process (browser, renderer, gpu-process, utility, ...)."""
    found = {}
    for pid in page.browser_pids():
        try:
            with open("/proc/%d/stat" % pid) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
                args = cmdline.read().replace(b"\0", b" ").split()
        except OSError:
            continue
        kind = next((a[7:].decode() for a in args if a.startswith(b"--type=")), "browser")
        found[pid] = (kind, int(fields[11]) + int(fields[12]))
    return found


def cpu_s_by_kind(before, after):
    """CPU seconds spent between two readings, by kind of process."""
    spent = {}
    for pid, (kind, ticks) in after.items():
        spent[kind] = spent.get(kind, 0.0) + (ticks - before.get(pid, (kind, 0))[1]) / TICK_HZ
    return spent


def open_cost_page(page_dir, chains, lifetime_s, gpu):
    """The page of one window, settled: started, its entry 5 chosen `chains` times."""
    if chains is None:
        page = web_page.ChromiumPage(BASELINE_PAGE, init_script=COUNT_FRAMES,
                                     lifetime_s=lifetime_s, console=False, gpu_compositing=gpu,
                                     **VIEWPORT)
        page.wait_until("window.frameCounts.drawn > 0", 30, "the plain page's first frame")
    else:
        page = web_page.ChromiumPage(page_dir, init_script=COUNT_FRAMES, lifetime_s=lifetime_s,
                                     console=False, gpu_compositing=gpu, **VIEWPORT)
        page.wait_until("window.frameCounts.drawn > 0 && "
                        "document.querySelectorAll('#menu li').length > 0", 30, "the first frame")
        if chains == EDITOR:
            page.wait_until("!document.getElementById('edit-calls').disabled", 30, "the editor")
            box = page.rect("#edit-calls")
            page.click(box[0] + box[2] / 2, box[1] + box[3] / 2)
            page.wait_until("!document.getElementById('editor-body').hidden", 10, "the editor")
            chains = 0
        for _ in range(chains):
            choose_entry(page, SCALE_ENTRY)
    return page


def measure_window(page_dir, chains, seconds, gpu):
    """CPU by kind of process, animation-frame callbacks and frames drawn, over one window."""
    with open_cost_page(page_dir, chains, seconds + 120, gpu) as page:
        page.pump(SETTLE_S)
        page.evaluate(TAKE_FRAME_COUNTS)
        before = cpu_ticks_by_kind(page)
        page.pump(seconds)
        after = cpu_ticks_by_kind(page)
        callbacks, drawn = page.evaluate(TAKE_FRAME_COUNTS)
    return cpu_s_by_kind(before, after), callbacks / seconds, drawn / seconds


def compositing_name(gpu):
    return "composited in the GPU process" if gpu else "composited in software (--disable-gpu)"


def cost(page_dir, windows, seconds, gpu):
    """The cost table: medians over `windows` rounds of each page's window."""
    spent = {name: [] for name, _ in COST_PAGES}
    rates = {name: [] for name, _ in COST_PAGES}
    loads = []
    for window in range(windows):
        for name, chains in COST_PAGES:
            print("round %d of %d: %s ..." % (window + 1, windows, name), file=sys.stderr)
            by_kind, callbacks, drawn = measure_window(page_dir, chains, seconds, gpu)
            spent[name].append(by_kind)
            rates[name].append((callbacks, drawn))
            loads.append(float(open("/proc/loadavg").read().split()[0]))

    def total(by_kind):
        return sum(by_kind.values())

    floor = statistics.median(total(k) for k in spent[COST_PAGES[0][0]])
    kinds = sorted({kind for runs in spent.values() for k in runs for kind in k},
                   key=lambda kind: ("browser", "renderer", "gpu-process").index(kind)
                   if kind in ("browser", "renderer", "gpu-process") else 3)
    print("%s: CPU of all Chromium's processes (user + system) per %g s window, medians of %d "
          "windows of each page, taken in turn; load average (1 min) during the windows %.1f to "
          "%.1f. Callbacks: animation-frame callbacks run per second; frames: frames drawn per "
          "second." % (compositing_name(gpu).capitalize(), seconds, windows, min(loads),
                       max(loads)))
    print()
    print("| Page | CPU, s | ratio to plain | %s | callbacks/s | frames/s |"
          % " | ".join(kinds))
    print("|---|---:|---:|%s---:|---:|" % ("---:|" * len(kinds)))
    for name, _ in COST_PAGES:
        runs = spent[name]
        median = statistics.median(total(k) for k in runs)
        print("| %s | %.2f | %.2f | %s | %.1f | %.1f |"
              % (name, median, median / floor,
                 " | ".join("%.2f" % statistics.median(k.get(kind, 0.0) for k in runs)
                            for kind in kinds),
                 statistics.median(r[0] for r in rates[name]),
                 statistics.median(r[1] for r in rates[name])))
    print()
    print("All windows, CPU s: " + "; ".join(
        "%s: %s" % (name, " ".join("%.2f" % total(k) for k in spent[name]))
        for name, _ in COST_PAGES))


def trace(page_dir, seconds, gpu):
    """Where the time goes: the renderer's main-thread time by trace event, per page, over one
    window of Chromium's tracing, counted once per outermost event of each name."""
    for name, chains in COST_PAGES:
        print("tracing: %s ..." % name, file=sys.stderr)
        with open_cost_page(page_dir, chains, seconds + 120, gpu) as page:
            page.pump(SETTLE_S)
            page.call("Tracing.start", categories=TRACE_CATEGORIES,
                      transferMode="ReportEvents")
            page.pump(seconds)
            page.call("Tracing.end")
            deadline = time.monotonic() + 60
            while not any(m["method"] == "Tracing.tracingComplete" for m in page.tracing):
                if time.monotonic() > deadline:
                    raise web_page.PageError("the trace did not end")
                page.pump(0.2)
            events = [e for m in page.tracing if m["method"] == "Tracing.dataCollected"
                      for e in m["params"]["value"]]
        threads = {(e["pid"], e["tid"]): e["args"]["name"] for e in events
                   if e.get("name") == "thread_name"}
        print("%s, thread time per %g s, ms: each thread's outermost events, and on the "
              "renderer's main thread the phases of its work:" % (name, seconds))
        print()
        print("| Thread or phase | ms |")
        print("|---|---:|")
        for what, ms in trace_totals(events, threads):
            print("| %s | %.0f |" % (what, ms))
        print()


# The renderer's main-thread work, by the trace event that does it.
MAIN_PHASES = [("script: timers", "TimerFire"), ("script: animation frames", "FireAnimationFrame"),
               ("style", "UpdateLayoutTree"), ("layout", "Layout"), ("pre-paint", "PrePaint"),
               ("paint", "Paint"), ("layers", "LayerTreeHost::DoUpdateLayers")]


def trace_totals(events, threads):
    """Thread time of each thread's outermost complete events, largest first, then the main
    thread's phases."""
    by_thread = {}
    for e in events:
        if e.get("ph") == "X" and "tdur" in e and "tts" in e:
            by_thread.setdefault((e["pid"], e["tid"]), []).append(e)
    totals, phases = {}, {}
    for key, spans in by_thread.items():
        spans.sort(key=lambda e: (e["tts"], -e["tdur"]))
        end = -1
        name = threads.get(key, "?")
        for e in spans:
            if e["tts"] >= end:  # Not inside the previous outermost event.
                totals[name] = totals.get(name, 0) + e["tdur"]
                end = e["tts"] + e["tdur"]
            if name == "CrRendererMain":
                for phase, event in MAIN_PHASES:
                    if e["name"] == event:
                        phases[phase] = phases.get(phase, 0) + e["tdur"]
    rows = sorted(totals.items(), key=lambda item: -item[1])
    rows = [(thread, us / 1000.0) for thread, us in rows if us >= 1000]
    return rows + [("main thread, " + phase, phases.get(phase, 0) / 1000.0)
                   for phase, _ in MAIN_PHASES]


def first_frame_ms(where, gpu):
    """Milliseconds from navigation to the first draw call of the page at `where` (a folder
    served on loopback, or a file opened from the disk)."""
    with web_page.ChromiumPage(where, init_script=NOTE_FIRST_DRAW, lifetime_s=60, console=False,
                               gpu_compositing=gpu, **VIEWPORT) as page:
        page.wait_until("window.firstDrawAtMs > 0", 30, "the first frame")
        return page.evaluate("window.firstDrawAtMs - performance.timeOrigin")


def first_frames(page_dir, runs, modes):
    """Navigation to the first drawn frame, ours against the plain page, served and from the
    disk, in each way of compositing: medians of `runs`, taken in turn."""
    served_plain = tempfile.mkdtemp(prefix="sample-drawing-plain-")
    shutil.copy(BASELINE_PAGE, os.path.join(served_plain, "index.html"))
    pages = [("served", served_plain, page_dir),
             ("from the disk", BASELINE_PAGE, os.path.join(page_dir, "sample-drawing.html"))]
    found = {}
    try:
        for run in range(runs):
            for gpu in modes:
                for how, plain, ours in pages:
                    print("first frame, run %d of %d: %s, %s ..."
                          % (run + 1, runs, how, compositing_name(gpu)), file=sys.stderr)
                    for which, where in (("plain", plain), ("ours", ours)):
                        found.setdefault((gpu, how, which), []).append(first_frame_ms(where, gpu))
    finally:
        shutil.rmtree(served_plain)
    print("From navigation to the first drawn frame, ms, medians of %d runs (min to max):" % runs)
    print()
    print("| Compositing | Page | plain | ours | ratio |")
    print("|---|---|---:|---:|---:|")
    for gpu in modes:
        for how, _, _ in pages:
            plain, ours = found[(gpu, how, "plain")], found[(gpu, how, "ours")]
            print("| %s | %s | %.0f (%.0f to %.0f) | %.0f (%.0f to %.0f) | %.2f |"
                  % ("GPU process" if gpu else "software", how, statistics.median(plain),
                     min(plain), max(plain), statistics.median(ours), min(ours), max(ours),
                     statistics.median(ours) / statistics.median(plain)))
    print()


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
    parser.add_argument("--windows", type=int, default=5)
    parser.add_argument("--window-seconds", type=float, default=10.0)
    parser.add_argument("--compositing", choices=["software", "gpu", "both"], default="both")
    parser.add_argument("--cost-only", action="store_true")
    parser.add_argument("--first-frame-only", action="store_true")
    parser.add_argument("--trace", action="store_true")
    args = parser.parse_args()
    modes = {"software": [False], "gpu": [True], "both": [False, True]}[args.compositing]
    if args.soak:
        soak(args.page_dir, args.soak, args.chains)
        return
    if args.trace:
        for gpu in modes:
            trace(args.page_dir, args.window_seconds, gpu)
        return
    if args.first_frame_only:
        first_frames(args.page_dir, args.runs, modes)
        return

    for gpu in modes:
        cost(args.page_dir, args.windows, args.window_seconds, gpu)
        print()
    if args.cost_only:
        return
    first_frames(args.page_dir, args.runs, modes)

    print("| File | Bytes | gzip -9 |")
    print("|---|---:|---:|")
    for name, raw, packed in sizes(args.page_dir):
        print("| %s | %d | %d |" % (name, raw, packed))
    print()

    firsts, reports, intervals = [], [], []
    for run in range(args.runs):
        print("run %d of %d ..." % (run + 1, args.runs), file=sys.stderr)
        first_frame, report_done, gaps = run_once(args.page_dir, args.seconds)
        firsts.append(first_frame)
        reports.append(report_done)
        intervals += gaps

    print("| From navigation, ms (%d runs) | median | min | max |" % args.runs)
    print("|---|---:|---:|---:|")
    for what, values in (("to the end of the report", reports),
                         ("to the first frame (served, with its console listened to)", firsts)):
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
