#!/usr/bin/env python3
"""End-to-end tests of the Meravel calculator.

Each scenario starts its own X server (Xvfb, on a display number the server
picks itself, so parallel runs never collide) with the openbox window manager,
starts the real program and drives it only through the keyboard, as a user
would: keys go to the focused window through the XTEST extension (xdotool),
and a field is read the way a user copies it: Tab to it, Ctrl+A, Ctrl+C, then
the clipboard is read (xclip). Nothing inside the program is looked at.

    run_e2e.py PATH/TO/meravel [--scenario NAME ...] [--artifacts DIR]

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
# The fields whose text can be selected and copied (all but the formula list).
TEXT_FIELDS = ["IDC_AGE", "IDC_WEEKS", "IDC_TERM_RISK", "IDC_GEST_RISK", "IDC_ADVICE"]

MAIN_TITLE = "^Meravel$"
ABOUT_TITLE = "^A propos de Meravel$"

# How long a step may take before it counts as failed. Generous: the tests
# may share a loaded machine; they never assert a duration.
START_TIMEOUT = 30.0
STEP_TIMEOUT = 10.0
# How long a copy of an empty field is given to prove it copied nothing.
EMPTY_GRACE = 1.0


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


class Session:
    """An X server with a window manager, and the tools that act on it."""

    def __init__(self, workdir, artifacts):
        self.workdir = workdir
        self.artifacts = artifacts
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
               and not k.startswith("QT_")}
        env.update({
            "DISPLAY": self.display,
            "HOME": home,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "QT_QPA_PLATFORM": "xcb",
        })
        self.env = env
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
            self.spawn("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
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

    def close(self):
        # The X clients first, the X server last.
        processes = self.clipboard_owners + self.processes[::-1]
        for process in processes:
            if process.poll() is None:
                process.terminate()
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

    def visible_windows(self, title, pid=None):
        argv = ["xdotool", "search", "--all", "--onlyvisible", "--name", title]
        if pid is not None:
            argv[3:3] = ["--pid", str(pid)]
        out = self.tool(argv, check=False)
        return [int(w) for w in out.split()]

    def active_window(self):
        out = self.tool(["xdotool", "getactivewindow"], check=False).strip()
        return int(out) if out.isdigit() else None

    def window_name(self, window):
        return self.tool(["xdotool", "getwindowname", str(window)], check=False).strip()

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


class Calculator:
    """One run of the program, and what the user knows of it: which field
    has the focus, moved only by the keys the test presses."""

    def __init__(self, session, exe):
        self.session = session
        self.name = "meravel-%d" % (len(session.processes))
        self.process = session.spawn(self.name, [exe], env=session.env)
        self.window = session.wait_for(
            "the window titled Meravel to be shown",
            lambda: self._alive() and next(iter(session.visible_windows(MAIN_TITLE, self.process.pid)), None),
            START_TIMEOUT)
        self.wait_active(self.window, "the calculator")
        self.focus = "IDC_AGE"
        self._reads = 0

    def _alive(self):
        if self.process.poll() is not None:
            raise Failure("the program ended (exit code %d) before showing its window:\n%s"
                          % (self.process.returncode, self.session._read_log(self.name)))
        return True

    def wait_active(self, window, what):
        self.session.wait_for("%s (window %d) to have the keyboard focus" % (what, window),
                              lambda: self._alive() and self.session.active_window() == window)

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

    def type_into(self, field, text):
        self.goto(field)
        self.key("ctrl+a")
        self.session.type_text(text)

    def read(self, field):
        """The field's text as the user copies it: Ctrl+A, Ctrl+C, paste."""
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

    def read_all(self):
        """Every text field, in tab order from the focused one."""
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


# -- checks ----------------------------------------------------------------

def expect(calc, expected, step):
    """Reads the given fields and compares them all, reporting every
    difference at once."""
    differences = []
    for field, want in expected.items():
        got = calc.read(field)
        matches = want.fullmatch(got) if isinstance(want, re.Pattern) else got == want
        if not matches:
            shown = want.pattern if isinstance(want, re.Pattern) else want
            differences.append("  %s: expected %r, shows %r" % (field, shown, got))
    if differences:
        raise Failure("%s:\n%s" % (step, "\n".join(differences)))
    log("ok - %s" % step)


OPENING = {
    "IDC_AGE": "25",
    "IDC_WEEKS": "2",
    "IDC_TERM_RISK": "0.07% soit 1/1408",
    "IDC_GEST_RISK": "1/309",
    "IDC_ADVICE": "",
}


