"""What the tests of the real program on a real X server share: a D-Bus session and
accessibility bus of their own, an Xvfb, the program, and reading it through AT-SPI the way a
screen reader does.

Call own_session() before importing gi: it runs the calling script again inside a D-Bus session
of its own, so runs never meet.
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

# A guard against hanging only: every wait ends as soon as what it waits for is there.
LIMIT_SECONDS = 60
CAPTION = "Senrokan  Ver.1.20"


def own_session():
    # The accessibility bus keeps its socket under XDG_RUNTIME_DIR: each run gets a directory of
    # its own before its D-Bus session starts the bus.
    if os.environ.get("SENROKAN_ATSPI_SESSION") == "1":
        return
    runtime = tempfile.mkdtemp(prefix="senrokan-atspi-")
    env = dict(os.environ, SENROKAN_ATSPI_SESSION="1", XDG_RUNTIME_DIR=runtime)
    code = subprocess.call(["dbus-run-session", "--", sys.executable] + sys.argv, env=env)
    shutil.rmtree(runtime, ignore_errors=True)
    sys.exit(code)


own_session()

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402,F401


def until(find, what, limit=LIMIT_SECONDS):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError("gave up waiting for " + what)


def descendants(node):
    todo = [node]
    while todo:
        current = todo.pop(0)
        for i in range(current.get_child_count()):
            child = current.get_child_at_index(i)
            if child is not None:
                yield child
                todo.append(child)


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name().lower() == "senrokan":
            return app
    return None


def control(app, name):
    """The control whose accessible description is its name in the program's tables."""
    return next((c for c in descendants(app) if c.get_description() == name), None)


def text_of(accessible):
    return Atspi.Text.get_text(accessible, 0, Atspi.Text.get_character_count(accessible))


def press(accessible):
    assert Atspi.Action.do_action(accessible, 0)


def enable_accessibility():
    """What a screen reader does when it starts: switch the accessibility bus on."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled",
                                         GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, -1, None)


class Session:
    """An X server, optionally a notification area, and the program, started in a working
    directory."""

    def __init__(self, program, directory, tray=False, wait_for_window=True):
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], stdout=subprocess.PIPE)
        with self.xvfb.stdout:
            self.display = ":" + self.xvfb.stdout.readline().decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb")
        self.env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        self.tray = None
        if tray:
            self.start_tray()
        self.program = subprocess.Popen([program], cwd=directory, env=self.env)
        self.app = until(application, "the program on the accessibility bus")
        if wait_for_window:
            until(lambda: any(w.get_name() == CAPTION for w in descendants(self.app)),
                  "the main window")

    def start_tray(self):
        """trayer as the notification area, once it is on screen."""
        self.tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right",
                                      "--widthtype", "pixel", "--width", "120",
                                      "--heighttype", "pixel", "--height", "24"], env=self.env)
        until(lambda: "\"panel\" \"trayer\"" in self.tree(), "the notification area")

    def x(self, *command):
        """Runs an X client on this display; its output, or None when it failed."""
        result = subprocess.run(command, env=self.env, capture_output=True, text=True)
        return result.stdout if result.returncode == 0 else None

    def tree(self):
        return self.x("xwininfo", "-root", "-tree") or ""

    def visible_windows(self, name, by="--name"):
        """Mapped windows whose name (or with by="--class", class) matches."""
        found = self.x("xdotool", "search", "--onlyvisible", by, name)
        return [int(w) for w in found.split()] if found else []

    def ended(self):
        try:
            return self.program.wait(LIMIT_SECONDS)
        finally:
            self.close()

    def close(self):
        if self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        for helper in (self.tray, self.xvfb):
            if helper is not None:
                helper.terminate()
                helper.wait()


class Nginx:
    """nginx serving pages (name: bytes) on port 80 of a loopback address; needs root."""

    def __init__(self, root, host, pages):
        self.host = host
        www = os.path.join(root, "www")
        os.makedirs(www)
        os.makedirs(os.path.join(root, "tmp"))
        for name, content in pages.items():
            with open(os.path.join(www, name), "wb") as page:
                page.write(content)
        conf = os.path.join(root, "nginx.conf")
        with open(conf, "w") as out:
            out.write(f"""daemon off; master_process off; pid {root}/nginx.pid;
error_log {root}/error.log;
events {{ worker_connections 64; }}
http {{ access_log off; default_type text/html; client_body_temp_path {root}/tmp;
  proxy_temp_path {root}/tmp; fastcgi_temp_path {root}/tmp; uwsgi_temp_path {root}/tmp;
  scgi_temp_path {root}/tmp; server {{ listen {host}:80; root {www}; }} }}
""")
        self.process = subprocess.Popen(["/usr/sbin/nginx", "-p", root, "-c", conf,
                                         "-e", os.path.join(root, "error.log")])
        until(self.answers, f"nginx on {host}:80 (is port 80 free, and are we root?)", 10)

    def answers(self):
        try:
            socket.create_connection((self.host, 80), timeout=0.2).close()
            return True
        except OSError:
            return False

    def stop(self):
        self.process.terminate()
        self.process.wait()
