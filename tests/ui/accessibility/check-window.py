#!/usr/bin/python3
"""The window as a screen reader reads it and a keyboard drives it: the real program on a display,
a session bus and an accessibility bus of this test's own, under a window manager. Reads the
accessible tree (printed, roles and names) and checks every control's role and name; types the
typical run and presses Calculate by keys alone; checks the chart's summary; moves the chart's
cursor and reads the point announced; zooms and shows all by keys; opens the menu with Shift+F10;
and Tabs through «Проверить корни…» to «Закрыть».

    check-window.py ROOTFINDER

Runs under the Russian locale, as the window's users do (numbers with a decimal comma, Qt's own
buttons in Russian). Exits 77 (skipped) when Xvfb, openbox, xdotool, dbus-daemon, the accessibility bus or pyatspi is
missing. Everything it starts is ended, whatever happens."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
AT_SPI_BUS = "/usr/libexec/at-spi-bus-launcher"
REGISTRY = "/usr/libexec/at-spi2-registryd"


# Delivers the accessibility events that have arrived; set once the bus is there.
pump_events = lambda: None  # noqa: E731


def wait_for(what, condition, timeout=30.0):
    """The condition's first true value, polled until `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        pump_events()
        try:
            value = condition()
        except Exception:  # the bus answers only once the object is there
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


class Processes:
    """Started processes, each in a group of its own, ended in reverse order."""

    def __init__(self):
        self.started = []

    def start(self, args, **kwargs):
        process = subprocess.Popen(args, start_new_session=True, **kwargs)
        self.started.append(process)
        return process

    def end_all(self):
        for process in reversed(self.started):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                    process.wait(timeout=5)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    try:
                        os.killpg(process.pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
                    process.wait()


def start_display(processes):
    """Xvfb on the first free display, which it names itself once it is ready."""
    read_end, write_end = os.pipe()
    processes.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                    pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as display:
        number = display.readline().strip()
    if not number:
        raise AssertionError("Xvfb did not start")
    return ":" + number


def start_session_bus(processes):
    bus = processes.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE,
                          text=True)
    address = bus.stdout.readline().strip()
    if not address:
        raise AssertionError("dbus-daemon did not start")
    return address


class Window:
    """The program's accessible objects on the bus, and keys sent to it."""

    def __init__(self, pyatspi, pid):
        self.pyatspi = pyatspi
        self.pid = pid
        self.app = wait_for("the program on the accessibility bus", self.find_app)
        # What a screen reader hears of: the object focused, and values changed.
        self.events = []
        pyatspi.Registry.registerEventListener(self.heard, "object:state-changed:focused",
                                               "object:property-change:accessible-value")

    def heard(self, event):
        try:
            if event.host_application.get_process_id() == self.pid and (event.detail1 or "focused" not in event.type):
                self.events.append((event.type, event.source.getRoleName(), event.source.name or ""))
        except Exception:
            pass

    def heard_since(self, start, kind):
        """The (role, name) of each object an event of `kind` came from, since event number `start`."""
        return [(role, name) for type_, role, name in self.events[start:] if type_.startswith(kind)]

    def find_app(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == self.pid and app.childCount > 0:
                return app
        return None

    def objects(self, root=None, depth=0):
        root = root or self.app
        yield root, depth
        for i in range(root.childCount):
            child = root.getChildAtIndex(i)
            if child is not None:
                yield from self.objects(child, depth + 1)

    def find(self, role, name, root=None):
        for accessible, _ in self.objects(root):
            if accessible.getRoleName() == role and (accessible.name or "") == name:
                return accessible
        return None

    def need(self, role, name, root=None):
        return wait_for("[%s] %r" % (role, name), lambda: self.find(role, name, root))

    def focused(self, accessible):
        return accessible.getState().contains(self.pyatspi.STATE_FOCUSED)

    def print_tree(self):
        for accessible, depth in self.objects():
            if accessible.getState().contains(self.pyatspi.STATE_SHOWING) or depth < 3:
                print("%s[%s] %r" % ("  " * depth, accessible.getRoleName(), accessible.name or ""))


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "30", *names], check=True, timeout=30)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "30", text], check=True, timeout=30)


