"""web_page.py: the browser build's page, served on loopback and opened in a headless Chromium
driven through the DevTools protocol, for the page tests, the benchmark and the pictures.

The server and the browser run under `timeout` and are stopped by the PIDs this module started;
the browser gets a profile folder of its own, removed afterwards.
"""

import base64
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request
import zlib

import websocket

CHROMIUM = "/usr/bin/chromium"
# Without the network switches Chromium keeps trying hosts a closed network refuses; SwiftShader
# gives WebGL without a GPU.
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--remote-debugging-port=0",
]


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


class Page:
    """The page at page_dir, open in a viewport of width x height CSS pixels (one device pixel
    each). Console lines arrive in `lines`, each as (text, timestamp in ms of the browser's
    clock)."""

    def __init__(self, page_dir, width=1000, height=560, lifetime_s=300, init_script=None):
        self.lines = []
        self._server = self._browser = self._socket = None
        self._profile = tempfile.mkdtemp(prefix="sample-drawing-chromium-")
        self._next_id = 0
        try:
            self._serve(page_dir, lifetime_s)
            self._open_browser(lifetime_s)
            self.call("Runtime.enable")
            self.call("Page.enable")
            self.call("Emulation.setDeviceMetricsOverride",
                      width=width, height=height, deviceScaleFactor=1, mobile=False)
            if init_script:
                self.call("Page.addScriptToEvaluateOnNewDocument", source=init_script)
            self.navigated_at_ms = time.time() * 1000.0
            self.call("Page.navigate", url=self.url)
        except BaseException:
            self.close()
            raise

    def _serve(self, page_dir, lifetime_s):
        self._server = subprocess.Popen(
            ["timeout", str(lifetime_s), sys.executable, "-u", "-m", "http.server", "0",
             "--bind", "127.0.0.1", "--directory", page_dir],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        first = self._server.stdout.readline()  # "Serving HTTP on 127.0.0.1 port N (...) ..."
        words = first.split()
        if "port" not in words:
            raise PageError("the web server did not start: " + first)
        self.url = "http://127.0.0.1:%s/" % words[words.index("port") + 1]

    def _open_browser(self, lifetime_s):
        self._browser = subprocess.Popen(
            ["timeout", str(lifetime_s), CHROMIUM, *CHROMIUM_FLAGS,
             "--user-data-dir=" + self._profile, "about:blank"],
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

    def close(self):
        if self._socket is not None:
            self._socket.close()
        _stop(self._browser)
        _stop(self._server)
        if self._server is not None:
            self._server.stdout.close()
        shutil.rmtree(self._profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # The protocol.

    def _take(self, message):
        if message.get("method") == "Runtime.consoleAPICalled":
            params = message["params"]
            if params["type"] == "log":
                text = " ".join(str(a.get("value", "")) for a in params["args"])
                self.lines.append((text, params["timestamp"]))
        elif message.get("method") == "Runtime.exceptionThrown":
            raise PageError("the page threw: " + json.dumps(message["params"])[:400])

    def call(self, method, **params):
        self._next_id += 1
        self._socket.send(json.dumps({"id": self._next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self._socket.recv())
            if message.get("id") == self._next_id:
                if "error" in message:
                    raise PageError("%s: %s" % (method, message["error"]))
                return message["result"]
            self._take(message)

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

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise PageError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

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

    # Input, as a user gives it.

    def click(self, x, y, button="left"):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button,
                      buttons=0 if kind == "mouseReleased" else (2 if button == "right" else 1),
                      clickCount=1)

    def press_key(self, key, code, key_code):
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, code=code,
                      windowsVirtualKeyCode=key_code)

    # Pictures.

    def screenshot(self, clip=None):
        """PNG bytes of the viewport, or of clip = (left, top, width, height) in CSS pixels."""
        params = {"format": "png"}
        if clip:
            params["clip"] = dict(zip(("x", "y", "width", "height"), clip), scale=1)
        return base64.b64decode(self.call("Page.captureScreenshot", **params)["data"])


def png_to_ppm(png):
    """Chromium's 8-bit RGB or RGBA PNG as a binary PPM (P6)."""
    if png[:8] != b"\x89PNG\r\n\x1a\n":
        raise PageError("not a PNG")
    pos, idat = 8, b""
    while pos < len(png):
        length, kind = struct.unpack(">I4s", png[pos:pos + 8])
        body = png[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    if depth != 8 or colour not in (2, 6) or interlace:
        raise PageError("unexpected PNG layout")
    channels = 3 if colour == 2 else 4
    stride = width * channels
    raw = zlib.decompress(idat)
    previous = bytearray(stride)
    rgb = bytearray()
    for row in range(height):
        kind = raw[row * (stride + 1)]
        line = bytearray(raw[row * (stride + 1) + 1:(row + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                guess = left + up - corner
                pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc
                                      else up if pb <= pc else corner)) & 0xFF
        previous = line
        if channels == 3:
            rgb += line
        else:
            for i in range(0, stride, 4):
                rgb += line[i:i + 3]
    return b"P6\n%d %d\n255\n" % (width, height) + bytes(rgb)
