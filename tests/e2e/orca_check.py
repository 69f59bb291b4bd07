#!/usr/bin/env python3
"""What Orca says of the Meravel calculator, heard from Orca itself.

The real program runs under its own Xvfb, openbox, session bus and
accessibility bus (atspi_check.py's Buses), with Orca, Debian's screen
reader, started headless in a private preferences folder: its speech goes to
no sound card but to a file, through the `speech` logger that Orca keeps for
its own regression tests, flushed at every line. A script of keys then tabs
through the calculator and its tools; after each, the lines Orca spoke are
checked against what the table both front ends share (spoken.py) says each
control must say, and against what the window shows: the formula on focus
and on change, each figure whole, each change announced, the copy confirmed,
the curve described.

    orca_check.py PATH/TO/meravel [--artifacts DIR]
"""

import argparse
import os
import re
import shutil
import sys
import time

SYSTEM_PYTHON = "/usr/bin/python3"
try:
    import pyatspi  # noqa: F401
except ImportError:
    if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON) and os.access(SYSTEM_PYTHON, os.X_OK):
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
    print("pyatspi is missing (Debian package python3-pyatspi)", flush=True)
    sys.exit(2)

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_check import Buses  # noqa: E402
from run_e2e import (START_TIMEOUT, Calculator, Failure, Session, end_cleanly_on_sigterm, log,  # noqa: E402
                     passes_in_session)
from spoken import CALCULATOR, CURVE, DATES, WINDOWS  # noqa: E402

# Orca's preferences: its speech logged line by line; no speech server to
# look for.
CUSTOMIZATIONS = """
import logging
import orca.settings
_heard = logging.FileHandler(%r, encoding="utf-8")
_heard.setFormatter(logging.Formatter("%%(message)s"))
logging.getLogger("speech").addHandler(_heard)
orca.settings.enableSpeech = True
orca.settings.speechFactoryModules = []
"""

SPOKEN = re.compile(r"^SPEECH OUTPUT: '(.*)'")


def control(window, identifier):
    return next(c for c in WINDOWS[window] if c.id == identifier)


AGE, FORMULA, WEEKS = control(CALCULATOR, 1001), control(CALCULATOR, 1000), control(CALCULATOR, 1004)
TERM, GEST = control(CALCULATOR, 1002), control(CALCULATOR, 1003)
PLOT, CAPTION = control(CURVE, 1020), control(CURVE, 1021)
BIRTH = control(DATES, 1010)
# The first item of the Outils menu, said as it opens.
TOOL = "Âge à l'accouchement..."

# A step: the keys (or text) the user gives, then what Orca must have said
# since the step began; a figure given as ("whole", text) must be heard whole,
# never without its last character.
STEPS = [
    ("the window opens on the age", [], [AGE.name, AGE.value, "18 à 45"]),
    ("37 typed: the new figures announced", ["type:37"], ["à terme 0.47% soit 1/214, à 2 SA 1/47"]),
    ("Tab to the formula: its name and its choice", ["Tab"], [FORMULA.name, FORMULA.value]),
    ("Down: Hecht said, with its figures", ["Down"], ["Hecht : à terme 0.42% soit 1/239, à 2 SA 1/52"]),
    ("Tab to the weeks", ["Tab"], [WEEKS.name, WEEKS.value]),
    ("Up: the new week's figure announced", ["Up"], ["3", "à 3 SA 1/73"]),
    ("Tab to the term figure, heard whole", ["Tab"], [TERM.name, ("whole", "0.42% soit 1/239")]),
    ("Tab to the gestational figure, heard whole", ["Tab"], [GEST.name, ("whole", "1/73")]),
    ("Ctrl+Shift+C: the copy confirmed", ["ctrl+shift+c"], ["Résumé copié dans le presse-papiers."]),
    ("Alt+U: the tools' menu", ["alt+u"], [TOOL]),
    ("R: the curve, with its caption", ["r"], [CURVE, "Hecht, 37 ans : 1/239 ; seuil 1/250"]),
    ("Tab to the plot: described", ["Tab"], [PLOT.name, "repère : 37 ans, 1/239"]),
    ("Escape: back to the calculator", ["Escape"], [CALCULATOR]),
    ("Alt+U again", ["alt+u"], [TOOL]),
    ("G: the dates' window, on the date of birth", ["g"], [DATES, BIRTH.name]),
    ("a date of birth after the delivery: refused, and said why", ["type:31122099"],
     ["La date prévue d'accouchement précède la date de naissance."]),
]


