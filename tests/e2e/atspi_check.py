#!/usr/bin/env python3
"""What a screen reader gets from the Meravel calculator, read over AT-SPI.

The real program runs under its own Xvfb and openbox (run_e2e.py's Session),
its own D-Bus session bus (a bus with no service activation, so nothing starts
behind the test's back) and its own accessibility bus (at-spi-bus-launcher,
which starts the registry). The program is started with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 and QT_QPA_PLATFORM=xcb, and the tree is
read with pyatspi as a screen reader reads it: each field's role, name,
description, labelled-by relations and text; the weeks spin button's value
(minimum, maximum, current) before and after an Up key (xdotool), with the
value-change event that makes a screen reader speak the step; the formula
list's name. What is read is printed for every field.

    atspi_check.py PATH/TO/meravel [--artifacts DIR]

pyatspi (python3-pyatspi) serves Debian's own Python: under another
interpreter the script runs itself again with /usr/bin/python3. Every process
started here is ended on the way out, the accessibility bus's own children
with their process group.
"""

import argparse
import os
import select
import shutil
import signal
import sys
import time

SYSTEM_PYTHON = "/usr/bin/python3"

try:
    import pyatspi  # noqa: F401  (imported again below, once the buses exist)
except ImportError:
    if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON) and os.access(SYSTEM_PYTHON, os.X_OK):
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
    print("pyatspi is missing (Debian package python3-pyatspi)", flush=True)
    sys.exit(2)

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_e2e import (START_TIMEOUT, Calculator, Failure, Session, end_cleanly_on_sigterm, log,  # noqa: E402
                     passes_in_session)

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# A session bus of the test's own: its socket in the test's folder, and no
# service directory, so that no request starts a service.
SESSION_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%s</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""

AGE = "Âge de la mère, en années"
FORMULA = "Formule"
WEEKS = "Âge gestationnel, en semaines d'aménorrhée"
TERM = "Probabilité à terme"
GEST = "Risque en fonction de l'âge gestationnel"
ADVICE = "Conseil"

# Each field by its accessible name: its role, the texts of what labels it
# (the title of the group around it; the units and hints beside a field are
# in its name and description, not its labels, so that a screen reader never
# takes "ans" for the field's name), and a text its description must hold.
FIELDS = [
    (AGE, "text", {"Age de la mère"}, "De 18 à 45 ans"),
    (FORMULA, "combo box", {"Formule"}, "Cuckle"),
    (WEEKS, "spin button", {"En fonction de l'âge gestationnel"}, None),
    (TERM, "text", {"Probabilité à terme"}, "valeur de référence 1/250"),
    (GEST, "text", {"En fonction de l'âge gestationnel"}, "âge gestationnel"),
    (ADVICE, "text", set(), "1/250"),
]
FIELD_ROLES = {"text", "combo box", "spin button"}
# The weeks spin's range.
WEEKS_MIN, WEEKS_MAX = 1, 42


class Buses:
    """A D-Bus session bus and an accessibility bus for the session's display."""

    def __init__(self, session):
        self.session = session
        workdir = session.workdir
        config = os.path.join(workdir, "session-bus.conf")
        with open(config, "w") as f:
            f.write(SESSION_BUS_CONFIG % os.path.join(workdir, "session-bus"))
        read_end, write_end = os.pipe()
        try:
            session.spawn("dbus-daemon", ["dbus-daemon", "--config-file=" + config, "--nofork", "--nopidfile",
                                          "--print-address=%d" % write_end], pass_fds=(write_end,))
        finally:
            os.close(write_end)
        address = _read_line(read_end, "dbus-daemon to print its address", session, "dbus-daemon")
        session.env.update({"DBUS_SESSION_BUS_ADDRESS": address, "GSETTINGS_BACKEND": "memory"})
        session.env.pop("AT_SPI_BUS_ADDRESS", None)
        # The launcher starts the accessibility bus's dbus-daemon, which starts
        # the registry: a process group of their own, ended whole.
        self.launcher = session.spawn("at-spi-bus-launcher", [BUS_LAUNCHER, "--launch-immediately"],
                                      env=session.env, start_new_session=True)
        session.wait_for("the accessibility bus to be named on the session bus",
                         lambda: self._launcher_alive() and "true" in self._name_has_owner("org.a11y.Bus"),
                         START_TIMEOUT)

    def _launcher_alive(self):
        if self.launcher.poll() is not None:
            raise Failure("at-spi-bus-launcher ended (exit code %d):\n%s"
                          % (self.launcher.returncode, self.session._read_log("at-spi-bus-launcher")))
        return True

    def _name_has_owner(self, name):
        return self.session.tool(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                  "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:" + name],
                                 check=False)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def close(self):
        end_process_group(self.launcher)


