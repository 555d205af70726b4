"""web_page.py: the browser build's page, served on loopback and opened in a browser for the page
tests, the benchmark and the pictures: a headless Chromium driven through the DevTools protocol,
or Firefox ESR driven through WebDriver BiDi on a private Xvfb (headless Firefox has no GL here).

Every process (server, Xvfb, browser) runs under `timeout` and is stopped by the PID this module
started; each browser gets a profile folder of its own, removed afterwards.
"""

import base64
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

import websocket

CHROMIUM = "/usr/bin/chromium"
FIREFOX = "/usr/bin/firefox-esr"
BROWSERS = ("chromium", "firefox")
# Without the network switches Chromium keeps trying hosts a closed network refuses; SwiftShader
# gives WebGL without a GPU. --disable-gpu leaves WebGL on SwiftShader but composites the page in
# software, where browsers run for their users composite in the GPU process.
SOFTWARE_COMPOSITING = "--disable-gpu"
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", SOFTWARE_COMPOSITING, "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--remote-debugging-port=0",
]
# Firefox's remote agent sets its recommended preferences (no updates, no telemetry); these keep
# it off the network otherwise and give WebGL on Mesa's software renderer.
FIREFOX_PREFS = {
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "datareporting.policy.dataSubmissionEnabled": False,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "webgl.force-enabled": True,
    "layout.css.devPixelsPerPx": "1.0",
}

# Key names as KeyboardEvent.key gives them: (code, Windows key code, text) for DevTools, and the
# WebDriver key value for BiDi. WebDriver has no ContextMenu key.
KEYS = {
    "Tab": ("Tab", 9, "", "\ue004"),
    "Enter": ("Enter", 13, "\r", "\ue007"),
    "Escape": ("Escape", 27, "", "\ue00c"),
    " ": ("Space", 32, " ", " "),
    "End": ("End", 35, "", "\ue010"),
    "Home": ("Home", 36, "", "\ue011"),
    "ArrowUp": ("ArrowUp", 38, "", "\ue013"),
    "ArrowDown": ("ArrowDown", 40, "", "\ue015"),
    "F10": ("F10", 121, "", "\ue03a"),
    "ContextMenu": ("ContextMenu", 93, "", None),
    "y": ("KeyY", 89, "", "y"),
    "z": ("KeyZ", 90, "", "z"),
    "k": ("KeyK", 75, "k", "k"),
    ".": ("Period", 190, ".", "."),
}
SHIFT_KEY = "\ue008"
# Modifiers: DevTools' bit, WebDriver's key.
MODIFIERS = {"alt": (1, "\ue00a"), "ctrl": (2, "\ue009"), "shift": (8, SHIFT_KEY)}


MENU_OPEN = "document.getElementById('menu').matches(':popover-open')"
# A line of the scale trace: the timer, two blanks, a "%f" number, and on all but a tick's first
# line two blanks and a step digit 1 to 4.
TRACE_LINE = re.compile(r"(MyTimer2?)  (-?[0-9]+\.[0-9]{6})(?:  ([1-4]))?")


def trace_line(text):
    """The trace line as (timer, value, step digit or 0); None for a line of any other shape."""
    match = TRACE_LINE.fullmatch(text)
    return match and (match.group(1), float(match.group(2)), int(match.group(3) or 0))


class PageError(RuntimeError):
    pass


def _stop(process):
    if process is not None and process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def _wait_for(condition, timeout_s, what, step_s=0.02):
    deadline = time.monotonic() + timeout_s
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise PageError("timed out waiting for " + what)
        time.sleep(step_s)


def open_page(browser, page_dir, **options):
    """The page in the named browser, one of BROWSERS."""
    return {"chromium": ChromiumPage, "firefox": FirefoxPage}[browser](page_dir, **options)


