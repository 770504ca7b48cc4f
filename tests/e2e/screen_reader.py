# SPDX-License-Identifier: GPL-3.0-or-later
"""The program as a screen reader reads it: on its own X server and session bus, with the
accessibility bus started as a desktop starts it, pyatspi reads what the program publishes
there while the keyboard moves through the memos.

Usage: screen_reader.py JOTWELL JOTWELL_CLI. Exits 77 (skipped) where the bus cannot start.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
# Controls a screen reader lands on and must be able to name.
NAMED_ROLES = {"push button", "toggle button", "check box", "radio button", "text", "entry", "tree",
               "image", "icon", "menu", "menu item", "combo box", "list", "page tab"}


def skip(reason):
    print("SKIP: " + reason)
    sys.exit(SKIPPED)


def wait_for(what, probe, timeout=15.0):
    end = time.monotonic() + timeout
    while True:
        try:
            found = probe()
        except Exception:  # the program may still be building its window
            found = None
        if found or time.monotonic() > end:
            break
        time.sleep(0.2)
    if not found:
        raise AssertionError("timed out waiting for " + what)
    return found


class Session:
    """An X server, a window manager and a session bus of its own; ended in reverse order."""

    def __init__(self):
        self.processes = []
        self.env = dict(os.environ)
        for tool in ("Xvfb", "dbus-launch", "xdotool"):
            if not shutil.which(tool):
                skip(tool + " is missing (scripts/setup.sh installs it)")
        xvfb = self.start(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                          stdout=subprocess.PIPE)
        display = xvfb.stdout.readline().decode().strip()
        if not display:
            skip("Xvfb cannot start here")
        self.env["DISPLAY"] = ":" + display
        self.env.pop("WAYLAND_DISPLAY", None)
        launched = subprocess.run(["dbus-launch", "--sh-syntax"], env=self.env, capture_output=True, text=True)
        for line in launched.stdout.splitlines():
            name, _, value = line.partition("=")
            if name in ("DBUS_SESSION_BUS_ADDRESS", "DBUS_SESSION_BUS_PID"):
                self.env[name] = value.rstrip(";").strip("'")
        if launched.returncode != 0 or "DBUS_SESSION_BUS_ADDRESS" not in self.env:
            skip("dbus-launch cannot start a session bus: " + launched.stderr.strip())
        self.bus_pid = int(self.env.get("DBUS_SESSION_BUS_PID", "0"))
        if shutil.which("openbox"):
            self.start(["openbox", "--sm-disable"])
            time.sleep(0.5)

    def start(self, command, **kwargs):
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        process = subprocess.Popen(command, env=kwargs.pop("env", self.env), stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *arguments], env=self.env, capture_output=True, text=True).stdout.strip()

    def end(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        if self.bus_pid:
            try:
                os.kill(self.bus_pid, 15)
            except ProcessLookupError:
                pass


class Reader:
    """What a screen reader asks of the program's objects on the bus."""

    def __init__(self, pyatspi, application):
        self.pyatspi = pyatspi
        self.application = application

    def fresh(self, accessible):
        # Another process owns these objects: ask again rather than trust a cached state.
        accessible.clearCache()
        return accessible

    def find(self, test):
        """The first object under the application, breadth first, that passes test."""
        level = [self.application]
        while level:
            below = []
            for accessible in level:
                for child in self.fresh(accessible):
                    if child is None:
                        continue
                    if test(child):
                        return child
                    below.append(child)
            level = below
        return None

    def role(self, accessible):
        return accessible.getRoleName()

    def states(self, accessible):
        return self.fresh(accessible).getState()

    def rows(self, tree):
        return [row for row in self.fresh(tree) if row is not None]

    def row_named(self, tree, name):
        return next((row for row in self.rows(tree) if row.name == name), None)

    def has(self, accessible, state):
        return self.states(accessible).contains(state)

    def focused_row(self, tree):
        return next((row for row in self.rows(tree) if self.has(row, self.pyatspi.STATE_FOCUSED)), None)

    def unnamed(self, accessible, path=""):
        """Controls under accessible that a screen reader reaches but cannot name."""
        found = []
        for child in self.fresh(accessible):
            if child is None or not self.has(child, self.pyatspi.STATE_SHOWING):
                continue
            role = self.role(child)
            if role in NAMED_ROLES and not child.name.strip():
                found.append(path + "/" + role)
            if role != "tree":  # its rows are the memos' texts
                found += self.unnamed(child, path + "/" + role)
        return found


class FocusListener:
    """Where focus lands, heard as a screen reader hears it: from the bus's focus events."""

    def __init__(self, pyatspi):
        from gi.repository import GLib
        self.context = GLib.MainContext.default()
        self.focused = None
        self.listener = lambda event: self.heard(event)
        pyatspi.Registry.registerEventListener(self.listener, "object:state-changed:focused")

    def heard(self, event):
        if event.detail1:
            self.focused = event.source

    def current(self):
        while self.context.pending():
            self.context.iteration(False)
        return self.focused