def check(window, program):
    form = window.need("frame", "Form1")
    button = window.need("push button", "Рассчитать")
    wait_for("the window's focus on the button", lambda: window.focused(button))
    controls = {name: window.need("text", name) for name in ("Отчёт", "a =", "b =", "Шаг h =", "EPS =")}
    chart = window.need("chart", "График функции")
    assert chart.description.startswith("На графике нет точек. Клавиши:"), chart.description

    # The typical run by keys alone: the tab order is button, memo, chart, a, b, h, EPS.
    keys("Tab", "Tab", "Tab")
    wait_for("the focus on a", lambda: window.focused(controls["a ="]))
    for text, box in (("1", "a ="), ("5", "b ="), ("0.1", "Шаг h ="), ("0.0001", "EPS =")):
        type_text(text)
        wait_for("%s = %s" % (box, text), lambda: controls[box].queryText().getText(0, -1) == text)
        keys("Tab")
    wait_for("the focus back on the button", lambda: window.focused(button))
    keys("Return")
    summary = wait_for("the chart's summary", lambda: chart.description if "43 точки" in chart.description else None)
    memo = controls["Отчёт"].queryText().getText(0, -1)
    assert memo.endswith("1-й = 1,019122\n2-й = 4,595297"), memo
    window.print_tree()
    print("summary:", summary)
    assert summary.startswith("На графике 43 точки, x от 0,9 до 5,1, f от "), summary
    assert "Смены знака между соседними точками: 2, между x = 1 и 1,1; между x = 4,5 и 4,6." in summary, summary

    # The chart's cursor: the point it names is focused as it moves, and is the chart's value.
    keys("Tab", "Tab")
    wait_for("the focus on the chart", lambda: window.focused(chart))
    point = chart.getChildAtIndex(0)
    start = len(window.events)
    keys("Right")
    first = wait_for("the cursor's point focused", lambda: [n for r, n in window.heard_since(start, "object:state-changed:focused") if r == "label"])
    start = len(window.events)
    keys("ctrl+Right")
    root = wait_for("the cursor at the second sign change, focused",
                    lambda: [n for r, n in window.heard_since(start, "object:state-changed:focused") if n.startswith("x = 4,5;")])
    wait_for("the chart's value changed", lambda: ("chart", "График функции") in window.heard_since(start, "object:property-change:accessible-value"))
    print("announced:", first[-1], "/", root[-1])
    assert point.name == root[-1]
    assert abs(chart.queryValue().currentValue - 4.5) < 1e-12
    keys("ctrl+Left")
    wait_for("the cursor at the first sign change", lambda: point.name.startswith("x = 1;"))

    # Zoom in around the cursor, pan and show all: the point stays named the same.
    keys("plus", "plus", "shift+Right", "Home")
    wait_for("the cursor still named", lambda: point.name.startswith("x = 1;"))

    # The menu at the cursor, by Shift+F10: its items are heard as they take the focus (a popup
    # is no child of the application's).
    start = len(window.events)
    keys("shift+F10", "Up")
    items = wait_for("the menu's last item focused", lambda: [n for r, n in window.heard_since(start, "object:state-changed:focused") if r == "menu item"])
    if items[-1] != "Проверить корни…":  # a build without the check
        assert items[-1] == "Показать всё", items
        keys("Escape")
        return
    # «Проверить корни…»: Tab moves from the table to the list and to «Закрыть», which closes it.
    keys("Return")
    dialog = window.need("dialog", "Проверка корней")
    table = window.need("table", "Строки корней", dialog)
    missed = window.need("list", "Пропущенные нули", dialog)
    close = window.need("push button", "Закрыть", dialog)
    wait_for("the focus in the table", lambda: window.focused(table) or any(
        window.focused(a) for a, _ in window.objects(table)))
    keys("Tab")
    wait_for("the focus on the list", lambda: window.focused(missed) or any(
        window.focused(a) for a, _ in window.objects(missed)))
    keys("Tab")
    wait_for("the focus on «Закрыть»", lambda: window.focused(close))
    keys("Return")
    wait_for("the dialog closed", lambda: window.find("dialog", "Проверка корней") is None)
    del form


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    program = os.path.abspath(sys.argv[1])
    needed = ["Xvfb", "openbox", "xdotool", "dbus-daemon"]
    missing = [tool for tool in needed if not shutil.which(tool)] + [f for f in (AT_SPI_BUS, REGISTRY) if not os.path.exists(f)]
    try:
        import gi  # noqa: F401, pyatspi's own dependency
    except ImportError:
        missing.append("python3-gi")
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIP

    processes = Processes()
    runtime = tempfile.mkdtemp(prefix="rootfinder-a11y-")
    try:
        os.chmod(runtime, 0o700)
        os.environ.update({"XDG_RUNTIME_DIR": runtime, "HOME": runtime, "LC_ALL": "ru_RU.UTF-8", "LANG": "ru_RU.UTF-8"})
        os.environ.pop("QT_QPA_PLATFORM", None)
        os.environ.pop("WAYLAND_DISPLAY", None)
        os.environ["DISPLAY"] = start_display(processes)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(processes)
        processes.start([AT_SPI_BUS, "--launch-immediately"], stderr=subprocess.DEVNULL)
        try:
            import pyatspi
        except ImportError:
            print("skipped: missing python3-pyatspi")
            return SKIP
        wait_for("the accessibility bus", lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
            capture_output=True, timeout=5).returncode == 0)
        processes.start([REGISTRY], stderr=subprocess.DEVNULL)
        processes.start(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL)
        wait_for("the window manager", lambda: subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True,
            timeout=5).stdout.count("window id") > 0 if shutil.which("xprop") else True)
        app = processes.start([program], env=dict(os.environ, QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"),
                              stderr=subprocess.DEVNULL)
        window = Window(pyatspi, app.pid)
        global pump_events
        from gi.repository import GLib
        pump_events = lambda: [None for _ in iter(lambda: GLib.MainContext.default().iteration(False), False)]  # noqa: E731
        try:
            check(window, program)
        except AssertionError:
            print("the tree when it failed:")
            window.print_tree()
            raise
        print("passed")
        return 0
    finally:
        processes.end_all()
        shutil.rmtree(runtime, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
