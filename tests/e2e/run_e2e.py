#!/usr/bin/env python3
"""End-to-end tests of the Meravel calculator.

Each scenario starts its own X server (Xvfb, on a display number the server
picks itself, so parallel runs never collide), starts the real program and
drives it only through the keyboard, as a user would: keys go to the focused
window through the XTEST extension (xdotool). On Linux a field is read the way
a user copies it: Tab to it, Ctrl+A, Ctrl+C, then the clipboard is read
(xclip). Under Wine the clipboard's hand-over to X is not reliable enough for
that, so a small console program run beside the calculator reads the fields
by their identifiers (tests/e2e/field_probe), without touching the focus.

One table of scenarios serves both front ends:
  --frontend qt     the Linux program, under the openbox window manager;
  --frontend win32  meravel.exe under Wine, in a French Windows, with no
                    window manager (Wine draws and handles its own windows).
                    Each scenario runs in its own copy of the prefix made by
                    scripts/wine-prefix.sh, at a DPI; each window is measured.

    run_e2e.py PATH/TO/meravel [--scenario NAME ...] [--artifacts DIR]
    run_e2e.py --frontend win32 --wine-prefix DIR --field-probe PROBE.exe [--dpi N] PATH/TO/meravel.exe

Every process started here is ended on the way out, and also dies with this
script if it is killed (PR_SET_PDEATHSIG).
"""

import argparse
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

ADVICE = "Le risque peut justifier l'amniocentèse"

# The fields in tab order. The spin arrows beside the weeks and the menu bar
# are not tab stops, and Tab from the last field comes back to the first.
TAB_ORDER = ["IDC_AGE", "IDC_FORMULA", "IDC_WEEKS", "IDC_TERM_RISK", "IDC_GEST_RISK", "IDC_ADVICE"]
# The identifiers of the fields, for the Windows field probe.
FIELD_IDS = {"IDC_AGE": 1001, "IDC_TERM_RISK": 1002, "IDC_GEST_RISK": 1003, "IDC_WEEKS": 1004, "IDC_ADVICE": 1007,
             "IDC_DELIVERY_AGE": 1012}
# The fields whose text can be selected and copied (all but the formula list).
TEXT_FIELDS = ["IDC_AGE", "IDC_WEEKS", "IDC_TERM_RISK", "IDC_GEST_RISK", "IDC_ADVICE"]

MAIN_TITLE = "^Meravel$"
ABOUT_TITLE = "^A propos de Meravel$"

# Each window's client area in dialog units (res/dialog_templates.cpp), and
# the pixels a dialog unit takes at 96 DPI in the dialogs' 8-point font
# (MS Sans Serif's dialog base units, 6 x 13): at any DPI the client area
# measures in proportion, within a tenth (the font's own rounding).
DIALOG_UNITS = {"Meravel": (202, 117), "A propos de Meravel": (217, 97),
                "Âge à la date prévue d'accouchement": (212, 148), "Courbe du risque à terme": (300, 204)}
UNIT_PIXELS_AT_96 = (6 / 4, 13 / 8)

# How long a step may take before it counts as failed. Generous: the tests
# may share a loaded machine; they never assert a duration.
START_TIMEOUT = 60.0
STEP_TIMEOUT = 10.0
# How long a copy of an empty field is given to prove it copied nothing.
EMPTY_GRACE = 1.0

WINE_ENV = {
    "WINEARCH": "win64",
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
    "LANG": "fr_FR.UTF-8",
    "LC_ALL": "fr_FR.UTF-8",
}
# The files of a prefix that Wine only reads once the prefix is made: a
# scenario's copy links them instead of copying 700 MB.
WINE_READ_ONLY = (".dll", ".exe", ".drv", ".sys", ".ocx", ".tlb", ".cpl", ".acm", ".ax", ".ds", ".nls",
                  ".ttf", ".fon", ".msstyles", ".mui")


class Failure(Exception):
    pass


def _die_with_parent():
    """In the child: be killed when this script ends, however it ends."""
    libc = ctypes.CDLL(None, use_errno=True)
    PR_SET_PDEATHSIG = 1
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


_START = time.monotonic()


def log(message):
    print("[%6.1f s] %s" % (time.monotonic() - _START, message), flush=True)


def end_cleanly_on_sigterm():
    """ctest's timeout or the user interrupting: clean up as for any failure."""
    def interrupted(signum, _frame):
        raise KeyboardInterrupt("signal %d" % signum)
    signal.signal(signal.SIGTERM, interrupted)


def passes_in_session(name, what, start, body):
    """body(session) in a session start(workdir) makes, in a folder of its
    own; the session is closed whatever happens. A Failure is logged as what
    failed, with a screenshot and the program's output named after name.
    True when it passed."""
    with tempfile.TemporaryDirectory(prefix="meravel-%s-" % name) as workdir:
        session = None
        try:
            session = start(workdir)
            body(session)
            return True
        except Failure as failure:
            log("not ok - %s: %s" % (what, failure))
            if session:
                session.report_failure("%s-failure" % name)
            return False
        finally:
            if session:
                session.close()


