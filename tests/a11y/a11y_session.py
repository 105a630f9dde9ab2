"""The world of the screen-reader walk: a private network (so that the
development backend can take the build's port), an X server, a D-Bus session
with the accessibility bus, the development backend and the application."""

import os
import shutil
import signal
import socket
import subprocess
import time


class WalkError(Exception):
    pass


def wait_for(what, condition, timeout, interval=0.1):
    """Polls `condition` until it returns something true; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            result = condition()
        except Exception:  # the tree changes under the query: ask again
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise WalkError("timed out waiting for " + what)
        time.sleep(interval)


def in_private_network(argv):
    """Runs argv again in a network namespace of its own with the loopback up.
    Returns the exit code, or None when namespaces are not available."""
    if os.environ.get("MURMELA_A11Y_NETNS") == "1":
        return None
    prefix = ["unshare", "--net"] if os.geteuid() == 0 else ["unshare", "--map-root-user", "--net"]
    probe = subprocess.run(prefix + ["ip", "link", "set", "lo", "up"], capture_output=True)
    if probe.returncode != 0 or not shutil.which("ip"):
        return None
    env = dict(os.environ, MURMELA_A11Y_NETNS="1")
    command = prefix + ["sh", "-c", 'ip link set lo up && exec "$@"', "sh"] + argv
    return subprocess.call(command, env=env)


def port_answers(port):
    with socket.socket() as probe:
        probe.settimeout(0.5)
        return probe.connect_ex(("127.0.0.1", port)) == 0


class Session:
    """Processes started for the walk, ended in reverse order."""

    def __init__(self, work):
        self.work = work
        self.processes = []
        self.logs = []

    def start(self, name, command, env=None, pass_fds=()):
        log = open(os.path.join(self.work, name + ".log"), "wb")
        self.logs.append(log)
        process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, env=env,
                                   stdin=subprocess.DEVNULL, pass_fds=pass_fds)
        self.processes.append((name, process))
        return process

    def x_server(self):
        read_end, write_end = os.pipe()
        self.start("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x900x24",
                            "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as display_pipe:
            number = wait_for("the X server", lambda: display_pipe.readline().strip(), 30)
        display = ":" + number
        # A window manager, as on a desktop: it gives the keyboard to each new
        # window and dialog (without one no window has the keyboard at all).
        env = dict(os.environ, DISPLAY=display)
        self.start("openbox", ["openbox", "--sm-disable"], env=env)

        def managed():
            root = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                  capture_output=True, text=True)
            return "window id" in root.stdout
        wait_for("the window manager", managed, 30)
        return display

    def close(self):
        for name, process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGCONT)  # one the walk held
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        for log in self.logs:
            log.close()

    def tail(self, name, lines=40):
        path = os.path.join(self.work, name + ".log")
        if not os.path.exists(path):
            return ""
        with open(path, errors="replace") as log:
            return "".join(log.readlines()[-lines:])
