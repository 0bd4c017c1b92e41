"""Runs the real demo binary from its working directory and talks to it the way a user would:
reads its console, sends keys to its window, takes screenshots, waits for its exit code."""

import ctypes
import ctypes.util
import os
import queue
import shutil
import subprocess
import tempfile
import threading
import time

BINARY = os.environ.get("DEMO_BINARY", "")
SOURCE_DIR = os.environ.get("DEMO_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
WINDOW_TITLE = "Tellmarin..."


def program_env(extra=None):
    """The environment for a program under test: this one with `extra` on top. Under the sanitizers the
    libraries they need preloaded come as PROGRAM_PRELOAD, meant for the program rather than for Python."""
    env = dict(os.environ)
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    if env.get("PROGRAM_PRELOAD"):
        env["LD_PRELOAD"] = env["PROGRAM_PRELOAD"]
    env.update(extra or {})
    return env


def _pump(stream, lines):
    for line in iter(stream.readline, ""):
        lines.put(line)
    stream.close()


class DemoRun:
    """One demo process with command-line `args`; `workdir` is the folder it runs in (normally the
    repository's demo/)."""

    def __init__(self, workdir=None, env=None, args=()):
        self.workdir = workdir or os.path.join(SOURCE_DIR, "demo")
        self.proc = subprocess.Popen([BINARY, *args], cwd=self.workdir, env=program_env(env), stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True, errors="replace")
        self._out, self._err = queue.Queue(), queue.Queue()
        self.stdout, self.stderr = [], []
        for stream, lines in ((self.proc.stdout, self._out), (self.proc.stderr, self._err)):
            threading.Thread(target=_pump, args=(stream, lines), daemon=True).start()

    def _drain(self):
        for lines, kept in ((self._out, self.stdout), (self._err, self.stderr)):
            while True:
                try:
                    kept.append(lines.get_nowait())
                except queue.Empty:
                    break

    def wait_for_line(self, predicate, timeout=60):
        """Waits until a console line (standard output) satisfies `predicate`; returns it or None."""
        deadline = time.monotonic() + timeout
        seen = 0
        while time.monotonic() < deadline:
            self._drain()
            for line in self.stdout[seen:]:
                if predicate(line):
                    return line
            seen = len(self.stdout)
            if self.proc.poll() is not None:
                time.sleep(0.2)
                self._drain()
                return next((l for l in self.stdout[seen:] if predicate(l)), None)
            time.sleep(0.05)
        return None

    def wait_for_frame_rate(self, timeout=120, count=1):
        """Waits for the `count`-th frame-rate line; from the second on, frames have been shown."""
        seen = []

        def is_wanted_one(line):
            if is_frame_rate_line(line):
                seen.append(line)
            return len(seen) >= count

        return self.wait_for_line(is_wanted_one, timeout)

    def frames_after(self, count=2, timeout=120):
        """Waits until the frame rate has been printed `count` more times, so that frames drawn after
        whatever was just done are on the screen."""
        self._drain()
        printed = sum(1 for line in self.stdout if is_frame_rate_line(line))
        return self.wait_for_frame_rate(timeout, count=printed + count)

    def window_id(self):
        out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", WINDOW_TITLE],
                             capture_output=True, text=True, timeout=30).stdout.split()
        return out[0] if out else None

    def key(self, *keys, delay_ms=100):
        """Focuses the window and types the keys (X key names such as F10, Escape, w)."""
        window = self.window_id()
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=30)
        for key in keys:
            subprocess.run(["xdotool", "key", "--delay", str(delay_ms), key], check=True, timeout=30)

    def close_window(self):
        """Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW)."""
        send_close_request(int(self.window_id()))

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], check=True, timeout=60)
        return path

    def wait(self, timeout=60):
        try:
            code = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            raise
        time.sleep(0.2)
        self._drain()
        return code

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def is_frame_rate_line(line):
    try:
        float(line)
    except ValueError:
        return False
    return line.endswith("\n") and "." in line and len(line.strip().split(".")[1]) == 6


def content_copy():
    """A temporary copy of demo/, models/, images/ and sounds/ that a test may damage."""
    root = tempfile.mkdtemp(prefix="demo-content-")
    for folder in ("demo", "models", "images", "sounds"):
        source = os.path.join(SOURCE_DIR, folder)
        if os.path.isdir(source):
            shutil.copytree(source, os.path.join(root, folder))
        else:
            os.makedirs(os.path.join(root, folder))
    return root


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


def send_close_request(window):
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    event = _ClientMessage(type=33, window=window, format=32,  # 33: ClientMessage
                           message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
    event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x11.XCloseDisplay(display)