def _link_or_copy(src, dst):
    if src.lower().endswith(WINE_READ_ONLY):
        try:
            os.link(src, dst)
            return dst
        except OSError:
            pass
    return shutil.copy2(src, dst)


class Session:
    """An X server, a window manager (qt) or a Wine prefix (win32), and the
    tools that act on them."""

    def __init__(self, workdir, artifacts, frontend, wine_prefix=None, field_probe=None, dpi=96):
        self.workdir = workdir
        self.dpi = dpi
        self.field_probe = field_probe
        self.artifacts = artifacts
        self.frontend = frontend
        self.processes = []
        self.logs = {}
        self.clipboard_owners = []
        home = os.path.join(workdir, "home")
        runtime = os.path.join(workdir, "runtime")
        os.makedirs(home, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)

        self.display = self._start_xvfb()
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "XAUTHORITY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS")
               and not k.startswith(("QT_", "WINE"))}
        env.update({
            "DISPLAY": self.display,
            "HOME": home,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "QT_QPA_PLATFORM": "xcb",
        })
        self.env = env
        if frontend == "win32":
            # A copy of the prepared prefix has a wineserver of its own (Wine
            # keys it by the prefix folder), so scenarios may run in parallel;
            # the server's socket folder goes under TMPDIR, here.
            prefix = os.path.join(workdir, "wine-prefix")
            shutil.copytree(wine_prefix, prefix, symlinks=True, copy_function=_link_or_copy,
                            ignore=lambda d, names: ["wineserver"] if d == wine_prefix else [])
            os.makedirs(os.path.join(workdir, "tmp"))
            env.update(WINE_ENV, WINEPREFIX=prefix, TMPDIR=os.path.join(workdir, "tmp"))
            # What the display settings' scale writes; Wine reads it as it
            # starts.
            self.tool(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                       "/d", str(dpi), "/f"], timeout=START_TIMEOUT)
        else:
            self._start_window_manager()

    # -- processes ---------------------------------------------------------

    def spawn(self, name, argv, **kwargs):
        logfile = open(os.path.join(self.workdir, name + ".log"), "wb")
        self.logs[name] = logfile.name
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=logfile, stderr=subprocess.STDOUT,
                                   preexec_fn=_die_with_parent, **kwargs)
        logfile.close()
        self.processes.append(process)
        return process

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        try:
            # A 1280 x 1024 screen at 96 DPI, as large again in proportion at
            # a higher DPI: the windows have the same room around them.
            screen = "%dx%dx24" % (1280 * self.dpi // 96, 1024 * self.dpi // 96)
            self.spawn("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen,
                                "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        finally:
            os.close(write_end)
        number = b""
        deadline = time.monotonic() + START_TIMEOUT
        try:
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(0.0, remaining))
                if not ready:
                    raise Failure("Xvfb did not report its display number within %.0f s" % START_TIMEOUT)
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise Failure("Xvfb ended before reporting its display number:\n" + self._read_log("xvfb"))
                number += chunk
        finally:
            os.close(read_end)
        return ":" + number.decode().strip()

    def _start_window_manager(self):
        self.spawn("openbox", ["openbox", "--sm-disable", "--config-file", os.path.join(HERE, "openbox-rc.xml")],
                   env=self.env)
        # The window manager is ready once it has announced itself on the root
        # window.
        self.wait_for("the window manager to start",
                      lambda: re.search(r"window id # 0x[0-9a-f]+",
                                        self.tool(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)),
                      START_TIMEOUT)

    def launch_argv(self, exe):
        return ["wine", exe] if self.frontend == "win32" else [exe]

    def close(self):
        # The X clients first, Wine's own processes (not children of this
        # script) through their wineserver, the X server last.
        processes = self.clipboard_owners + self.processes[::-1]
        for process in processes[:-1]:
            if process.poll() is None:
                process.terminate()
        if self.frontend == "win32":
            for argv in (["wineserver", "-k"], ["wineserver", "-w"]):
                try:
                    subprocess.run(argv, env=self.env, timeout=STEP_TIMEOUT, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)
                except subprocess.TimeoutExpired:
                    log("# the wineserver did not end within %.0f s" % STEP_TIMEOUT)
        processes[-1].terminate()
        for process in processes:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def _read_log(self, name):
        try:
            with open(self.logs[name], "rb") as f:
                return f.read().decode(errors="replace")
        except (KeyError, OSError):
            return ""

    # -- tools -------------------------------------------------------------

    def tool(self, argv, check=True, input_bytes=None, timeout=STEP_TIMEOUT, binary=False):
        try:
            result = subprocess.run(argv, env=self.env, input=input_bytes, capture_output=True, timeout=timeout,
                                    preexec_fn=_die_with_parent)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not finish within %.0f s" % (" ".join(argv), timeout))
        if check and result.returncode != 0:
            raise Failure("%s failed (%d): %s" % (" ".join(argv), result.returncode,
                                                  result.stderr.decode(errors="replace").strip()))
        return result.stdout if binary else result.stdout.decode(errors="replace")

    def wait_for(self, what, predicate, timeout=STEP_TIMEOUT, interval=0.05):
        deadline = time.monotonic() + timeout
        while True:
            value = predicate()
            if value:
                return value
            if time.monotonic() > deadline:
                raise Failure("timed out after %.0f s waiting for %s" % (timeout, what))
            time.sleep(interval)

    def key(self, *keys):
        self.tool(["xdotool", "key", "--delay", "40"] + list(keys))

    def type_text(self, text):
        self.tool(["xdotool", "type", "--delay", "60", text])

    def visible_windows(self, title):
        out = self.tool(["xdotool", "search", "--all", "--onlyvisible", "--name", title], check=False)
        return [int(w) for w in out.split()]

    def active_window(self):
        # Without a window manager there is no _NET_ACTIVE_WINDOW: Wine gives
        # the X input focus to the window it activates.
        command = "getwindowfocus" if self.frontend == "win32" else "getactivewindow"
        out = self.tool(["xdotool", command], check=False).strip()
        return int(out) if out.isdigit() else None

    # -- clipboard ---------------------------------------------------------

    def clipboard(self):
        return self.tool(["xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"], check=False,
                         binary=True).decode("utf-8", errors="replace")

    def set_clipboard(self, text):
        # xclip stays in the foreground (-quiet), a child of this script, and
        # owns the selection until the program takes it over with a copy; it
        # then ends by itself.
        self.clipboard_owners = [p for p in self.clipboard_owners if p.poll() is None]
        owner = subprocess.Popen(["xclip", "-quiet", "-i", "-selection", "clipboard"], env=self.env,
                                 stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 preexec_fn=_die_with_parent)
        self.clipboard_owners.append(owner)
        owner.stdin.write(text.encode())
        owner.stdin.close()
        self.wait_for("the clipboard to hold %r" % text, lambda: self.clipboard() == text)

    def screenshot(self, name):
        if not self.artifacts:
            return None
        os.makedirs(self.artifacts, exist_ok=True)
        path = os.path.join(self.artifacts, name + ".png")
        self.tool(["import", "-window", "root", path], check=False, timeout=30)
        return path if os.path.exists(path) else None

    def report_failure(self, shot_name):
        """After a failure: a screenshot of the display and what the
        program printed."""
        shot = self.screenshot(shot_name)
        if shot:
            log("# screenshot: %s" % shot)
        for name in self.logs:
            text = self._read_log(name).strip()
            if text and name.startswith("meravel"):
                log("# %s output:\n%s" % (name, text))


class Calculator:
    """One run of the program, and what the user knows of it: which field
    has the focus, moved only by the keys the test presses."""

    def __init__(self, session, exe):
        self.session = session
        self.name = "meravel-%d" % (len(session.processes))
        started = time.monotonic()
        self.process = session.spawn(self.name, session.launch_argv(exe), env=session.env)
        self.window = session.wait_for(
            "the window titled Meravel to be shown",
            lambda: self._alive() and next(iter(session.visible_windows(MAIN_TITLE)), None),
            START_TIMEOUT)
        self.wait_active(self.window, "the calculator")
        log("# window shown and focused %.2f s after the start" % (time.monotonic() - started))
        self.check_layout("Meravel")
        self.focus = "IDC_AGE"
        self._reads = 0

    def _alive(self):
        if self.process.poll() is not None:
            raise Failure("the program ended (exit code %d) before showing its window:\n%s"
                          % (self.process.returncode, self.session._read_log(self.name)))
        return True

    def wait_active(self, window, what):
        focused = {window}
        if self.session.frontend == "win32":
            # With no window manager, Wine does not always move the X focus
            # from the calculator to a dialog it opens, though it makes the
            # dialog the active window and sends it the keys. The key then
            # pressed to close the dialog shows where the keys went: in the
            # calculator, it would end the program.
            focused.add(self.window)
        self.session.wait_for("%s (window %d) to have the keyboard focus" % (what, window),
                              lambda: self._alive() and self.session.active_window() in focused)

    # -- keyboard ----------------------------------------------------------

    def key(self, *keys):
        self._alive()
        self.session.key(*keys)

    def goto(self, field):
        """Tab (or Shift+Tab, whichever is shorter) from the focused field to
        the given one."""
        here, there = TAB_ORDER.index(self.focus), TAB_ORDER.index(field)
        forward = (there - here) % len(TAB_ORDER)
        if forward == 0:
            return
        if forward <= len(TAB_ORDER) // 2:
            self.key(*["Tab"] * forward)
        else:
            self.key(*["shift+Tab"] * (len(TAB_ORDER) - forward))
        self.focus = field

    def probe(self, fields, window=None):
        """win32: the fields' texts, read by their identifiers, in the
        calculator or in the window with this title."""
        lines = self.probe_lines((["--window", window] if window else []) + [str(FIELD_IDS[f]) for f in fields],
                                 len(fields) + 1, ", ".join(fields))
        return dict(zip(fields, lines))

    def probe_lines(self, args, count, what):
        """win32: the field probe's lines, at least count of them."""
        def attempt():
            # Now and then a Wine program fails to start while the wineserver
            # is busy: the read is tried again until the step's time is up.
            self._alive()
            try:
                out = self.session.tool(["wine", self.session.field_probe] + args)
            except Failure as failure:
                log("# field probe: %s" % failure)
                return None
            lines = out.replace("\r\n", "\n").split("\n")
            return lines if len(lines) >= count else None
        return self.session.wait_for("the field probe to read %s" % what, attempt)

    def layout(self, title):
        lines = [line.split() for line in self.probe_lines(["--layout", "--window", title], 3, title)]
        window, client = ([int(v) for v in f[1:5]] for f in lines[:2])
        return window, client, [(f[2], int(f[3], 16), [int(v) for v in f[4:8]]) for f in lines[2:] if f]

    def check_layout(self, title, beside=False):
        """win32: the window's client area in proportion to the DPI, controls
        apart (layout: the window's, client area's and controls' rectangles)."""
        if self.session.frontend != "win32":
            return
        window, client, controls = self.layout(title)
        size = (client[2] - client[0], client[3] - client[1])
        for pixels, units, unit in zip(size, DIALOG_UNITS[title], UNIT_PIXELS_AT_96):
            if abs(pixels / (units * unit * self.session.dpi / 96) - 1) > 0.1:
                raise Failure("%s: client area %r at %d DPI, not in proportion" % (title, size, self.session.dpi))
        # Group boxes frame other controls; an up-down control sits on the
        # edge of its field, just before it.
        apart = [(kind, rect) for kind, style, rect in controls if not (kind == "Button" and style & 0xF == 7)]
        for i, (kind, rect) in enumerate(apart):
            for other_kind, other in apart[:i - 1 if kind == "msctls_updown32" else i]:
                if overlaps(rect, other):
                    raise Failure("%s: control %r %r over %r %r" % (title, kind, rect, other_kind, other))
        covered = [rect for _, _, rect in self.layout("Meravel")[2] if overlaps(window, rect)] if beside else []
        if covered:
            raise Failure("%s %r covers %d of the calculator's controls" % (title, window, len(covered)))

    def read(self, field):
        """The field's text as the user copies it: Ctrl+A, Ctrl+C, paste."""
        if self.session.frontend == "win32":
            return self.probe([field])[field]
        self.goto(field)
        self._reads += 1
        sentinel = "e2e-clipboard-sentinel-%d-%d" % (os.getpid(), self._reads)
        self.session.set_clipboard(sentinel)
        self.key("ctrl+a", "ctrl+c")
        # An empty field copies nothing: the clipboard keeps the sentinel. The
        # copy of a filled field arrives within milliseconds; the grace period
        # leaves a wide margin, and a later read of the next field checks the
        # keys were indeed taken in (see read_all).
        deadline = time.monotonic() + EMPTY_GRACE
        while True:
            text = self.session.clipboard()
            if text != sentinel:
                return text
            if time.monotonic() > deadline:
                return ""
            time.sleep(0.05)

    def clipboard(self):
        """What a paste would give: the X clipboard (qt), or the Windows
        clipboard read by the probe (win32)."""
        if self.session.frontend == "qt":
            return self.session.clipboard()
        self._alive()
        out = self.session.tool(["wine", self.session.field_probe, "--clipboard"], check=False)
        return out.replace("\r\n", "\n").rstrip("\n")

    def read_all(self):
        """Every text field, in tab order from the focused one."""
        if self.session.frontend == "win32":
            return self.probe(TEXT_FIELDS)
        start = TAB_ORDER.index(self.focus)
        values = {}
        for i in range(len(TAB_ORDER)):
            field = TAB_ORDER[(start + i) % len(TAB_ORDER)]
            if field in TEXT_FIELDS:
                values[field] = self.read(field)
        return values

    # -- ending ------------------------------------------------------------

    def wait_exit(self, how):
        try:
            code = self.process.wait(timeout=STEP_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the program was still running %.0f s after %s" % (STEP_TIMEOUT, how))
        if code != 0:
            raise Failure("the program ended with exit code %d after %s (expected 0):\n%s"
                          % (code, how, self.session._read_log(self.name)))
        if self.session.visible_windows(MAIN_TITLE):
            raise Failure("a window titled Meravel is still shown after the program ended")


def overlaps(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


# -- the scenario table ----------------------------------------------------
#
# A scenario is a list of steps. A step is what the user does (keys, text
# typed, fields moved to), then what must follow: figures in the fields, the
# About box opening and closing, or the program ending with exit code 0. A
# step flagged with a front end runs only there. The next step after an end
# starts the program again.

class At:
    """Move the focus to a field, by Tab or Shift+Tab."""
    def __init__(self, field):
        self.field = field


class Text:
    """Type text, a key per character."""
    def __init__(self, text):
        self.text = text


class Command:
    """Run a command on the display (the window manager's close)."""
    def __init__(self, *argv):
        self.argv = list(argv)


class About:
    """The keys open the About box, close_key closes it, the fields are kept."""
    def __init__(self, close_key, inside=(), clipboard=None):
        self.close_key, self.inside, self.clipboard = close_key, inside, clipboard


class Clipboard:
    """The keys put this text on the clipboard."""
    def __init__(self, text):
        self.text = text


class Window:
    """The keys open a window with this title; close_key closes it (and the
    calculator has the focus again)."""
    def __init__(self, title, close_key, inside=(), clipboard=None, beside=False):
        self.title, self.close_key, self.inside, self.clipboard = title, close_key, inside, clipboard
        self.beside = beside


class DeliveryAge:
    """The keys open the dates' window, which opens on dates of its own
    choosing; the age it shows for them is read, Enter accepts it, and the
    calculator's age field then holds it, with the figures in `then`."""
    def __init__(self, title, then):
        self.title, self.then = title, then


ENDS = "ends"

ODDS = re.compile(r"1/[1-9][0-9]*")


class Odds:
    """A figure 1/N; remembered under a name, the same as a remembered one,
    or different from remembered ones (or from given texts)."""
    def __init__(self, save=None, same=None, differs=()):
        self.save, self.same, self.differs = save, same, differs

    def check(self, got, memory):
        if not ODDS.fullmatch(got):
            return "a figure 1/N"
        if self.same is not None and got != memory[self.same]:
            return "%s, the figure at %s" % (memory[self.same], self.same)
        for other in self.differs:
            if got == memory.get(other, other):
                return "a figure other than %s (%s)" % (memory.get(other, other), other)
        if self.save:
            memory[self.save] = got
        return None


def step(what, inputs, then, only=None):
    return {"what": what, "inputs": inputs, "then": then, "only": only}


def age(text):
    return [At("IDC_AGE"), "ctrl+a", Text(text)]


def weeks(*inputs):
    return [At("IDC_WEEKS")] + list(inputs)


# Figures at 2 weeks, Cuckle then Hecht.
AGE_37 = {"IDC_TERM_RISK": "0.47% soit 1/214", "IDC_GEST_RISK": "1/47", "IDC_ADVICE": ADVICE}
AGE_37_HECHT = {"IDC_TERM_RISK": "0.42% soit 1/239", "IDC_GEST_RISK": "1/52", "IDC_ADVICE": ADVICE}
AGE_25 = {"IDC_TERM_RISK": "0.07% soit 1/1408", "IDC_GEST_RISK": "1/309", "IDC_ADVICE": ""}
AGE_25_HECHT = {"IDC_TERM_RISK": "0.07% soit 1/1348", "IDC_GEST_RISK": "1/295", "IDC_ADVICE": ""}
NO_FIGURES = {"IDC_TERM_RISK": "Erreur", "IDC_GEST_RISK": "", "IDC_ADVICE": ""}

SCENARIOS = {
    # The figures the window opens with, read from the last field back to the
    # first, so that each empty read is followed by a read of a filled field
    # through the same Tab chain; then Escape ends it.
    "opening": [
        step("the window opens with age 25, weeks 2, 0.07% soit 1/1408, 1/309 and no advice", [],
             {"IDC_ADVICE": "", "IDC_GEST_RISK": "1/309", "IDC_TERM_RISK": "0.07% soit 1/1408",
              "IDC_WEEKS": "2", "IDC_AGE": "25"}),
        step("Escape", ["Escape"], ENDS),
    ],

    # Typing, the formula list (Down from Cuckle is Hecht, Up from Hecht is
    # Cuckle), the weeks spin, invalid ages and the About box, in one run.
    "keyboard": [
        step("typing 37 replaces the selected opening age", [Text("37")], dict(AGE_37, IDC_AGE="37")),
        step("age 37, Down in the formula list", [At("IDC_FORMULA"), "Down"], dict(AGE_37_HECHT, IDC_AGE="37")),
        step("age 25, Hecht", age("25"), dict(AGE_25_HECHT, IDC_AGE="25")),
        step("age 25, Up in the formula list", [At("IDC_FORMULA"), "Up"], dict(AGE_25, IDC_AGE="25")),
        step("age 17", age("17"), dict(NO_FIGURES, IDC_AGE="17")),
        step("age 46", age("46"), dict(NO_FIGURES, IDC_AGE="46")),
        step("age 37", age("37"), dict(AGE_37, IDC_AGE="37")),
        step("age 25", age("25"), dict(AGE_25, IDC_AGE="25")),
        # The weeks spin, by the arrow keys in the weeks field.
        step("Up in the weeks field steps to 3 weeks and a new figure", weeks("Up"),
             {"IDC_WEEKS": "3", "IDC_GEST_RISK": Odds(save="3 weeks", differs=["1/309"])}),
        step("Down steps back to 2 weeks and 1/309", weeks("Down"),
             {"IDC_WEEKS": "2", "IDC_GEST_RISK": "1/309", "IDC_TERM_RISK": "0.07% soit 1/1408"}),
        # The ends of the range: no wrap.
        step("Down steps to 1 week", weeks("Down"), {"IDC_WEEKS": "1", "IDC_GEST_RISK": ODDS}),
        step("Down at 1 week stays at 1", weeks("Down"), {"IDC_WEEKS": "1", "IDC_GEST_RISK": ODDS}),
        step("Up 45 times stops at 42 weeks", weeks(*["Up"] * 45), {"IDC_WEEKS": "42", "IDC_GEST_RISK": ODDS}),
        step("Up at 42 weeks stays at 42", weeks("Up"), {"IDC_WEEKS": "42", "IDC_GEST_RISK": ODDS}),
        step("Down 39 times from 42 comes to 3 weeks and its figure again", weeks(*["Down"] * 39),
             {"IDC_WEEKS": "3", "IDC_GEST_RISK": Odds(same="3 weeks")}),
        # The weeks field takes digits only.
        step("letters and signs typed into the weeks field are refused", weeks("ctrl+a", Text("x-")),
             {"IDC_WEEKS": "3"}),
        # A state other than the opening one, kept across the About box.
        step("age 37, Hecht, 3 weeks", age("37") + [At("IDC_FORMULA"), "Down"],
             {"IDC_TERM_RISK": "0.42% soit 1/239", "IDC_WEEKS": "3", "IDC_GEST_RISK": ODDS}),
        step("Alt+O, I", [At("IDC_ADVICE"), "alt+o", "i"], About("Return")),
        # The About item appended, after a separator, at the end of the system
        # menu: Up from its first item comes round to it.
        step("the system menu's last item (Alt+Space, Up, Enter)", ["alt+space", "Up", "Return"], About("Escape"),
             only="win32"),
        step("Enter in the weeks field", [At("IDC_WEEKS"), "Return"], ENDS),
    ],

    # Numbers typed into the weeks field: within the range they count at
    # once, out of it there is no gestational figure, and the field keeps what
    # was typed.
    "weeks_typing": [
        step("age 37, 20 typed over the selected weeks", [Text("37")] + weeks("ctrl+a", Text("20")),
             {"IDC_AGE": "37", "IDC_WEEKS": "20", "IDC_GEST_RISK": "1/181"}),
        step("50 typed over 20 weeks", weeks("ctrl+a", Text("50")), {"IDC_WEEKS": "50", "IDC_GEST_RISK": ""}),
        step("age 38 with 50 weeks", age("38"), {"IDC_AGE": "38", "IDC_WEEKS": "50", "IDC_GEST_RISK": ""}),
        step("Down in the weeks field holding 50", weeks("Down"),
             {"IDC_WEEKS": "4", "IDC_GEST_RISK": Odds(save="4 weeks")}),
        step("Up to 5 weeks", weeks("Up"), {"IDC_WEEKS": "5", "IDC_GEST_RISK": Odds(differs=["4 weeks"])}),
        step("Up twice to 7 weeks", weeks("Up", "Up"),
             {"IDC_WEEKS": "7", "IDC_GEST_RISK": Odds(save="7 weeks", differs=["4 weeks"])}),
        step("Down thrice back to 4 weeks", weeks("Down", "Down", "Down"),
             {"IDC_WEEKS": "4", "IDC_GEST_RISK": Odds(same="4 weeks")}),
        step("07 typed over 4 weeks", weeks("ctrl+a", Text("07")),
             {"IDC_WEEKS": "07", "IDC_GEST_RISK": Odds(same="7 weeks"), "IDC_AGE": "38"}),
        step("Escape", ["Escape"], ENDS),
    ],

    # The tools of the Outils menu.
    # In each window F1 opens no About box (one in the About box), and
    # Ctrl+Shift+C copies the summary, which gives the age as read; the curve
    # window opens beside the calculator, over none of its controls.
    "tools": [
        step("age 37 typed", [Text("37")], {"IDC_AGE": "37", "IDC_TERM_RISK": "0.47% soit 1/214"}),
        step("Ctrl+Shift+C copies the summary for the patient record", ["ctrl+shift+c"],
             Clipboard("Âge maternel 37 ans · Cuckle · à terme 0.47% soit 1/214 · à 2 SA 1/47 · "
                       "Le risque peut justifier l'amniocentèse · Meravel 1.0.0.1")),
        step("age 3.7e1, Hecht; Outils > Courbe du risque (Alt+U, R): F1, Ctrl+Shift+C there; Escape",
             age("3.7e1") + [At("IDC_FORMULA"), "Down", "alt+u", "r"],
             Window("^Courbe du risque à terme$", "Escape", ["F1", "ctrl+shift+c"],
                    "Âge maternel 37 ans · Hecht · à terme 0.42% soit 1/239 · à 2 SA 1/52 · "
                    "Le risque peut justifier l'amniocentèse · Meravel 1.0.0.1", beside=True)),
        step("age 25.0, Cuckle; Outils > Âge à l'accouchement (Alt+U, G): F1, Ctrl+Shift+C there; "
             "Annuler by Escape", age("25.0") + [At("IDC_FORMULA"), "Up", "alt+u", "g"],
             Window("^Âge à la date prévue d'accouchement$", "Escape", ["F1", "ctrl+shift+c"], "Âge maternel 25 ans · "
                    "Cuckle · à terme 0.07% soit 1/1408 · à 2 SA 1/309 · Meravel 1.0.0.1")),
        step("the age is unchanged after Annuler", [], {"IDC_AGE": "25.0", "IDC_TERM_RISK": "0.07% soit 1/1408"}),
        step("F1, then F1 in the About box; Escape", ["F1"], About("Escape", ["F1"])),
        # It opens on a delivery 140 days ahead, whatever the day: 21 SA + 0 j,
        # whose 21 weeks OK types into the weeks field too.
        step("Outils > Âge à l'accouchement, OK by Enter: the age it shows goes into the age field and "
             "recalculates", ["alt+u", "g"],
             DeliveryAge("^Âge à la date prévue d'accouchement$",
                         {"IDC_TERM_RISK": re.compile(r"0\.[0-9]{2}% soit 1/[0-9]+"), "IDC_ADVICE": "",
                          "IDC_WEEKS": "21", "IDC_GEST_RISK": ODDS})),
        step("Escape", ["Escape"], ENDS),
    ],

    # The ways to end the program, each in a run of its own.
    "exit": [
        step("Enter in the age field", [At("IDC_AGE"), "Return"], ENDS),
        step("Enter in the formula list", [At("IDC_FORMULA"), "Return"], ENDS),
        step("keypad Enter in the advice field", [At("IDC_ADVICE"), "KP_Enter"], ENDS),
        step("Escape in the gestational field", [At("IDC_GEST_RISK"), "Escape"], ENDS),
        step("Options > Quitter (Alt+O, Q)", ["alt+o", "q"], ENDS),
        step("Ctrl+Q, the Linux desktops' quit key", ["ctrl+q"], ENDS, only="qt"),
        step("Alt+F4 in the weeks field", [At("IDC_WEEKS"), "alt+F4"], ENDS),
        step("the window manager's close (_NET_CLOSE_WINDOW, wmctrl -c)",
             [Command("wmctrl", "-F", "-c", "Meravel")], ENDS, only="qt"),
        # The close box's counterpart, the system menu's Fermer.
        step("the system menu's Fermer (Alt+Space, F)", ["alt+space", "f"], ENDS, only="win32"),
    ],
}


# -- running the table -----------------------------------------------------

def do(calc, inputs):
    keys = []
    for item in inputs + [None]:
        if isinstance(item, str):
            keys.append(item)
            continue
        if keys:
            calc.key(*keys)
            keys = []
        if isinstance(item, At):
            calc.goto(item.field)
        elif isinstance(item, Text):
            calc._alive()
            calc.session.type_text(item.text)
        elif isinstance(item, Command):
            calc.session.tool(item.argv)


def expect(calc, expected, what, memory):
    """Reads the given fields and compares them all, reporting every
    difference at once."""
    differences = []
    for field, want in expected.items():
        got = calc.read(field)
        if isinstance(want, Odds):
            wanted = want.check(got, memory)
        elif isinstance(want, re.Pattern):
            wanted = None if want.fullmatch(got) else want.pattern
        else:
            wanted = None if got == want else want
        if wanted is not None:
            differences.append("  %s: expected %r, shows %r" % (field, wanted, got))
    if differences:
        raise Failure("%s:\n%s" % (what, "\n".join(differences)))
    log("ok - %s" % what)


def press_inside(calc, then, abouts):
    """Keys pressed in a window: then `abouts` About boxes, and the clipboard."""
    if then.inside:
        calc.key(*then.inside)
        time.sleep(EMPTY_GRACE)
        if len(calc.session.visible_windows(ABOUT_TITLE)) != abouts:
            raise Failure("not %d About boxes after %s" % (abouts, " ".join(then.inside)))
    if then.clipboard is not None:
        calc.session.wait_for("the clipboard to hold %r" % then.clipboard, lambda: calc.clipboard() == then.clipboard)


def about_round_trip(calc, inputs, then, what):
    session = calc.session
    before = calc.read_all()
    do(calc, inputs)
    about = session.wait_for("the About box to open after %s" % what,
                             lambda: calc._alive() and next(iter(session.visible_windows(ABOUT_TITLE)), None))
    calc.wait_active(about, "the About box")
    calc.check_layout("A propos de Meravel")
    press_inside(calc, then, 1)
    calc.key(then.close_key)
    session.wait_for("the About box to close after %s" % then.close_key,
                     lambda: calc._alive() and not session.visible_windows(ABOUT_TITLE))
    calc.wait_active(calc.window, "the calculator, after the About box")
    after = calc.read_all()
    if after != before:
        raise Failure("the fields changed across the About box (%s, then %s):\n  before %r\n  after  %r"
                      % (what, then.close_key, before, after))
    log("ok - %s opens the About box, %s closes it, the calculator keeps %r" % (what, then.close_key, after))


def window_round_trip(calc, inputs, then, what):
    session = calc.session
    do(calc, inputs)
    window = session.wait_for("a window titled %s to open after %s" % (then.title, what),
                              lambda: calc._alive() and next(iter(session.visible_windows(then.title)), None))
    calc.wait_active(window, "the window %s" % then.title)
    calc.check_layout(then.title.strip("^$"), then.beside)
    press_inside(calc, then, 0)
    calc.key(then.close_key)
    session.wait_for("the window %s to close after %s" % (then.title, then.close_key),
                     lambda: calc._alive() and not session.visible_windows(then.title))
    calc.wait_active(calc.window, "the calculator, after the window %s" % then.title)
    log("ok - %s" % what)


def delivery_age_round_trip(calc, inputs, then, what, memory):
    session = calc.session
    do(calc, inputs)
    window = session.wait_for("a window titled %s to open after %s" % (then.title, what),
                              lambda: calc._alive() and next(iter(session.visible_windows(then.title)), None))
    calc.wait_active(window, "the window %s" % then.title)
    if session.frontend == "win32":
        title = then.title.strip("^$")
        shown = calc.probe(["IDC_DELIVERY_AGE"], window=title)["IDC_DELIVERY_AGE"]
    else:
        # The focus opens on the date of birth, whose Tab steps through its
        # day, month and year: back from it, past Annuler, OK and the term, is
        # the age.
        calc.key("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab")
        calc._reads += 1
        sentinel = "e2e-clipboard-sentinel-%d-%d" % (os.getpid(), calc._reads)
        session.set_clipboard(sentinel)
        calc.key("ctrl+a", "ctrl+c")
        shown = session.wait_for("the age the window shows to be copied",
                                 lambda: (lambda text: text if text != sentinel else None)(session.clipboard()))
    if not re.fullmatch(r"[0-9]+\.[0-9]{2}", shown):
        raise Failure("the window %s shows the age %r, not a number with two decimals" % (then.title, shown))
    calc.key("Return")
    session.wait_for("the window %s to close after Return" % then.title,
                     lambda: calc._alive() and not session.visible_windows(then.title))
    calc.wait_active(calc.window, "the calculator, after the window %s" % then.title)
    expect(calc, dict(then.then, IDC_AGE=shown), "%s (%s)" % (what, shown), memory)


def run_scenario(session, exe, steps):
    calc = None
    memory = {}
    for s in steps:
        if s["only"] not in (None, session.frontend):
            continue
        if calc is None:
            calc = Calculator(session, exe)
        then = s["then"]
        if isinstance(then, Clipboard):
            do(calc, s["inputs"])
            calc.session.wait_for("the clipboard to hold %r" % then.text, lambda: calc.clipboard() == then.text)
            log("ok - %s" % s["what"])
        elif isinstance(then, Window):
            window_round_trip(calc, s["inputs"], then, s["what"])
        elif isinstance(then, DeliveryAge):
            delivery_age_round_trip(calc, s["inputs"], then, s["what"], memory)
        elif isinstance(then, About):
            about_round_trip(calc, s["inputs"], then, s["what"])
        elif then == ENDS:
            do(calc, s["inputs"])
            calc.wait_exit(s["what"])
            log("ok - %s ends the program with exit code 0" % s["what"])
            calc = None
        else:
            do(calc, s["inputs"])
            expect(calc, then, s["what"], memory)
    if calc is not None:
        raise Failure("the scenario left the program running")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe", help="the meravel executable (meravel.exe for win32)")
    parser.add_argument("--frontend", choices=["qt", "win32"], default="qt")
    parser.add_argument("--wine-prefix", help="win32: a prefix made by scripts/wine-prefix.sh")
    parser.add_argument("--field-probe", help="win32: the field probe, meravel_field_probe.exe")
    parser.add_argument("--dpi", type=int, default=96, help="win32: the DPI of Windows' display settings")
    parser.add_argument("--scenario", action="append", choices=sorted(SCENARIOS),
                        help="run only this scenario (repeatable); all by default")
    parser.add_argument("--artifacts", help="where to save a screenshot when a scenario fails")
    args = parser.parse_args()

    exe = os.path.abspath(args.exe)
    tools = ["Xvfb", "xdotool", "xclip"]
    if args.frontend == "win32":
        tools += ["wine", "wineserver"]
        prefix = os.path.abspath(args.wine_prefix or "")
        if not args.wine_prefix or not os.path.isfile(os.path.join(prefix, "system.reg")):
            log("--wine-prefix must name a prefix made by scripts/wine-prefix.sh")
            return 2
        for path in (exe, args.field_probe or ""):
            if not os.path.isfile(path):
                log("no such file: %r" % path)
                return 2
    else:
        tools += ["openbox", "xprop", "wmctrl"]
        prefix = None
        if not os.access(exe, os.X_OK):
            log("not an executable: %s" % exe)
            return 2
    missing = [t for t in tools if not shutil.which(t)]
    if missing:
        log("missing tools (scripts/install-deps.sh installs them): %s" % " ".join(missing))
        return 2

    end_cleanly_on_sigterm()

    failed = []
    for name in args.scenario or list(SCENARIOS):
        log("# scenario %s (%s)" % (name, args.frontend))

        def start(workdir):
            session = Session(workdir, args.artifacts, args.frontend, prefix,
                              args.field_probe and os.path.abspath(args.field_probe), args.dpi)
            log("# display %s" % session.display)
            return session
        if not passes_in_session("e2e-%s-%s" % (args.frontend, name), "scenario %s" % name, start,
                                 lambda session: run_scenario(session, exe, SCENARIOS[name])):
            failed.append(name)
    if failed:
        log("FAILED: %s" % ", ".join(failed))
        return 1
    log("all scenarios passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