def scenario_opening(session, exe):
    """The figures the window opens with, then Escape ends it."""
    calc = Calculator(session, exe)
    # Read from the last field back to the first, so that each empty read is
    # followed by a read of a filled field through the same Tab chain.
    values = {}
    for field in ["IDC_ADVICE", "IDC_GEST_RISK", "IDC_TERM_RISK", "IDC_WEEKS", "IDC_AGE"]:
        values[field] = calc.read(field)
    differences = ["  %s: expected %r, shows %r" % (f, OPENING[f], values[f]) for f in OPENING if values[f] != OPENING[f]]
    if differences:
        raise Failure("the opening figures:\n" + "\n".join(differences))
    log("ok - the window opens with age 25, weeks 2, 0.07% soit 1/1408, 1/309 and no advice")
    calc.key("Escape")
    calc.wait_exit("Escape")
    log("ok - Escape ends the program with exit code 0")


# Age typed into the field, the formula chosen with the arrow keys from the
# list (Down from Cuckle is Hecht, Up from Hecht is Cuckle), expected figures
# at 2 weeks.
AGE_FORMULA_TABLE = [
    ("37", None, {"IDC_TERM_RISK": "0.47% soit 1/214", "IDC_GEST_RISK": "1/47", "IDC_ADVICE": ADVICE}),
    ("37", "Down", {"IDC_TERM_RISK": "0.42% soit 1/239", "IDC_GEST_RISK": "1/52", "IDC_ADVICE": ADVICE}),
    ("25", None, {"IDC_TERM_RISK": "0.07% soit 1/1348", "IDC_GEST_RISK": "1/295", "IDC_ADVICE": ""}),
    ("25", "Up", {"IDC_TERM_RISK": "0.07% soit 1/1408", "IDC_GEST_RISK": "1/309", "IDC_ADVICE": ""}),
    ("17", None, {"IDC_TERM_RISK": "Erreur", "IDC_GEST_RISK": "", "IDC_ADVICE": ""}),
    ("46", None, {"IDC_TERM_RISK": "Erreur", "IDC_GEST_RISK": "", "IDC_ADVICE": ""}),
    ("37", None, {"IDC_TERM_RISK": "0.47% soit 1/214", "IDC_GEST_RISK": "1/47", "IDC_ADVICE": ADVICE}),
    ("25", None, {"IDC_TERM_RISK": "0.07% soit 1/1408", "IDC_GEST_RISK": "1/309", "IDC_ADVICE": ""}),
]

ODDS = re.compile(r"1/[1-9][0-9]*")


def check_about_round_trip(calc, open_keys, close_key, how):
    session = calc.session
    before = calc.read_all()
    calc.key(*open_keys)
    about = session.wait_for("the About box to open after %s" % how,
                             lambda: calc._alive() and next(iter(session.visible_windows(ABOUT_TITLE)), None))
    calc.wait_active(about, "the About box")
    calc.key(close_key)
    session.wait_for("the About box to close after %s" % close_key,
                     lambda: calc._alive() and not session.visible_windows(ABOUT_TITLE))
    calc.wait_active(calc.window, "the calculator, after the About box")
    after = calc.read_all()
    if after != before:
        raise Failure("the fields changed across the About box (%s, then %s):\n  before %r\n  after  %r"
                      % (how, close_key, before, after))
    log("ok - %s opens the About box, %s closes it, the calculator keeps %r" % (how, close_key, after))


def scenario_keyboard(session, exe):
    """Typing, the formula list, the weeks spin, invalid ages and the About
    box, in one run; Enter ends it."""
    calc = Calculator(session, exe)

    # The opening age is selected: the first keys typed replace it.
    calc.session.type_text("37")
    expect(calc, {"IDC_AGE": "37"}, "typing 37 replaces the selected opening age")

    for age, formula_key, figures in AGE_FORMULA_TABLE:
        step = "age %s" % age
        if formula_key:
            calc.goto("IDC_FORMULA")
            calc.key(formula_key)
            step += ", %s in the formula list" % formula_key
        if calc.read("IDC_AGE") != age:
            calc.type_into("IDC_AGE", age)
        expect(calc, dict(figures, IDC_AGE=age), step)

    # The weeks spin, by the arrow keys in the weeks field.
    calc.goto("IDC_WEEKS")
    calc.key("Up")
    expect(calc, {"IDC_WEEKS": "3", "IDC_GEST_RISK": ODDS}, "Up in the weeks field steps to 3 weeks")
    three_weeks = calc.read("IDC_GEST_RISK")
    if three_weeks == "1/309":
        raise Failure("the gestational figure stayed 1/309 after stepping from 2 to 3 weeks")
    log("ok - at 3 weeks the gestational figure is %s, no longer 1/309" % three_weeks)
    calc.goto("IDC_WEEKS")
    calc.key("Down")
    expect(calc, {"IDC_WEEKS": "2", "IDC_GEST_RISK": "1/309", "IDC_TERM_RISK": "0.07% soit 1/1408"},
           "Down steps back to 2 weeks and 1/309")

    # The ends of the range: no wrap.
    for keys, weeks, step in [
        (["Down"], "1", "Down steps to 1 week"),
        (["Down"], "1", "Down at 1 week stays at 1"),
        (["Up"] * 45, "42", "Up 45 times stops at 42 weeks"),
        (["Up"], "42", "Up at 42 weeks stays at 42"),
        (["Down"] * 39, "3", "Down 39 times from 42 comes to 3 weeks"),
    ]:
        calc.goto("IDC_WEEKS")
        calc.key(*keys)
        expect(calc, {"IDC_WEEKS": weeks, "IDC_GEST_RISK": ODDS}, step)
    expect(calc, {"IDC_GEST_RISK": three_weeks}, "back at 3 weeks the gestational figure is %s again" % three_weeks)

    # The weeks field takes digits only.
    calc.goto("IDC_WEEKS")
    calc.key("ctrl+a")
    calc.session.type_text("x-")
    expect(calc, {"IDC_WEEKS": "3"}, "letters and signs typed into the weeks field are refused")

    # A state other than the opening one, kept across the About box.
    calc.type_into("IDC_AGE", "37")
    calc.goto("IDC_FORMULA")
    calc.key("Down")
    expect(calc, {"IDC_TERM_RISK": "0.42% soit 1/239", "IDC_WEEKS": "3", "IDC_GEST_RISK": ODDS},
           "age 37, Hecht, 3 weeks")
    check_about_round_trip(calc, ["F1"], "Escape", "F1")
    calc.goto("IDC_ADVICE")
    check_about_round_trip(calc, ["alt+o", "i"], "Return", "Alt+O, I")

    calc.goto("IDC_WEEKS")
    calc.key("Return")
    calc.wait_exit("Enter in the weeks field")
    log("ok - Enter in the weeks field ends the program with exit code 0")