def add_memo(cli, folder, text, under=None):
    arguments = [cli, "--data-dir", folder, "add", text] + (["--under", under] if under else [])
    return subprocess.run(arguments, check=True, capture_output=True, text=True).stdout.strip()


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: screen_reader.py JOTWELL JOTWELL_CLI")
    program, cli = sys.argv[1:]
    folder = tempfile.mkdtemp(prefix="jotwell-reader-")
    shopping = add_memo(cli, folder, "Shopping list")
    add_memo(cli, folder, "fresh bread", shopping)
    add_memo(cli, folder, "Garden")

    session = Session()
    try:
        os.environ.update(session.env)
        try:
            import pyatspi
        except ImportError:
            skip("pyatspi is missing (python3-pyatspi; scripts/setup.sh installs it)")
        run(session, pyatspi, program, folder)
    finally:
        session.end()
        shutil.rmtree(folder, ignore_errors=True)
    print("The program read through the accessibility bus as a screen reader reads it.")


def run(session, pyatspi, program, folder):
    env = dict(session.env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANGUAGE="en",
               LANG="C.UTF-8")
    env.pop("LC_ALL", None)
    # The registry starts with the first question; an application started before it would
    # not be listed.
    desktop = pyatspi.Registry.getDesktop(0)
    focus = FocusListener(pyatspi)
    jotwell = session.start([program, "--data-dir", folder], env=env)

    def application():
        for candidate in desktop:
            if candidate is not None and candidate.get_process_id() == jotwell.pid:
                return candidate
        return None

    try:
        app = wait_for("the program on the accessibility bus", application, 30)
    except AssertionError:
        if jotwell.poll() is not None:
            raise
        skip("the accessibility bus does not carry the program here")
    reader = Reader(pyatspi, app)
    tree = wait_for("the memo tree", lambda: reader.find(lambda a: reader.role(a) == "tree"))
    assert tree.name == "Memos", "the memo tree is named %r" % tree.name
    wait_for("the memos as rows", lambda: {r.name for r in reader.rows(tree)} == {"Shopping list", "Garden"})
    shopping = reader.row_named(tree, "Shopping list")
    assert reader.has(shopping, pyatspi.STATE_EXPANDABLE) and not reader.has(shopping, pyatspi.STATE_EXPANDED)

    unnamed = reader.unnamed(app)
    assert not unnamed, "controls without a name: " + ", ".join(unnamed)
    search = reader.find(lambda a: reader.role(a) in ("text", "entry") and a.name == "Search")
    assert search is not None, "no search box named Search"
    status = reader.find(lambda a: reader.role(a) == "status bar")
    assert status is not None, "no status bar"

    window = wait_for("the window", lambda: session.xdotool("search", "--onlyvisible", "--pid", str(jotwell.pid)))
    session.xdotool("windowactivate", "--sync", window.split()[0])
    tree.queryComponent().grabFocus()

    def key(name):
        session.xdotool("key", name)
        time.sleep(0.3)

    # Down moves focus and selection onto a row; the keys then walk to the memo with a sub-memo.
    key("Down")
    first = wait_for("a focused row", lambda: reader.focused_row(tree))
    assert reader.has(first, pyatspi.STATE_SELECTED), "the focused row is not selected"
    names = [r.name for r in reader.rows(tree)]
    if first.name != "Shopping list":
        key("Down" if names.index(first.name) < names.index("Shopping list") else "Up")
        wait_for("focus on Shopping list", lambda: getattr(reader.focused_row(tree), "name", "") == "Shopping list")
        shopping = reader.row_named(tree, "Shopping list")
        assert reader.has(shopping, pyatspi.STATE_SELECTED)
        assert not reader.has(reader.row_named(tree, first.name), pyatspi.STATE_SELECTED), "selection stayed behind"
    wait_for("the creation time in the status bar",
             lambda: reader.find(lambda a: reader.role(a) == "label" and a.name.endswith(" created")))

    key("Right")
    wait_for("Shopping list expanded",
             lambda: reader.has(reader.row_named(tree, "Shopping list"), pyatspi.STATE_EXPANDED))
    wait_for("the sub-memo as a row", lambda: reader.row_named(tree, "fresh bread"))
    key("Down")
    wait_for("focus on the sub-memo", lambda: getattr(reader.focused_row(tree), "name", "") == "fresh bread")

    # Enter opens an editor for a new memo; the reader lands in it, and Esc takes it away.
    key("Return")

    def focused_editor():
        editor = focus.current()
        return editor if reader.role(editor) == "text" and reader.has(editor, pyatspi.STATE_EDITABLE) else None

    wait_for("focus in an editor after Enter", focused_editor)
    key("Escape")
    wait_for("focus back on the tree", lambda: reader.role(focus.current()) == "tree")
    assert reader.has(reader.row_named(tree, "fresh bread"), pyatspi.STATE_SELECTED), "the selection was lost"

    # Typing in the search box narrows the rows to what matches.
    search.queryComponent().grabFocus()
    time.sleep(0.3)
    session.xdotool("type", "--delay", "50", "Garden")
    wait_for("the rows narrowed to the search",
             lambda: [r.name for r in reader.rows(tree)] == ["Garden"])

    jotwell.terminate()
    jotwell.wait(10)


if __name__ == "__main__":
    main()