def end_process_group(leader):
    """Ends a process started with start_new_session and all it started."""
    try:
        os.killpg(leader.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    deadline = time.monotonic() + 5
    while time.monotonic() < deadline:
        leader.poll()
        try:
            os.killpg(leader.pid, 0)
        except ProcessLookupError:
            return
        time.sleep(0.05)
    try:
        os.killpg(leader.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    leader.poll()


def _read_line(fd, what, session, logname):
    data = b""
    deadline = time.monotonic() + START_TIMEOUT
    try:
        while not data.endswith(b"\n"):
            ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
            if not ready:
                raise Failure("timed out waiting for %s" % what)
            chunk = os.read(fd, 256)
            if not chunk:
                raise Failure("%s: ended first:\n%s" % (what, session._read_log(logname)))
            data += chunk
    finally:
        os.close(fd)
    return data.decode().strip()


# -- reading the tree --------------------------------------------------------

class Reader:
    """pyatspi on the session's buses, and the events it has heard."""

    def __init__(self, session):
        # libatspi finds the accessibility bus from these, at its first call.
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = session.env["DBUS_SESSION_BUS_ADDRESS"]
        os.environ["DISPLAY"] = session.display
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        import pyatspi
        from gi.repository import GLib
        self.pyatspi = pyatspi
        self.context = GLib.MainContext.default()
        self.events = []
        # Registered before the program starts, so that it knows from the
        # start that someone listens for these.
        for kind in ("object:property-change:accessible-value", "object:state-changed:focused"):
            pyatspi.Registry.registerEventListener(self._heard, kind)

    def _heard(self, event):
        try:
            self.events.append((event.type, event.source.getRoleName(), event.source.name, event.detail1))
        except Exception as error:  # the source may be gone already
            self.events.append((event.type, None, None, repr(error)))

    def pump(self):
        while self.context.iteration(False):
            pass

    def app(self, pid):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                continue
        return None

    def walk(self, node, found):
        if node is None:
            return found
        found.append(node)
        for i in range(node.childCount):
            self.walk(node.getChildAtIndex(i), found)
        return found

    def fields(self, pid):
        """Every field of the program, by accessible name, and every node."""
        app = self.app(pid)
        if app is None:
            return None
        nodes = self.walk(app, [])
        return {n.name: n for n in nodes if n.getRoleName() in FIELD_ROLES}, nodes

    def describe(self, node):
        relations = []
        for relation in node.getRelationSet():
            if relation.getRelationType() == self.pyatspi.RELATION_LABELLED_BY:
                relations += [relation.getTarget(i).name for i in range(relation.getNTargets())]
        facts = {
            "role": node.getRoleName(),
            "name": node.name,
            "description": node.description,
            "labelled_by": relations,
            "states": sorted(self.pyatspi.stateToString(s) for s in node.getState().getStates()
                             if s in (self.pyatspi.STATE_EDITABLE, self.pyatspi.STATE_READ_ONLY,
                                      self.pyatspi.STATE_FOCUSED, self.pyatspi.STATE_FOCUSABLE)),
        }
        try:
            text = node.queryText()
            facts["text"] = text.getText(0, text.characterCount)
        except NotImplementedError:
            pass
        try:
            value = node.queryValue()
            facts["value"] = (value.minimumValue, value.maximumValue, value.currentValue)
        except NotImplementedError:
            pass
        return facts


def show(what, facts):
    line = "%s: role=%r name=%r description=%r labelled-by=%r" % (
        what, facts["role"], facts["name"], facts["description"], facts["labelled_by"])
    if "text" in facts:
        line += " text=%r" % facts["text"]
    if "value" in facts:
        line += " value(min, max, current)=%r" % (facts["value"],)
    log(line + " states=%r" % facts["states"])


def check(session, exe, reader):
    session.env.update({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_QPA_PLATFORM": "xcb"})
    calc = Calculator(session, exe)
    pid = calc.process.pid

    def all_fields():
        calc._alive()
        reader.pump()
        found = reader.fields(pid)
        return found if found and all(name in found[0] for name, _, _, _ in FIELDS) else None
    try:
        fields, nodes = session.wait_for("the calculator's fields in the AT-SPI tree", all_fields, START_TIMEOUT)
    except Failure:
        found = reader.fields(pid)
        has = found and ["%s %r" % (n.getRoleName(), n.name) for n in found[0].values()]
        raise Failure("the fields %r are not all in the AT-SPI tree, which has: %r" % ([f[0] for f in FIELDS], has))

    problems = []
    for name, role, labels, description in FIELDS:
        facts = reader.describe(fields[name])
        show("field %r" % name, facts)
        if facts["role"] != role:
            problems.append("%s: role %r, expected %r" % (name, facts["role"], role))
        if set(facts["labelled_by"]) != labels:
            problems.append("%s: labelled by %r, expected %r" % (name, facts["labelled_by"], sorted(labels)))
        if description and description not in facts["description"]:
            problems.append("%s: description %r lacks %r" % (name, facts["description"], description))

    # The formula list is named by what it is, not by its formula.
    if fields[FORMULA].name != "Formule":
        problems.append("the formula list is named %r" % fields[FORMULA].name)
    # The spin arrows are part of the spin button, not controls of their own.
    spins = [n.name for n in nodes if n.getRoleName() == "spin button"]
    arrows = [n.name for n in nodes if n.name in ("Semaine suivante", "Semaine précédente")]
    if spins != [WEEKS] or arrows:
        problems.append("one spin button expected and no arrows apart: spin buttons %r, arrows %r" % (spins, arrows))
    if problems:
        raise Failure("what AT-SPI reads:\n  " + "\n  ".join(problems))

    # The weeks: the value before, Tab to the field, Up, the value after.
    spin = fields[WEEKS]
    before = reader.describe(spin)
    low, high, current = before["value"]
    if (low, high) != (WEEKS_MIN, WEEKS_MAX) or str(int(current)) != before["text"]:
        raise Failure("the weeks spin button reads min %r, max %r, current %r, text %r"
                      % (low, high, current, before["text"]))
    reader.events.clear()
    calc.goto("IDC_WEEKS")
    session.wait_for("the focus event of the weeks spin button",
                     lambda: reader.pump() or any(e[0] == "object:state-changed:focused" and e[1] == "spin button"
                                                  and e[3] == 1 for e in reader.events))
    log("focus event: %r" % [e for e in reader.events if e[0] == "object:state-changed:focused"][-1:])
    calc.key("Up")

    def stepped():
        calc._alive()
        reader.pump()
        heard = [e for e in reader.events if e[0] == "object:property-change:accessible-value"]
        return heard if heard and spin.queryValue().currentValue == current + 1 else None
    heard = session.wait_for("the weeks spin button to announce %d after Up" % (current + 1), stepped)
    after = reader.describe(spin)
    show("after Up, field %r" % WEEKS, after)
    log("value-change events heard: %r" % heard)
    if heard[-1][1:3] != ("spin button", WEEKS) or after["text"] != str(int(current) + 1) \
            or after["value"] != (WEEKS_MIN, WEEKS_MAX, current + 1):
        raise Failure("after Up the weeks spin button reads %r, events %r" % (after, heard))
    log("ok - the weeks spin button steps from %d to %d and announces it" % (current, current + 1))

    calc.key("Escape")
    calc.wait_exit("Escape")
    log("ok - Escape ends the program with exit code 0")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe", help="the meravel executable")
    parser.add_argument("--artifacts", help="where to save a screenshot when the check fails")
    args = parser.parse_args()
    exe = os.path.abspath(args.exe)
    missing = [t for t in ("Xvfb", "openbox", "xdotool", "xprop", "dbus-daemon", "dbus-send") if not shutil.which(t)]
    if not os.access(BUS_LAUNCHER, os.X_OK):
        missing.append(BUS_LAUNCHER)
    if missing:
        log("missing tools: %s" % " ".join(missing))
        return 2

    end_cleanly_on_sigterm()

    def body(session):
        with Buses(session):
            log("# display %s, session bus %s" % (session.display, session.env["DBUS_SESSION_BUS_ADDRESS"]))
            check(session, exe, Reader(session))
    if not passes_in_session("atspi", "the AT-SPI check", lambda workdir: Session(workdir, args.artifacts, "qt"),
                             body):
        return 1
    log("AT-SPI check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
