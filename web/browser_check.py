#!/usr/bin/env python3
"""Drives headless Chromium through the DevTools protocol to check the showcase page.

Used by scripts/web-test.sh. Needs only Python's standard library: the protocol's
WebSocket is spoken by the small client below.

  play    opens index.html, and at the given seconds of normal play saves a screenshot
          (PNG) and the part and step of the frame on the canvas just before and just
          after it (the page's lumora_web_part and lumora_web_step); then presses Escape,
          which must end the presentation; writes a JSON summary.
  hashes  opens index.html?hashes=1, waits until the page has hashed every frame and
          writes the hash list and the table of frame times it shows.
"""
import argparse
import base64
import json
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse

PROG = "web/browser_check.py"


class CheckError(Exception):
    pass


# ------------------------------------------------------------------ WebSocket (RFC 6455)

class WebSocket:
    """A client for one ws:// connection: text frames out (masked), frames in."""

    def __init__(self, url, timeout):
        parts = urllib.parse.urlsplit(url)
        self.sock = socket.create_connection((parts.hostname, parts.port), timeout=timeout)
        key = base64.b64encode(os.urandom(16)).decode()
        path = parts.path + ("?" + parts.query if parts.query else "")
        request = (f"GET {path} HTTP/1.1\r\nHost: {parts.hostname}:{parts.port}\r\n"
                   "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                   f"Sec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n")
        self.sock.sendall(request.encode())
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise CheckError("the browser closed the DevTools connection during the handshake")
            head += chunk
        head, self.pending = head.split(b"\r\n\r\n", 1)
        if b" 101 " not in head.split(b"\r\n", 1)[0]:
            raise CheckError("the browser refused the DevTools connection: " + head.decode(errors="replace"))

    def _read(self, n):
        while len(self.pending) < n:
            chunk = self.sock.recv(max(65536, n - len(self.pending)))
            if not chunk:
                raise CheckError("the browser closed the DevTools connection")
            self.pending += chunk
        data, self.pending = self.pending[:n], self.pending[n:]
        return data

    def _send_frame(self, opcode, payload):
        head = bytes([0x80 | opcode])
        n = len(payload)
        if n < 126:
            head += bytes([0x80 | n])
        elif n < 65536:
            head += bytes([0x80 | 126]) + struct.pack(">H", n)
        else:
            head += bytes([0x80 | 127]) + struct.pack(">Q", n)
        mask = os.urandom(4)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.sock.sendall(head + mask + masked)

    def send(self, text):
        self._send_frame(0x1, text.encode())

    def receive(self):
        """The next text message."""
        message = b""
        while True:
            b0, b1 = self._read(2)
            opcode, n = b0 & 0x0F, b1 & 0x7F
            if n == 126:
                n = struct.unpack(">H", self._read(2))[0]
            elif n == 127:
                n = struct.unpack(">Q", self._read(8))[0]
            mask = self._read(4) if b1 & 0x80 else None
            payload = self._read(n)
            if mask:
                payload = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
            if opcode == 0x8:
                raise CheckError("the browser closed the DevTools connection")
            if opcode == 0x9:
                self._send_frame(0xA, payload)
                continue
            if opcode in (0x0, 0x1, 0x2):
                message += payload
                if b0 & 0x80:
                    return message.decode()

    def close(self):
        try:
            self.sock.close()
        except OSError:
            pass


# ------------------------------------------------------------------ DevTools protocol

class Browser:
    """Headless Chromium with a fresh profile, and one page attached over the protocol."""

    def __init__(self, chromium, width, height):
        self.profile = tempfile.mkdtemp(prefix="lumora-chromium-")
        self.log = open(os.path.join(self.profile, "chromium.log"), "w+")
        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--remote-debugging-port=0", "--user-data-dir=" + self.profile,
             f"--window-size={width},{height}", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=self.log)
        url = None
        deadline = time.time() + 60
        while url is None and time.time() < deadline:
            if self.process.poll() is not None:
                raise CheckError(f"chromium exited at once (status {self.process.returncode}): "
                                 + self._log_tail())
            self.log.seek(0)
            for line in self.log:
                if "DevTools listening on " in line:
                    url = line.split("DevTools listening on ", 1)[1].strip()
            time.sleep(0.1)
        if url is None:
            raise CheckError("chromium did not open its DevTools port within 60 s: " + self._log_tail())
        self.ws = WebSocket(url, timeout=120)
        self.next_id = 0
        self.events = []
        self.console = []
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.call("Page.enable", session=True)
        self.call("Runtime.enable", session=True)
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False},
                  session=True)

    def _log_tail(self):
        self.log.seek(0)
        return " | ".join(self.log.read().strip().splitlines()[-5:])

    def _note(self, message):
        if message.get("method") == "Runtime.consoleAPICalled":
            args = message["params"].get("args", [])
            self.console.append(" ".join(str(a.get("value", a.get("description", ""))) for a in args))
        elif message.get("method") == "Runtime.exceptionThrown":
            details = message["params"]["exceptionDetails"]
            self.console.append("exception: " + details.get("exception", {}).get("description", details.get("text", "")))
        else:
            self.events.append(message)

    def call(self, method, params=None, session=False):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = self.session
        self.ws.send(json.dumps(message))
        while True:
            reply = json.loads(self.ws.receive())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise CheckError(f"{method}: {reply['error'].get('message')}")
                return reply.get("result", {})
            self._note(reply)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True},
                           session=True)
        if "exceptionDetails" in result:
            raise CheckError(f"evaluating {expression!r} failed: {result['exceptionDetails'].get('text')}")
        return result["result"].get("value")

    def navigate(self, url):
        self.events.clear()
        self.call("Page.navigate", {"url": url}, session=True)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png"}, session=True)["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def close(self):
        try:
            self.call("Browser.close")
        except (CheckError, OSError):
            pass
        self.ws.close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)