class Orca:
    def __init__(self, session):
        self.prefs = os.path.join(session.workdir, "orca-prefs")
        self.heard = os.path.join(session.workdir, "orca-speech.log")
        os.makedirs(self.prefs)
        with open(os.path.join(self.prefs, "orca-customizations.py"), "w") as f:
            f.write(CUSTOMIZATIONS % self.heard)
        self.process = session.spawn("orca", ["orca", "-u", self.prefs], env=session.env)
        self.session = session
        self.read = 0
        session.wait_for("Orca to speak", lambda: self._alive() and "Screen reader on" in " ".join(self.lines()),
                         START_TIMEOUT)

    def _alive(self):
        if self.process.poll() is not None:
            raise Failure("Orca ended (exit code %d):\n%s" % (self.process.returncode, self.session._read_log("orca")))
        return True

    def lines(self):
        try:
            with open(self.heard, encoding="utf-8", errors="replace") as f:
                return [m.group(1) for m in map(SPOKEN.match, f.read().splitlines()) if m]
        except FileNotFoundError:
            return []

    def since_last(self):
        lines = self.lines()
        new, self.read = lines[self.read:], len(lines)
        return new


def heard_problems(heard, expected):
    said = " | ".join(heard)
    problems = []
    for want in expected:
        if isinstance(want, tuple):
            whole = want[1]
            if whole not in said:
                problems.append("never said %r whole" % whole)
            if re.search(r"(^|[ '])%s( |\.|'|$)" % re.escape(whole[:-1]), " | ".join(heard).replace(whole, "")):
                problems.append("said %r without its last character" % whole)
        elif want not in said:
            problems.append("never said %r" % want)
    return problems


def check(session, exe):
    session.env.update({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_QPA_PLATFORM": "xcb", "GTK_MODULES": ""})
    orca = Orca(session)
    calc = Calculator(session, exe)
    failures = []
    for what, keys, expected in STEPS:
        for key in keys:
            if key.startswith("type:"):
                session.type_text(key[5:])
            else:
                calc.key(key)
            time.sleep(0.3)
        # Each key goes to Orca before the program acts on it, which takes a
        # while on a busy machine: what Orca says is waited for, up to a
        # limit, until everything expected is there.
        heard = []
        deadline = time.monotonic() + 20
        while True:
            calc._alive()
            orca._alive()
            heard += orca.since_last()
            if not heard_problems(heard, expected) or time.monotonic() > deadline:
                break
            time.sleep(0.2)
        time.sleep(0.3)
        heard += orca.since_last()
        log("%s: Orca says %r" % (what, heard))
        problems = heard_problems(heard, expected)
        if problems:
            failures.append("%s: %s" % (what, "; ".join(problems)))
        else:
            log("ok - %s" % what)
    if failures:
        raise Failure("what Orca says:\n  " + "\n  ".join(failures))
    calc.key("Escape")
    calc.key("Escape")
    calc.wait_exit("Escape")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe", help="the meravel executable")
    parser.add_argument("--artifacts", help="where to save a screenshot when the check fails")
    args = parser.parse_args()
    missing = [t for t in ("orca", "Xvfb", "openbox", "xdotool", "dbus-daemon") if not shutil.which(t)]
    if missing:
        log("missing tools (scripts/install-deps.sh installs them): %s" % " ".join(missing))
        return 2
    end_cleanly_on_sigterm()
    def body(session):
        with Buses(session):
            check(session, os.path.abspath(args.exe))
    if not passes_in_session("orca", "the Orca check", lambda workdir: Session(workdir, args.artifacts, "qt"), body):
        return 1
    log("Orca check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
