#!/usr/bin/env python3
"""What a screen reader gets from the Windows program over MSAA, under Wine.

The real meravel.exe runs in a copy of the test prefix (run_e2e.py's
Session); each window is opened with the keys a user would press, and the
field probe (tests/e2e/field_probe, --msaa) lists what MSAA gives each of its
controls: role, name, value and description. They are checked against the
table both front ends share (spoken.py).

    msaa_check.py --wine-prefix DIR --field-probe PROBE.exe PATH/TO/meravel.exe [--artifacts DIR]

What Wine's oleacc cannot show: whether a screen reader speaks the
announcements (alerts) and the changes, which only a real screen reader on
Windows hears; the roles and names it lists come from the program's own
accessible objects, as on Windows.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_e2e import Calculator, Failure, Session, end_cleanly_on_sigterm, log, passes_in_session  # noqa: E402
from spoken import ABOUT, CALCULATOR, CURVE, DATES, WINDOWS  # noqa: E402

# How each window is opened from the calculator, and closed again.
OPENING = {CALCULATOR: None, ABOUT: ["F1"], DATES: ["alt+u", "g"], CURVE: ["alt+u", "r"]}


def listing(calc, title):
    """{identifier: (role, name, value, description)} of the window's controls."""
    def attempt():
        calc._alive()
        try:
            out = calc.session.tool(["wine", calc.session.field_probe, "--msaa", "--window", title])
        except Failure as failure:
            log("# field probe: %s" % failure)
            return None
        rows = {}
        for line in out.replace("\r\n", "\n").splitlines():
            fields = line.split("\t")
            if len(fields) == 5:
                rows[int(fields[0])] = (int(fields[1]), fields[2], fields[3], fields[4])
        return rows or None
    return calc.session.wait_for("the field probe to list the window %s" % title, attempt)


def differences(title, rows):
    found = []
    for control in WINDOWS[title]:
        if control.id not in rows:
            found.append("%s: no control %d" % (title, control.id))
            continue
        role, name, value, description = rows[control.id]
        what = "%s, control %d (%s)" % (title, control.id, control.name)
        if role != control.msaa:
            found.append("%s: role %d, expected %d" % (what, role, control.msaa))
        if name != control.name:
            found.append("%s: named %r" % (what, name))
        if control.value is not None and value != control.value:
            found.append("%s: value %r, expected %r" % (what, value, control.value))
        for word in control.description or ():
            if word not in description:
                found.append("%s: description %r lacks %r" % (what, description, word))
    return found


def check(session, exe):
    calc = Calculator(session, exe)
    problems = []
    for title, keys in OPENING.items():
        if keys:
            calc.key(*keys)
            window = session.wait_for("the window %s to open" % title,
                                      lambda: calc._alive() and next(iter(session.visible_windows("^%s$" % title)), None))
            calc.wait_active(window, "the window %s" % title)
        rows = listing(calc, title)
        for identifier, (role, name, value, description) in rows.items():
            log("%s\t%d\trole %d\t%r\tvalue %r\tdescription %r" % (title, identifier, role, name, value, description))
        problems += differences(title, rows)
        if keys:
            calc.key("Escape")
            session.wait_for("the window %s to close" % title,
                             lambda: calc._alive() and not session.visible_windows("^%s$" % title))
            calc.wait_active(calc.window, "the calculator")
    if problems:
        raise Failure("what MSAA gives:\n  " + "\n  ".join(problems))
    log("ok - every control of %s is named, described and valued as the table says" % ", ".join(OPENING))
    calc.key("Escape")
    calc.wait_exit("Escape")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe", help="meravel.exe")
    parser.add_argument("--wine-prefix", required=True, help="a prefix made by scripts/wine-prefix.sh")
    parser.add_argument("--field-probe", required=True, help="meravel_field_probe.exe")
    parser.add_argument("--artifacts", help="where to save a screenshot when the check fails")
    args = parser.parse_args()
    end_cleanly_on_sigterm()
    def start(workdir):
        return Session(workdir, args.artifacts, "win32", os.path.abspath(args.wine_prefix),
                       os.path.abspath(args.field_probe))
    if not passes_in_session("msaa", "the MSAA check", start,
                             lambda session: check(session, os.path.abspath(args.exe))):
        return 1
    log("MSAA check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