def wait_for(browser, expression, seconds, what):
    """Polls a JavaScript expression until it is true."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        # Until the module has started, what the expression reads may not exist yet.
        if browser.evaluate(f"(() => {{ try {{ return !!({expression}); }} catch (e) {{ return false; }} }})()"):
            return
        time.sleep(0.25)
    raise CheckError(f"{what} did not happen within {seconds} s; page status: "
                     + str(browser.evaluate("document.getElementById('status').textContent")))


PAGE_FRAME = ("(typeof Module !== 'undefined' && Module._lumora_web_part) ? "
              "[Module._lumora_web_part(), Module._lumora_web_step()] : [-2, 0]")


def play(browser, url, seconds, out_dir):
    browser.navigate(url)
    # Page time 0 is when the page starts loading; the presentation starts shortly after.
    wait_for(browser, "typeof Module !== 'undefined' && !!Module._lumora_web_part && "
                      "Module._lumora_web_part() >= 0", 60, "the first frame of the presentation")
    started = time.time() - browser.evaluate("performance.now()") / 1000
    shots = []
    for second in seconds:
        delay = started + second - time.time()
        if delay > 0:
            time.sleep(delay)
        before = browser.evaluate(PAGE_FRAME)
        path = os.path.join(out_dir, f"play-{second:03d}s.png")
        browser.screenshot(path)
        after = browser.evaluate(PAGE_FRAME)
        status = browser.evaluate("document.getElementById('status').textContent")
        present = browser.evaluate("[Module._lumora_web_presentation(), Module._lumora_web_present_ms()]")
        shots.append({"second": second, "png": path, "before": before, "after": after, "status": status,
                      "presentation": ["none", "2d", "webgl"][present[0]], "present_ms": present[1]})
        print(f"  {second:3d} s: {os.path.basename(path)}, part {before[0]} step {before[1]} .. "
              f"part {after[0]} step {after[1]}; presenting ({shots[-1]['presentation']}) "
              f"{present[1]:.3f} ms a frame; page: {status}", flush=True)
    return shots


def press_escape(browser):
    """Presses and releases Escape on the page; the presentation must stop and say so."""
    key = {"key": "Escape", "code": "Escape", "windowsVirtualKeyCode": 27, "nativeVirtualKeyCode": 27}
    browser.call("Input.dispatchKeyEvent", {"type": "rawKeyDown", **key}, session=True)
    browser.call("Input.dispatchKeyEvent", {"type": "keyUp", **key}, session=True)
    wait_for(browser, "Module._lumora_web_part() === -2 && "
                      "document.getElementById('status').textContent.startsWith('Stopped by Escape')",
             10, "the end of the presentation after Escape")
    status = browser.evaluate("document.getElementById('status').textContent")
    print(f"  Escape: {status}", flush=True)
    return status


def hashes(browser, url, out_dir, timeout):
    browser.navigate(url)
    wait_for(browser, "typeof Module !== 'undefined' && !!Module.calledRun", 60, "the start of the module")
    start = time.time()
    last = 0
    while browser.evaluate("document.getElementById('hashes').dataset.state") != "done":
        if time.time() - start > timeout:
            raise CheckError(f"the page did not finish hashing within {timeout} s")
        if time.time() - last >= 15:
            print("  ... " + str(browser.evaluate("document.getElementById('status').textContent")), flush=True)
            last = time.time()
        time.sleep(0.5)
    listing = browser.evaluate("document.getElementById('hashes').textContent")
    times = browser.evaluate("document.getElementById('times').textContent")
    status = browser.evaluate("document.getElementById('status').textContent")
    with open(os.path.join(out_dir, "browser.hashes"), "w") as f:
        f.write(listing)
    with open(os.path.join(out_dir, "browser-times.txt"), "w") as f:
        f.write(times)
    print("  " + status, flush=True)
    return {"status": status, "frames": listing.count("\n"), "seconds": round(time.time() - start, 1)}


def main():
    parser = argparse.ArgumentParser(prog=PROG, description=__doc__.split("\n\n")[0])
    parser.add_argument("mode", choices=["play", "hashes"], help="what to check")
    parser.add_argument("--url", required=True, help="the page, e.g. http://127.0.0.1:8000/index.html")
    parser.add_argument("--out", required=True, help="folder for the screenshots, the lists and the summary (play.json, hashes.json)")
    parser.add_argument("--seconds", default="3,40,80",
                        help="play: seconds of play at which to take screenshots (default 3,40,80)")
    parser.add_argument("--chromium", default="/usr/bin/chromium", help="the browser (default /usr/bin/chromium)")
    parser.add_argument("--timeout", type=int, default=900, help="hashes: seconds to wait (default 900)")
    parser.add_argument("--query", default="", help="extra query, e.g. present=webgl")
    parser.add_argument("--size", default="1024x792",
                        help="window size (default 1024x792: the canvas shows 1:1 above the status line)")
    args = parser.parse_args()

    try:
        seconds = [int(s) for s in args.seconds.split(",") if s]
    except ValueError:
        parser.error(f"--seconds {args.seconds}: not a list of whole seconds")
    if not os.access(args.chromium, os.X_OK):
        print(f"{PROG}: error: no browser at {args.chromium}", file=sys.stderr)
        return 1
    try:
        width, height = (int(v) for v in args.size.split("x"))
    except ValueError:
        parser.error(f"--size {args.size}: not WIDTHxHEIGHT")
    os.makedirs(args.out, exist_ok=True)

    browser = None
    try:
        browser = Browser(args.chromium, width, height)
        query = [q for q in [args.query] if q]
        if args.mode == "play":
            url = args.url + ("?" + "&".join(query) if query else "")
            summary = {"shots": play(browser, url, seconds, args.out)}
            summary["escape"] = press_escape(browser)
        else:
            url = args.url + "?" + "&".join(["hashes=1"] + query)
            summary = hashes(browser, url, args.out, args.timeout)
        summary["console"] = browser.console[-200:]
        with open(os.path.join(args.out, f"{args.mode}.json"), "w") as f:
            json.dump(summary, f, indent=1)
        errors = [line for line in browser.console if line.startswith("exception")]
        if errors:
            print(f"{PROG}: the page threw: {errors[0]}", file=sys.stderr)
            return 1
        return 0
    except (CheckError, OSError) as e:
        print(f"{PROG}: error: {e}", file=sys.stderr)
        return 1
    finally:
        if browser is not None:
            browser.close()


if __name__ == "__main__":
    sys.exit(main())