class Page:
    """The page at page_dir (a folder served on loopback, or one file opened from the disk), open in a viewport of width x height CSS pixels (one device pixel
    each). Console lines arrive in `lines`, each as (text, timestamp in ms since the epoch); an
    exception the page does not catch raises PageError. init_script runs in every document before
    the page's own scripts. With console=False (Chromium) nothing is listened to: the page's
    console goes nowhere, as it does for someone without developer tools open. With
    gpu_compositing=True (Chromium) the page is composited in the GPU process, on SwiftShader."""

    def __init__(self, page_dir, width=1000, height=560, lifetime_s=300, init_script=None,
                 console=True, gpu_compositing=False):
        self.lines = []
        self._console = console
        self._gpu_compositing = gpu_compositing
        self._processes = []  # Stopped in reverse order.
        self._socket = None
        self._next_id = 0
        self._profile = tempfile.mkdtemp(prefix="sample-drawing-%s-" % self.name)
        try:
            self._serve(page_dir, lifetime_s)
            self._open_browser(lifetime_s)
            self._start(width, height, init_script)
        except BaseException:
            self.close()
            raise

    def _spawn(self, lifetime_s, command, **popen):
        process = subprocess.Popen(["timeout", str(lifetime_s), *command], **popen)
        self._processes.append(process)
        return process

    def _serve(self, page_dir, lifetime_s):
        if os.path.isfile(page_dir):  # One file, opened from the disk.
            self.url = "file://" + urllib.request.pathname2url(os.path.abspath(page_dir))
            return
        server = self._spawn(
            lifetime_s, [sys.executable, "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
                         "--directory", page_dir],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        first = server.stdout.readline()  # "Serving HTTP on 127.0.0.1 port N (...) ..."
        server.stdout.close()
        words = first.split()
        if "port" not in words:
            raise PageError("the web server did not start: " + first)
        self.url = "http://127.0.0.1:%s/" % words[words.index("port") + 1]

    def browser_pids(self):
        """The browser's processes: every descendant of the one this page started."""
        children = {}
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open("/proc/%s/stat" % entry) as stat:
                        parent = int(stat.read().rsplit(")", 1)[1].split()[1])
                except (OSError, IndexError, ValueError):
                    continue
                children.setdefault(parent, []).append(int(entry))
        found, todo = [], [self._browser.pid]
        while todo:
            pid = todo.pop()
            found += children.get(pid, [])
            todo += children.get(pid, [])
        return found

    def close(self):
        if self._socket is not None:
            self._socket.close()
        for process in reversed(self._processes):
            _stop(process)
        shutil.rmtree(self._profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _send(self, message):
        self._next_id += 1
        message["id"] = self._next_id
        self._socket.send(json.dumps(message))
        while True:
            reply = json.loads(self._socket.recv())
            if reply.get("id") == self._next_id:
                return reply
            self._take(reply)

    def pump(self, seconds):
        """Reads events for the given time."""
        deadline = time.monotonic() + seconds
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return
            self._socket.settimeout(left)
            try:
                self._take(json.loads(self._socket.recv()))
            except websocket.WebSocketTimeoutException:
                return
            finally:
                self._socket.settimeout(30)

    def wait_for_lines(self, count, timeout_s=20):
        """Waits until at least count console lines have arrived; returns their texts."""
        deadline = time.monotonic() + timeout_s
        while len(self.lines) < count:
            if time.monotonic() > deadline:
                raise PageError("%d console lines after %g s, not %d"
                                % (len(self.lines), timeout_s, count))
            self.pump(0.05)
        return [text for text, _ in self.lines]

    def wait_until(self, expression, timeout_s=20, what=None):
        deadline = time.monotonic() + timeout_s
        while not self.evaluate(expression):
            if time.monotonic() > deadline:
                raise PageError("timed out waiting for " + (what or expression))
            self.pump(0.05)

    def rect(self, selector):
        """The element's box in CSS pixels: (left, top, width, height)."""
        return tuple(self.evaluate(
            "(function (r) { return [r.left, r.top, r.width, r.height]; })"
            "(document.querySelector(%s).getBoundingClientRect())" % json.dumps(selector)))

    def click(self, x, y, button="left"):
        self.mouse("down", x, y, button)
        self.mouse("up", x, y, button)

    def open_menu(self, x=150, y=100):
        """Opens the pop-up menu with a right click at (x, y) on the canvas, in CSS pixels."""
        left, top, _, _ = self.rect("#canvas")
        self.click(left + x, top + y, "right")
        self.wait_until(MENU_OPEN, 5, "the menu to open")


class ChromiumPage(Page):
    name = "chromium"

    def _open_browser(self, lifetime_s):
        flags = [f for f in CHROMIUM_FLAGS
                 if not (self._gpu_compositing and f == SOFTWARE_COMPOSITING)]
        self._browser = self._spawn(
            lifetime_s, [CHROMIUM, *flags, "--user-data-dir=" + self._profile, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self._profile, "DevToolsActivePort")

        def devtools_port():  # The file's first line, once Chromium has written it whole.
            try:
                with open(port_file) as written:
                    lines = written.read().split("\n")
            except FileNotFoundError:
                return None
            return lines[0] if len(lines) > 1 else None

        port = _wait_for(devtools_port, 30, "Chromium's DevTools port")

        def page_target():
            try:
                with urllib.request.urlopen("http://127.0.0.1:%s/json/list" % port) as reply:
                    targets = json.load(reply)
            except OSError:
                return None
            return next((t for t in targets if t["type"] == "page"), None)

        target = _wait_for(page_target, 30, "Chromium's page")
        self._socket = websocket.create_connection(target["webSocketDebuggerUrl"], timeout=30,
                                                   suppress_origin=True)

    def _start(self, width, height, init_script):
        self.tracing = []  # Messages of the Tracing domain, for the benchmark.
        if self._console:
            self.call("Runtime.enable")
        self.call("Page.enable")
        self.resize(width, height)
        if init_script:
            self.call("Page.addScriptToEvaluateOnNewDocument", source=init_script)
        self.call("Page.navigate", url=self.url)

    def _take(self, message):
        if message.get("method") == "Runtime.consoleAPICalled":
            params = message["params"]
            if params["type"] == "log":
                text = " ".join(str(a.get("value", "")) for a in params["args"])
                self.lines.append((text, params["timestamp"]))
        elif message.get("method") == "Runtime.exceptionThrown":
            raise PageError("the page threw: " + json.dumps(message["params"])[:400])
        elif message.get("method", "").startswith("Tracing."):
            self.tracing.append(message)

    def call(self, method, **params):
        """A DevTools protocol command; returns its result."""
        reply = self._send({"method": method, "params": params})
        if "error" in reply:
            raise PageError("%s: %s" % (method, reply["error"]))
        return reply["result"]

    def run_script(self, source):
        """Runs a script in the page, as a <script> element would."""
        self.evaluate(source + "\n;0")

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise PageError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def resize(self, width, height, ratio=1, phone=False):
        """The viewport in CSS pixels, ratio device pixels to each; a phone's viewport obeys the
        page's viewport meta tag, and zooms out a page wider than itself."""
        self.call("Emulation.setDeviceMetricsOverride",
                  width=width, height=height, deviceScaleFactor=ratio, mobile=phone)

    def set_touch_first(self, on):
        """Emulates a device whose one pointer is a finger (hover: none, pointer: coarse)."""
        self.call("Emulation.setTouchEmulationEnabled", enabled=on, maxTouchPoints=1)

    def mouse(self, kind, x, y, button="left"):
        """kind: "down", "move" (with the button held) or "up"."""
        held = {"left": 1, "right": 2}[button]
        self.call("Input.dispatchMouseEvent",
                  type={"down": "mousePressed", "move": "mouseMoved", "up": "mouseReleased"}[kind],
                  x=x, y=y, button=button, buttons=0 if kind == "up" else held, clickCount=1)

    def touch(self, kind, x=0, y=0):
        """kind: "down" or "up", one finger."""
        self.call("Input.dispatchTouchEvent", type="touchStart" if kind == "down" else "touchEnd",
                  touchPoints=[{"x": x, "y": y}] if kind == "down" else [])

    def key(self, name, shift=False, held=()):
        """held: other modifiers held, of MODIFIERS."""
        code, key_code, text = KEYS[name][:3]
        bits = sum(MODIFIERS[m][0] for m in set(held) | ({"shift"} if shift else set()))
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=name, code=code,
                      text="" if bits & 3 else text, windowsVirtualKeyCode=key_code,
                      modifiers=bits)

    def screenshot(self, clip=None):
        """PNG bytes of the viewport, or of clip = (left, top, width, height) in CSS pixels."""
        params = {"format": "png"}
        if clip:
            params["clip"] = dict(zip(("x", "y", "width", "height"), clip), scale=1)
        return base64.b64decode(self.call("Page.captureScreenshot", **params)["data"])


class FirefoxPage(Page):
    """On an X server with no window manager Firefox's window is never the active one: the page
    gets no focus or blur events, though document.activeElement follows focus() and Tab."""

    name = "firefox"

    def _open_browser(self, lifetime_s):
        with open(os.path.join(self._profile, "user.js"), "w") as prefs:
            for name, value in FIREFOX_PREFS.items():
                prefs.write("user_pref(%s, %s);\n" % (json.dumps(name), json.dumps(value)))
        # The scripts' starter prints the free display's number it picked, then is the server.
        starter = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir,
                               "scripts", "lib", "private-xvfb")
        xvfb = self._spawn(lifetime_s + 10, [starter, "1280x1024x24"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        with xvfb.stdout as display_pipe:
            display = display_pipe.readline().strip()
        if not display:
            raise PageError("Xvfb did not start")
        environment = dict(os.environ, DISPLAY=":" + display, MOZ_CRASHREPORTER_DISABLE="1")
        environment.pop("WAYLAND_DISPLAY", None)
        log_path = os.path.join(self._profile, "firefox.log")
        with open(log_path, "w") as log:
            self._browser = self._spawn(
                lifetime_s, [FIREFOX, "--no-remote", "--profile", self._profile,
                             "--remote-debugging-port", "0", "about:blank"],
                stdout=log, stderr=log, env=environment)

        def bidi_address():
            with open(log_path) as log:
                return re.search(r"WebDriver BiDi listening on (ws://\S+)", log.read())

        found = _wait_for(bidi_address, 60, "Firefox's WebDriver BiDi", 0.1)
        self._socket = websocket.create_connection(found.group(1).rstrip("/") + "/session",
                                                   timeout=30, suppress_origin=True)

    def _start(self, width, height, init_script):
        self.call("session.new", capabilities={})
        self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]
        self.call("session.subscribe", events=["log.entryAdded"])
        self.resize(width, height)
        if init_script:
            self.call("script.addPreloadScript",
                      functionDeclaration="() => {\n%s\n}" % init_script)
        self.call("browsingContext.navigate", context=self.context, url=self.url, wait="none")

    def _take(self, message):
        if message.get("method") == "log.entryAdded":
            params = message["params"]
            if params["type"] == "console" and params.get("method") == "log":
                self.lines.append((params["text"], params["timestamp"]))
            elif params["type"] == "javascript":
                raise PageError("the page threw: " + json.dumps(params)[:400])

    def call(self, method, **params):
        """A WebDriver BiDi command; returns its result."""
        reply = self._send({"method": method, "params": params})
        if reply.get("type") == "error":
            raise PageError("%s: %s: %s" % (method, reply.get("error"), reply.get("message")))
        return reply["result"]

    def run_script(self, source):
        """Runs a script in the page, as a <script> element would."""
        result = self.call("script.evaluate", target={"context": self.context},
                           awaitPromise=False, resultOwnership="none", expression=source)
        if result["type"] == "exception":
            raise PageError("the script threw: %s" % result["exceptionDetails"])

    def evaluate(self, expression):
        # The value travels as JSON, as DevTools' returnByValue gives it.
        result = self.call("script.evaluate", target={"context": self.context},
                           awaitPromise=True, resultOwnership="none",
                           expression="(async () => JSON.stringify(await (%s)))()" % expression)
        if result["type"] == "exception":
            raise PageError("%s: %s" % (expression, result["exceptionDetails"]))
        value = result["result"]
        return json.loads(value["value"]) if value["type"] == "string" else None

    def resize(self, width, height, ratio=1, phone=False):
        self.call("browsingContext.setViewport", context=self.context,
                  viewport={"width": width, "height": height}, devicePixelRatio=ratio)

    def _act(self, *sources):
        self.call("input.performActions", context=self.context, actions=list(sources))

    def mouse(self, kind, x, y, button="left"):
        number = {"left": 0, "right": 2}[button]
        steps = [{"type": "pointerMove", "x": round(x), "y": round(y)}]
        if kind != "move":
            steps.append({"type": "pointerDown" if kind == "down" else "pointerUp",
                          "button": number})
        self._act({"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                   "actions": steps})

    def touch(self, kind, x=0, y=0):
        steps = ([{"type": "pointerMove", "x": round(x), "y": round(y)},
                  {"type": "pointerDown", "button": 0}] if kind == "down"
                 else [{"type": "pointerUp", "button": 0}])
        self._act({"type": "pointer", "id": "finger", "parameters": {"pointerType": "touch"},
                   "actions": steps})

    def key(self, name, shift=False, held=()):
        value = KEYS[name][3]
        if value is None:
            raise PageError("WebDriver has no %s key" % name)
        steps = [{"type": "keyDown", "value": value}, {"type": "keyUp", "value": value}]
        for modifier in list(held) + (["shift"] if shift else []):
            steps = ([{"type": "keyDown", "value": MODIFIERS[modifier][1]}] + steps
                     + [{"type": "keyUp", "value": MODIFIERS[modifier][1]}])
        self._act({"type": "key", "id": "keyboard", "actions": steps})

    def screenshot(self, clip=None):
        params = {"context": self.context, "origin": "viewport"}
        if clip:
            params["clip"] = dict(zip(("x", "y", "width", "height"), clip), type="box")
        return base64.b64decode(self.call("browsingContext.captureScreenshot", **params)["data"])


def png_to_ppm(png):
    """A PNG screenshot as a binary PPM (P6), by ImageMagick."""
    return subprocess.run(["convert", "png:-", "-alpha", "off", "ppm:-"], input=png,
                          stdout=subprocess.PIPE, check=True, timeout=60).stdout