# The ways to end the program, each in a run of its own: the field focused
# first, then the keys, or a command sent to the window.
EXIT_TABLE = [
    ("Enter in the age field", "IDC_AGE", ["Return"], None),
    ("Enter in the formula list", "IDC_FORMULA", ["Return"], None),
    ("keypad Enter in the advice field", "IDC_ADVICE", ["KP_Enter"], None),
    ("Escape in the gestational field", "IDC_GEST_RISK", ["Escape"], None),
    ("Options > Quitter (Alt+O, Q)", "IDC_AGE", ["alt+o", "q"], None),
    ("Alt+F4, the window manager's close", "IDC_WEEKS", ["alt+F4"], None),
    ("the close command (_NET_CLOSE_WINDOW, wmctrl -c)", "IDC_AGE", [], ["wmctrl", "-F", "-c", "Meravel"]),
]


def scenario_exit(session, exe):
    for how, field, keys, command in EXIT_TABLE:
        calc = Calculator(session, exe)
        calc.goto(field)
        if keys:
            calc.key(*keys)
        if command:
            session.tool(command)
        calc.wait_exit(how)
        log("ok - %s ends the program with exit code 0" % how)


SCENARIOS = {
    "opening": scenario_opening,
    "keyboard": scenario_keyboard,
    "exit": scenario_exit,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe", help="the meravel executable")
    parser.add_argument("--scenario", action="append", choices=sorted(SCENARIOS),
                        help="run only this scenario (repeatable); all by default")
    parser.add_argument("--artifacts", help="where to save a screenshot when a scenario fails")
    args = parser.parse_args()

    exe = os.path.abspath(args.exe)
    if not os.access(exe, os.X_OK):
        log("not an executable: %s" % exe)
        return 2
    missing = [t for t in ("Xvfb", "openbox", "xdotool", "xclip", "xprop", "wmctrl") if not shutil.which(t)]
    if missing:
        log("missing tools (scripts/install-deps.sh installs them): %s" % " ".join(missing))
        return 2

    # ctest or the user interrupting: clean up as for any failure.
    def interrupted(signum, _frame):
        raise KeyboardInterrupt("signal %d" % signum)
    signal.signal(signal.SIGTERM, interrupted)

    failed = []
    for name in args.scenario or list(SCENARIOS):
        log("# scenario %s" % name)
        with tempfile.TemporaryDirectory(prefix="meravel-e2e-") as workdir:
            session = None
            try:
                session = Session(workdir, args.artifacts)
                log("# display %s" % session.display)
                SCENARIOS[name](session, exe)
            except Failure as failure:
                failed.append(name)
                log("not ok - scenario %s: %s" % (name, failure))
                if session:
                    shot = session.screenshot("e2e-%s-failure" % name)
                    if shot:
                        log("# screenshot: %s" % shot)
                    for logname in session.logs:
                        if logname.startswith("meravel"):
                            text = session._read_log(logname).strip()
                            if text:
                                log("# %s output:\n%s" % (logname, text))
            finally:
                if session:
                    session.close()
    if failed:
        log("FAILED: %s" % ", ".join(failed))
        return 1
    log("all scenarios passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
