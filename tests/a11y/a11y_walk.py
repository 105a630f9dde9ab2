#!/usr/bin/python3
"""Walks Murmela from its first launch to My Shares as a screen-reader user
would: the real application under Xvfb, on a private D-Bus session with the
accessibility bus, the development backend beside it, and nothing but AT-SPI
actions and keys (never the pointer). On every screen the controls of its
table must be showing with their role and name, and its title must be read.
Orca listens throughout, and what it says at the moments that matter is checked.

Runs itself again inside a network namespace of its own (so the development
backend takes the build's port without meeting anything else on it) and a
D-Bus session of its own."""

import argparse
import glob
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from a11y_events import Events  # noqa: E402
from a11y_many import MANY, many_chats, many_picker  # noqa: E402
from a11y_orca import Orca  # noqa: E402
from a11y_session import Session, WalkError, in_private_network, port_answers, wait_for  # noqa: E402

PARTNER = "Sam"
HANDLE = "+15551234567"
ROW = "*4567*"  # no contacts are shared: the chat goes by its handle
SLIDES = 14
# A link refused by a proxy in front of the backend: a 403 carrying a 4 KB page.
REFUSAL = "403\n<!DOCTYPE html><html><head><title>403 Forbidden</title></head><body><h1>Forbidden</h1>%s</body></html>" % (
    "<p>Request blocked by the edge firewall.</p>" * 90)
# A sheet read again: the window and the dialog named as Orca enters them.
REREAD = ("Murmela", "Murmela frame*", "* dialog*")

# The title and the controls a sighted user sees on each screen: (name, role)
# as a screen reader reports them (names are shell patterns, "*" for what varies).
BUTTON, CHECK, LINK, RADIO, TAB, ITEM, FIELD = (
    "push button", "check box", "link", "radio button", "page tab", "list item", "text")
SCREENS = {
    "welcome": ("Murmela.", [
        ("Agree to Privacy Policy and Terms", CHECK), ("Privacy Policy", LINK), ("Terms", LINK),
        ("Get Started", BUTTON)]),
    "intelligence": ("How should Murmela think?", [
        ("Cloud intelligence*", RADIO), ("Hybrid intelligence*", RADIO), ("Back", BUTTON),
        ("Continue", BUTTON)]),
    "picker": ("Choose a chat.", [
        ("Search contacts or handles", FIELD), ("Chats", "list"), (ROW, ITEM), ("Back", BUTTON),
        ("Wrap it up", BUTTON)]),
    "name sheet": ("What should we call them?", [
        ("Close", BUTTON), ("Name", FIELD), ("Cancel", BUTTON), ("Start wrapping", BUTTON)]),
    "processing": ("Wrapping-up*", [("*", "progress bar")]),
    "share sheet": ("Share", [
        ("Close", BUTTON), ("This Slide", TAB), ("Slideshow", TAB), ("Scroll left", BUTTON), ("Stories", BUTTON),
        ("Messages", BUTTON), ("X", BUTTON), ("TikTok", BUTTON), ("Scroll right", BUTTON),
        ("Generate link", BUTTON), ("Download as images", BUTTON)]),
    "link": ("Share", [("Back", BUTTON), ("Close", BUTTON), ("Copy link", BUTTON), ("Share...", BUTTON)]),
    "home": ("Past Murmelas.", [
        ("Settings", BUTTON), ("New Murmela", BUTTON), ("My shares", BUTTON), ("you & " + PARTNER, BUTTON)]),
    "my shares": ("My shares", [("Done", BUTTON), ("you & " + PARTNER, "label"), ("Copy", BUTTON),
                                ("Revoke", BUTTON)]),
}


def slide_controls(index):
    """A slide's buttons: the chevrons but at the ends, Share, and Done on the last; and its title."""
    controls = [("*", "heading"), ("Share", BUTTON)]
    if index > 1:
        controls.append(("Previous slide", BUTTON))
    controls.append(("Next slide", BUTTON) if index < SLIDES else ("Done", BUTTON))
    return controls


