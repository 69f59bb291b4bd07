#!/usr/bin/env python3
"""A smoke test of the Meravel calculator on Wayland, under weston.

Weston's headless backend has no input devices: it offers no wl_seat at all,
so no client can be given a key there (and wtype needs the virtual keyboard
protocol, which weston lacks). The test therefore runs in two parts, each with
its own weston (its socket in the test's own XDG_RUNTIME_DIR) whose protocol
log (the "proto" logger scope) shows what the program asks of it:

1. headless (weston --backend=headless-backend.so --use-pixman): the program
   (QT_QPA_PLATFORM=wayland, no X display) shows a toplevel window titled
   Meravel with the app id org.meravel.Meravel, and draws into it;
2. weston's x11 backend in the test's own Xvfb, whose keyboard reaches the
   Wayland clients: the same window gets the keyboard focus, an age typed
   (xdotool) changes the figure at term, read over AT-SPI (a private session
   bus and accessibility bus, as in atspi_check.py), and Escape ends the
   program with exit code 0.

    wayland_smoke.py PATH/TO/meravel [--artifacts DIR]
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
# pyatspi lives with Debian's own Python: importing atspi_check runs this
# script again there when needed.
from atspi_check import TERM, AGE, Buses, Reader, end_process_group  # noqa: E402
from run_e2e import (START_TIMEOUT, STEP_TIMEOUT, Failure, Session, end_cleanly_on_sigterm, log,  # noqa: E402
                     passes_in_session)

APP_ID = "org.meravel.Meravel"
TITLE = "Meravel"
# The opening age's figure and that of the age typed.
OPENING = {AGE: "25", TERM: "0.07% soit 1/1408"}
TYPED_AGE = "37"
TYPED = {AGE: "37", TERM: "0.47% soit 1/214"}


class Weston:
    """A weston on a socket of its own, logging the protocol."""

    def __init__(self, session, backend):
        self.session = session
        self.backend = backend
        runtime = session.env["XDG_RUNTIME_DIR"]
        self.socket = "meravel-%d-%s" % (os.getpid(), backend)
        self.log_path = os.path.join(session.workdir, "weston-%s.log" % backend)
        argv = ["weston", "--backend=%s-backend.so" % backend, "--use-pixman", "--socket=" + self.socket,
                "--idle-time=0", "--logger-scopes=log,proto", "--log=" + self.log_path,
                "--width=800", "--height=600"]
        env = dict(session.env)
        if backend == "headless":
            env.pop("DISPLAY", None)
        # Weston starts its shell and keyboard helpers itself: a process group
        # of their own, ended whole.
        self.process = session.spawn("weston-" + backend, argv, env=env, start_new_session=True)
        session.wait_for("weston (%s) to open its socket" % backend,
                         lambda: self._alive() and os.path.exists(os.path.join(runtime, self.socket)),
                         START_TIMEOUT)

    def _alive(self):
        if self.process.poll() is not None:
            raise Failure("weston (%s) ended (exit code %d):\n%s"
                          % (self.backend, self.process.returncode, self.session._read_log("weston-" + self.backend)))
        return True

    def protocol(self):
        self._alive()
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def client_env(self):
        env = {k: v for k, v in self.session.env.items() if k != "DISPLAY"}
        env.update({"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": self.socket})
        return env

    def window(self, app_id):
        """(client, wl_surface) of the toplevel with this app id once a buffer
        is attached to it, or None."""
        log_text = self.protocol()
        found = re.search(r"client (0x[0-9a-f]+) rq xdg_toplevel@(\d+)\.set_app_id\(\"%s\"\)" % re.escape(app_id),
                          log_text)
        if not found:
            return None
        client, toplevel = found.groups()
        before = log_text[:found.start()]
        xdg_surface = _last(r"client %s rq xdg_surface@(\d+)\.get_toplevel\(new id xdg_toplevel@%s\)"
                            % (client, toplevel), before)
        surface = xdg_surface and _last(r"client %s rq xdg_wm_base@\d+\.get_xdg_surface\(new id xdg_surface@%s, "
                                        r"wl_surface@(\d+)\)" % (client, xdg_surface), before)
        title = _last(r"client %s rq xdg_toplevel@%s\.set_title\(\"(.*)\"\)" % (client, toplevel), before)
        if not surface or title != TITLE:
            raise Failure("the toplevel with app id %s has title %r and surface %r" % (app_id, title, surface))
        after = log_text[found.end():]
        if not re.search(r"client %s rq wl_surface@%s\.attach\(wl_buffer@" % (client, surface), after):
            return None
        return client, surface

    def has_keyboard(self, client, surface):
        return re.search(r"client %s ev wl_keyboard@\d+\.enter\(\d+, wl_surface@%s," % (client, surface),
                         self.protocol())

    def close(self):
        end_process_group(self.process)


def _last(pattern, text):
    matches = re.findall(pattern, text)
    return matches[-1] if matches else None


def start_program(session, weston, exe, env):
    name = "meravel-%s" % weston.backend
    process = session.spawn(name, [exe], env=env)

    def shown():
        if process.poll() is not None:
            raise Failure("the program ended (exit code %d) before showing its window:\n%s"
                          % (process.returncode, session._read_log(name)))
        return weston.window(APP_ID)
    client, surface = session.wait_for("a window with app id %s on weston (%s)" % (APP_ID, weston.backend), shown,
                                       START_TIMEOUT)
    log("ok - weston (%s): toplevel titled %r with app id %s, drawn into (wl_surface@%s)"
        % (weston.backend, TITLE, APP_ID, surface))
    return process, client, surface


def headless(session, exe):
    weston = Weston(session, "headless")
    try:
        process, _, _ = start_program(session, weston, exe, weston.client_env())
        process.terminate()
        process.wait(timeout=STEP_TIMEOUT)
    finally:
        weston.close()


def keyboard(session, exe):
    buses = Buses(session)
    weston = None
    try:
        reader = Reader(session)
        weston = Weston(session, "x11")
        env = weston.client_env()
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        process, client, surface = start_program(session, weston, exe, env)
        # The window manager gives weston's X window the focus; weston gives
        # the keyboard to its new window.
        session.wait_for("the program's window to get the keyboard focus",
                         lambda: process.poll() is None and weston.has_keyboard(client, surface))

        def fields(expected):
            def read():
                if process.poll() is not None:
                    raise Failure("the program ended (exit code %d)" % process.returncode)
                reader.pump()
                found = reader.fields(process.pid)
                if not found or not all(name in found[0] for name in expected):
                    return None
                texts = {name: found[0][name].queryText().getText(0, -1) for name in expected}
                return texts if texts == expected else None
            return read
        try:
            session.wait_for("the opening figures over AT-SPI", fields(OPENING), START_TIMEOUT)
        except Failure:
            found = reader.fields(process.pid)
            raise Failure("the opening figures are not %r: %r" % (OPENING, found and {
                n: found[0][n].queryText().getText(0, -1) for n in OPENING if n in found[0]}))
        log("ok - opening figures over AT-SPI: %r" % OPENING)
        session.type_text(TYPED_AGE)
        session.wait_for("the figure for age %s after typing it" % TYPED_AGE, fields(TYPED))
        log("ok - age %s typed: %r" % (TYPED_AGE, TYPED))
        session.key("Escape")
        try:
            code = process.wait(timeout=STEP_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the program was still running %.0f s after Escape" % STEP_TIMEOUT)
        if code != 0:
            raise Failure("the program ended with exit code %d after Escape" % code)
        log("ok - Escape ends the program with exit code 0")
    finally:
        if weston:
            weston.close()
        buses.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe", help="the meravel executable")
    parser.add_argument("--artifacts", help="where to save a screenshot when the test fails")
    args = parser.parse_args()
    exe = os.path.abspath(args.exe)
    missing = [t for t in ("weston", "Xvfb", "openbox", "xdotool", "dbus-daemon") if not shutil.which(t)]
    if missing:
        log("missing tools: %s" % " ".join(missing))
        return 2

    end_cleanly_on_sigterm()

    failed = False
    for part, run in (("headless", headless), ("keyboard", keyboard)):
        log("# %s" % part)
        if not passes_in_session("wayland-%s" % part, part, lambda workdir: Session(workdir, args.artifacts, "qt"),
                                 lambda session: run(session, exe)):
            failed = True
    if failed:
        return 1
    log("Wayland smoke test passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