def write_world(args, home):
    shutil.rmtree(home, ignore_errors=True)  # every walk is a first launch
    for folder in ("data", "config", "cache", "runtime"):
        os.makedirs(os.path.join(home, folder), exist_ok=True)
    os.chmod(os.path.join(home, "runtime"), 0o700)
    sample = os.path.join(args.work, "sample")
    if not os.path.exists(os.path.join(sample, "chat.db")):
        subprocess.run([args.sample_chat, "--messages", "2000", "--other-name", PARTNER, "--handle", HANDLE,
                        "--out", sample], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(sample, "chat.db")


def app_environment(home, display):
    sanitizer = os.environ.get("ASAN_OPTIONS")
    if sanitizer:
        # libxkbcommon-x11 (reading the X keymap) hands strndup buffers that
        # end before the length it passes: only the strict string check minds.
        os.environ["ASAN_OPTIONS"] = sanitizer + ":strict_string_checks=0"
    return dict(
        os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
        QT_ACCESSIBILITY="1", HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
        XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_CACHE_HOME=os.path.join(home, "cache"),
        XDG_RUNTIME_DIR=os.path.join(home, "runtime"), TZ="America/New_York", LANG="en_US.UTF-8",
        LC_ALL="en_US.UTF-8", NO_AT_BRIDGE="0")


LOST = "*The network connection was lost*"  # the error of a connection closed mid-exchange
LOG_PATH = ("*analysis.log*", "*Log:*")


def failed_run(app, orca, heard):
    """Back on the picker after a failed run: the error is said once, as its announcement, and
    the log's path not at all; Tab onto the failure panel says its name and its button only."""
    orca.heard_once("arriving after a failed run", heard, LOST, 400, 2.0)
    orca.heard("arriving after a failed run", heard, "*Last analysis failed*")
    orca.none_said("arriving after a failed run", heard, LOG_PATH)
    app.wait("the keys in the search field", lambda: app.find("Search contacts or handles", FIELD, [app.focused()]))
    heard = orca.mark()
    app.key("Tab")
    app.wait("the ring on Copy log", lambda: app.find("Copy log", BUTTON, [app.focused()]))
    orca.heard("Tab onto the failure panel", heard, "Copy log push button*")
    orca.heard("Tab onto the failure panel", heard, "Last analysis failed*panel*")
    orca.none_said("Tab onto the failure panel", heard, (LOST,) + LOG_PATH)


def walk(app, say, shoot, backend, orca):
    """The steps, first launch to My Shares; each screen checked against its table."""
    def screen(key):
        title, controls = SCREENS[key]
        app.check_screen(key, title, controls)
        say("checked " + key)
        shoot(key)

    def start_wrapping(name):
        app.tab_to("Name", FIELD)
        app.key("ctrl+a", *name, "Return")  # Return only ends the edit: the sheet stays
        app.tab_to("Start wrapping", BUTTON)
        app.key("space")

    screen("welcome")
    app.activate("Agree to Privacy Policy and Terms", CHECK)
    app.wait("the terms accepted", lambda: any(
        n.has(pyatspi.STATE_CHECKED) for n in app.find("Agree to Privacy Policy and Terms", CHECK)))
    app.tab_to("Get Started", BUTTON)
    shoot("welcome-get-started")
    heard = orca.mark()
    app.key("space")

    screen("intelligence")
    # Arriving: the screen says what it is, not an unnamed object.
    orca.heard("a screen change", heard, "How should Murmela think?*heading*")
    app.activate("Cloud intelligence*", RADIO)
    app.tab_to("Continue", BUTTON)
    heard = orca.mark()
    app.key("Return")

    screen("picker")
    # Arriving: the title is said, and letters typed at once search: no Tab to the field first.
    orca.heard("arriving at the picker", heard, "*Choose a chat.*")
    app.key("s")
    search = app.wait_control("Search contacts or handles", FIELD).accessible.queryText()
    try:
        wait_for("the letter in the search field", lambda: search.getText(0, -1) == "s", 5 * orca.slow)
    except WalkError:
        orca.miss("typing on arrival at the picker: the search field holds %r, not 's'" % search.getText(0, -1))
    app.tab_to("Search contacts or handles", FIELD)
    app.key("ctrl+a", "5", "5", "5")
    if app.keys_only:  # the list comes after the search field; the arrows choose its rows
        app.key("Tab", "Down")
    else:
        app.press(ROW, ITEM)
    app.wait("the chat chosen", lambda: any(n.has(pyatspi.STATE_SELECTED) for n in app.find(ROW, ITEM)))
    app.tab_to(ROW, ITEM)  # the keyboard in the list, on its chosen row
    heard = orca.mark()
    app.tab_to("Back", BUTTON)
    orca.heard("a Tab from the chat list to Back", heard, "Back push button*")
    app.tab_to("Wrap it up", BUTTON)
    heard = orca.mark()
    app.key("Return")

    screen("name sheet")
    # The field the sheet opens on is read whole (its last letter once went missing).
    name = app.wait_control("Name", FIELD).accessible.queryText().getText(0, -1)
    orca.heard("the Name field on opening", heard, glob.escape(name) + "*", 10 * orca.slow)
    app.tab_to("Start wrapping", BUTTON)
    shoot("name-sheet-start-wrapping")
    app.tab_to("Close", BUTTON)
    # A run whose analysis step loses its connection fails and comes back to the picker.
    backend.drop_analysis(True)
    heard = orca.mark()
    start_wrapping(PARTNER)
    app.wait_text("Last analysis failed")
    failed_run(app, orca, heard)
    say("heard a failed run's arrival and its panel")
    backend.drop_analysis(False)
    app.tab_to("Wrap it up", BUTTON)
    app.key("Return")
    screen("name sheet")
    # The backend holds its answer while the processing screen is looked at.
    backend.process.send_signal(signal.SIGSTOP)
    start_wrapping(PARTNER)
    screen("processing")
    backend.process.send_signal(signal.SIGCONT)
    for index in range(1, SLIDES + 1):
        if index == SLIDES:  # the last by its button: the focus moves to Previous slide
            heard = orca.mark()
            app.tab_to("Next slide", BUTTON)
            orca.caught_up(heard, "Next slide push button*")
        heard = orca.mark()
        if index > 1:
            app.key("space" if index == SLIDES else "Right")
        place = "Slide %d of %d" % (index, SLIDES)
        app.wait_control(place + ".*", "notification")  # announced (after the first, with the slide's title)
        if index == 2:
            orca.heard("a slide change", heard, "*" + place + ". *")
        if index == SLIDES:  # and the title is not cut off by that focus move
            orca.heard_alone("Space on Next slide", heard, "*" + place + ". *", "*push button*")
        app.check_screen("slide %d" % index, place, slide_controls(index))
        shoot("slide-%02d" % index)
    say("read every slide")

    app.tab_to("Share", BUTTON)
    app.key("space")
    screen("share sheet")
    # A refused link: the error is said once and short (its whole text stays in its box); a short
    # one, which the box shows whole, is not said again on the next Tab.
    backend.refuse(REFUSAL)
    app.tab_to("Generate link", BUTTON)
    heard = orca.mark()
    app.key("space")
    orca.heard_once("a link error", heard, "*403*", 200)
    backend.refuse('503\n{"detail": {"message": "Busy", "status_code": 503}}')
    heard = orca.mark()
    app.key("space")
    if orca.heard("a short link error", heard, "*share link*"):
        heard = orca.mark()
        app.key("Tab")
        orca.not_heard("a Tab after a link error", heard, "*share link*", 1.5)
    backend.refuse(None)
    app.tab_to("Generate link", BUTTON)
    heard = orca.mark()
    app.key("space")  # a link on the backend: My Shares lists it
    screen("link")
    # The new page in its own words, without the sheet read again first, and the ring on a control of it.
    orca.heard_first("Generate link", heard, "*Anyone with this link can view. *", REREAD)
    app.wait("the ring on the link page", lambda: app.focused() and app.focused().role == BUTTON)
    app.tab_to("Copy link", BUTTON)
    heard = orca.mark()
    app.key("space")
    orca.heard_first("Copy link", heard, "*Link copied*", REREAD)
    app.key("Escape")
    app.wait("the share sheet gone", lambda: not app.find("This Slide", TAB))
    # A toast: the slide's image copied for a story, spoken as it shows.
    app.tab_to("Share", BUTTON)
    app.key("space")
    screen("share sheet")
    heard = orca.mark()
    app.activate("Stories", BUTTON)
    app.wait("the share sheet gone", lambda: not app.find("This Slide", TAB))
    orca.heard("a toast", heard, "*Image copied.*")
    app.tab_to("Done", BUTTON)
    shoot("closer-done")
    app.key("space")

    screen("home")
    app.tab_to("My shares", BUTTON)
    app.key("space")
    screen("my shares")
    app.activate("Done", BUTTON)
    app.wait("My Shares closed", lambda: not app.find("Revoke", BUTTON))
    app.wait_text("Past Murmelas.")


class Backend:
    """The development backend on the build's port: stopped and started again, refusing share links, or
    closing analysis steps without an answer, for the failures the walk meets."""

    def __init__(self, session, args, port):
        self.session, self.args, self.port = session, args, port
        self.refusal = os.path.join(args.work, "refuse-shares")
        self.dropping = os.path.join(args.work, "drop-analysis")
        self.refuse(None)
        self.drop_analysis(False)
        self.start()

    def start(self):
        name = "backend-%d" % len(self.session.processes)
        self.process = self.session.start(name, [self.args.backend, "--port", str(self.port),
                                                 "--refuse-shares-while", self.refusal,
                                                 "--drop-analysis-while", self.dropping])
        wait_for("the development backend", lambda: port_answers(self.port), 30 * self.args.slow)

    def refuse(self, answer):
        """New share links are refused with this answer (its status, a line, its body), or made again."""
        if answer is None:
            if os.path.exists(self.refusal):
                os.remove(self.refusal)
            return
        with open(self.refusal, "w") as refusal:
            refusal.write(answer)

    def drop_analysis(self, drop):
        """While `drop`, the connection of every analysis step is closed without an answer."""
        if drop:
            open(self.dropping, "w").close()
        elif os.path.exists(self.dropping):
            os.remove(self.dropping)

    def stop(self):
        self.process.kill()
        self.process.wait()


def inner(args):
    import a11y_tree
    global pyatspi
    import pyatspi

    home = os.path.join(args.work, "home")
    database = write_world(args, home)
    session = Session(args.work)
    started = time.monotonic()
    say = lambda text: print("a11y walk: %5.1f s %s" % (time.monotonic() - started, text), flush=True)
    display = None

    def shoot(name, folder=args.shots_dir):
        if folder and display:
            os.makedirs(folder, exist_ok=True)
            subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")],
                           env={"DISPLAY": display, "PATH": "/usr/bin:/bin"}, check=False)
    try:
        display = session.x_server()
        env = app_environment(home, display)
        port = int(args.backend_url.rstrip("/").rsplit(":", 1)[1])
        if port_answers(port):
            raise WalkError("port %d is taken: the walk needs the build's backend port of its own" % port)
        backend = Backend(session, args, port)
        # The accessibility bus and its registry start on demand through D-Bus
        # activation (at-spi2-core's service files), as on a desktop, where Orca comes first.
        orca = Orca(session, env, 60 * args.slow, args.slow)
        events = Events(session, env, timeout=30 * args.slow)
        session.start("murmela", [args.app, "-messagesDB", database, "-shareAPIBaseURL", args.backend_url], env=env)
        app = a11y_tree.Application("Murmela", display, 60 * args.slow, args.keys_only)
        say("the application is on the bus")
        walk(app, say, shoot, backend, orca)
        # Again from a first launch, with many chats.
        first = dict(session.processes)["murmela"]
        first.terminate()
        first.wait()
        wait_for("the first launch off the bus", lambda: not a11y_tree.Application._find("Murmela"), 30 * args.slow)
        many_home = os.path.join(args.work, "home-many")
        write_world(args, many_home)
        session.start("murmela-many", [args.app, "-messagesDB", many_chats(database, MANY), "-shareAPIBaseURL",
                                       args.backend_url], env=app_environment(many_home, display))
        many_picker(a11y_tree.Application("Murmela", display, 60 * args.slow, args.keys_only), say, orca, events)
        orca.verdict()
        say("walk done")
        return 0
    except WalkError as error:
        print("a11y walk: FAILED: %s" % error, flush=True)
        shoot("failure", args.work)
        print("--- murmela log ---\n" + session.tail("murmela"), flush=True)
        return 1
    finally:
        session.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--app", required=True)
    parser.add_argument("--backend", required=True)
    parser.add_argument("--backend-url", required=True)
    parser.add_argument("--sample-chat", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--slow", type=float, default=1.0, help="how much longer every wait may take")
    parser.add_argument("--keys-only", action="store_true", help="Tab and Space in place of AT-SPI actions")
    parser.add_argument("--shots-dir", help="a screenshot of every screen into this folder")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.inner:
        return inner(args)
    os.makedirs(args.work, exist_ok=True)
    # The accessibility bus's socket in a folder of its own, not the user's: another walk's bus
    # (another build's, run at the same time) would take it over.
    os.environ["XDG_RUNTIME_DIR"] = os.path.join(args.work, "bus-runtime")
    os.makedirs(os.environ["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    command = ["dbus-run-session", "--", "/usr/bin/python3", os.path.abspath(__file__), "--inner"] + sys.argv[1:]
    code = in_private_network(command)
    if code is None:
        code = subprocess.call(command)
    return code


if __name__ == "__main__":
    sys.exit(main())
