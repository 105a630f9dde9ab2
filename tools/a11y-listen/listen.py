#!/usr/bin/python3
"""Listens to Murmela as a screen-reader user meets it: the real application
under Xvfb and openbox on a private D-Bus session with Orca, driven by keys
and AT-SPI only (the walk's machinery, through walkkit), through the scenarios below.
For each scenario it writes what was pressed, what Orca said ("SPEECH OUTPUT"
of its debug log) and what was read from the tree, each with its time in ms
from the scenario's start, into --out (one file a scenario, summary.txt, and
the AT-SPI events seen, events.txt).

  tools/a11y-listen/listen.sh BUILD_DIR OUT_DIR     (the build's tools and port)
"""

import argparse
import os
import subprocess
import sys
import threading
import time
import traceback

import walkkit as walk  # noqa: E402
from walkkit import utterances  # noqa: E402
from walkkit import Orca, Session, WalkError, in_private_network, port_answers, wait_for  # noqa: E402


ROUTES = ("walk", "grant", "stock", "many", "stock-list")
# The events the transcripts show beside what Orca said.
KINDS = ("object:property-change:accessible-description", "object:property-change:accessible-name",
         "object:property-change:accessible-value", "object:state-changed:focused", "object:state-changed:selected",
         "object:state-changed:checked", "object:announcement", "object:children-changed")


class Record:
    """One timeline of keys, utterances, notes and AT-SPI events; scenarios are slices of it."""

    def __init__(self, orca, out):
        self.orca, self.out = orca, out
        self.lines, self.scenes, self.current = [], [], None
        self.lock = threading.Lock()
        self.done = False
        self.reader = threading.Thread(target=self._follow, daemon=True)
        self.reader.start()

    def _follow(self):
        """Orca's log in whole lines: bytes are read and split on newlines, and a line is
        decoded once it is whole (a read may end inside a character that Orca writes on)."""
        rest, entry = b"", ""
        with open(self.orca.log, "rb") as log:
            log.seek(self.orca.mark())
            while not self.done:
                chunk = log.read()
                now = time.monotonic()
                *complete, rest = (rest + chunk).split(b"\n")
                for line in complete:
                    # An entry goes on over indented lines (an utterance with line breaks):
                    # it is read once the next one begins.
                    line = line.decode(errors="replace")
                    if line[:1].isspace():
                        entry += "\n" + line
                        continue
                    for said in utterances(entry):
                        self.add("ORCA", said, now)
                    entry = line
                time.sleep(0.01)

    def add(self, kind, text, when=None):
        with self.lock:
            self.lines.append((time.monotonic() if when is None else when, kind, text))

    def note(self, text):
        self.add("note", text)
        print("listen: " + text, flush=True)

    def begin(self, number, title):
        self.end()
        self.current = [number, title, time.monotonic(), None, []]
        self.scenes.append(self.current)
        print("listen: scenario %s: %s" % (number, title), flush=True)

    def finding(self, text):
        """A line for the summary (and the transcript)."""
        self.current[4].append(text)
        self.note("FINDING " + text)

    def end(self):
        if self.current and self.current[3] is None:
            self.current[3] = time.monotonic()

    def said_since(self, since):
        with self.lock:
            return [text for when, kind, text in self.lines if kind == "ORCA" and when >= since]

    def write(self, events, route):
        self.end()
        time.sleep(0.3)
        self.done = True
        os.makedirs(self.out, exist_ok=True)
        summary = []
        for number, title, start, stop, findings in self.scenes:
            name = "%s.txt" % number
            with open(os.path.join(self.out, name), "w") as page:
                page.write("# scenario %s: %s\n" % (number, title))
                for when, kind, text in sorted(self.lines + events):
                    if start <= when < stop:
                        page.write("%+7d ms  %-5s %s\n" % (round((when - start) * 1000), kind, text))
            told = sum(1 for when, kind, text in events
                       if start <= when < stop and "accessible-description" in text)
            findings = findings + ["AT-SPI description-change events in this scenario: %d" % told]
            summary.append("== %s: %s (%s)\n" % (number, title, name) + "".join("  - %s\n" % f for f in findings))
        with open(os.path.join(self.out, "summary-%s.txt" % route), "w") as page:
            page.write("".join(summary))
        with open(os.path.join(self.out, "timeline-%s.txt" % route), "w") as page:
            origin = self.scenes[0][2] if self.scenes else 0
            for when, kind, text in sorted(self.lines + events):
                page.write("%+8d ms  %-5s %s\n" % (round((when - origin) * 1000), kind, text))


class Driver:
    """The application's tree and keyboard, every key written to the record."""

    def __init__(self, app, record, slow):
        self.app, self.record, self.slow = app, record, slow

    def __getattr__(self, name):
        return getattr(self.app, name)

    def key(self, *keys):
        for key in keys:
            self.record.add("KEY", key)
            self.app.key(key)

    def type(self, text):
        self.record.add("KEY", "type %r" % text)
        subprocess.run(["xdotool", "type", "--delay", "60", text], check=True,
                       env={"DISPLAY": self.app.display, "PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8"})

    def tab_to(self, name, role=None, limit=40, back=False):
        for _ in range(limit):
            focused = self.app.focused()
            if focused and self.app.find(name, role, [focused]):
                return focused
            before = str(focused)
            self.key("shift+Tab" if back else "Tab")
            try:
                wait_for("the focus to move", lambda: str(self.app.focused()) != before, 10)
            except WalkError:
                pass
        raise WalkError("Tab never reached %s %r" % (role or "", name))

    def settle(self, seconds=1.5):
        time.sleep(seconds * self.slow)

    def text_of(self, node):
        return node.accessible.queryText().getText(0, -1)

    def focus_line(self):
        focused = self.app.focused()
        return str(focused).strip() if focused else "(nothing focused)"


def launch(session, args, env, arguments):
    process = session.start("murmela-%d" % len(session.processes), [args.app] + arguments, env=env)
    app = walk.Application("Murmela", env["DISPLAY"], 60 * args.slow, True)
    return process, app


def run_scenarios(record, driver, which, context):
    for number, title, scene in which:
        if context["only"] and number not in context["only"]:
            continue
        record.begin(number, title)
        try:
            scene(driver, record, context)
        except Exception as error:  # the scenario is told as far as it went
            record.finding("NOT DRIVEN to the end: %s" % str(error).splitlines()[0])
            record.note(traceback.format_exc().replace("\n", " | "))
            if isinstance(error, WalkError):
                record.note("tree: " + driver.dump().replace("\n", " | "))
            if context.get("fatal"):
                raise


def inner(args):
    args.work = os.path.join(args.work, args.route)
    os.makedirs(args.work, exist_ok=True)
    session = Session(args.work)
    events_log = None
    record = None
    try:
        home = os.path.join(args.work, "home")
        database = walk.write_world(args, home)  # the sample chat in WORK/ROUTE/sample
        display = session.x_server()
        env = walk.app_environment(home, display)
        port = int(args.backend_url.rstrip("/").rsplit(":", 1)[1])
        if port_answers(port):
            raise WalkError("port %d is taken" % port)
        backend = walk.Backend(session, args, port) if not args.route.startswith("stock") else None
        orca = Orca(session, env, 60 * args.slow)
        events_log = walk.Events(session, env, "Murmela,Stock field", KINDS, details=True).path
        record = Record(orca, args.out)
        from scenarios import grant_route, stock_route, walk_route  # pyatspi: once the accessibility bus is up
        context = {"backend": backend, "slow": args.slow, "only": set(args.only or []), "display": display,
                   "events": events_log}
        if args.route == "stock":
            # Qt's own field, nothing of Murmela's, holding the text Murmela's name field is heard with.
            session.start("stock-field", [args.stock_field, "Sam Rivera 🌸"], env=env)
            app = walk.Application("Stock field", display, 60 * args.slow, True)
            run_scenarios(record, Driver(app, record, args.slow), stock_route(), context)
            return 0
        if args.route == "stock-list":
            from picker import stock_list_route
            session.start("stock-field", [args.stock_field, "--list", str(args.chats)], env=env)
            app = walk.Application("Stock field", display, 60 * args.slow, True)
            run_scenarios(record, Driver(app, record, args.slow), stock_list_route(args.chats), context)
            return 0
        if args.route == "many":
            from picker import many_route
            arguments = ["-messagesDB", walk.many_chats(database, args.chats), "-shareAPIBaseURL", args.backend_url]
            process, app = launch(session, args, env, arguments)
            run_scenarios(record, Driver(app, record, args.slow), many_route(args.chats), context)
            return 0

        if args.route == "walk":
            # The walk's route: the messages database named at launch, no permissions screen.
            arguments = ["-messagesDB", database, "-shareAPIBaseURL", args.backend_url]
        else:
            # The permissions route: 200 chats in the default place and an address book to grant.
            os.makedirs(os.path.join(home, "Library", "Messages"), exist_ok=True)
            subprocess.run(["cp", walk.many_chats(database, 200), os.path.join(home, "Library", "Messages", "chat.db")],
                           check=True)
            os.makedirs(os.path.join(home, "data", "contacts"), exist_ok=True)
            with open(os.path.join(home, "data", "contacts", "people.vcf"), "w") as card:
                card.write("BEGIN:VCARD\nVERSION:3.0\nFN:Sam\nN:;Sam;;;\nTEL:+15551234567\nEND:VCARD\n")
            arguments = ["-shareAPIBaseURL", args.backend_url]
        process, app = launch(session, args, env, arguments)
        run_scenarios(record, Driver(app, record, args.slow), walk_route() if args.route == "walk" else grant_route(),
                      context)
        return 0
    except WalkError as error:
        print("listen: FAILED: %s" % error, flush=True)
        for name, _ in session.processes:
            if name.startswith("murmela"):
                print("--- %s log ---\n%s" % (name, session.tail(name)), flush=True)
        return 1
    finally:
        if record:
            events = []
            if events_log and os.path.exists(events_log):
                with open(events_log, errors="replace") as page:
                    for line in page:
                        when, _, rest = line.rstrip("\n").partition("\t")
                        try:
                            events.append((float(when), "EVENT", rest.replace("\t", " ")))
                        except ValueError:
                            pass
            record.write(events, args.route)
            print("listen: transcripts in %s" % args.out, flush=True)
        session.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--app", required=True)
    parser.add_argument("--backend", required=True)
    parser.add_argument("--backend-url", required=True)
    parser.add_argument("--sample-chat", required=True)
    parser.add_argument("--out", required=True, help="folder for the transcripts")
    parser.add_argument("--work", help="scratch folder (default: OUT/work)")
    parser.add_argument("--slow", type=float, default=1.0, help="how much longer every wait may take")
    parser.add_argument("--only", nargs="*", help="scenarios to run, by their file name without .txt (those before them are skipped too)")
    parser.add_argument("--stock-field", help="the stock-field tool, for the stock route")
    parser.add_argument("--chats", type=int, default=2000, help="chats for the many and stock-list routes")
    parser.add_argument("--routes", nargs="*", choices=ROUTES, default=["walk", "grant"],
                        help="the routes to take (walk and grant by default; stock: a stock Qt field; many: the picker "
                             "with --chats chats, timed key by key; stock-list: a stock list of as many)")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--route", choices=ROUTES, help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.out = os.path.abspath(args.out)
    args.work = os.path.abspath(args.work or os.path.join(args.out, "work"))
    if args.inner:
        return inner(args)
    os.makedirs(args.work, exist_ok=True)
    # The accessibility bus's socket in a folder of its own, not the user's (another walk's).
    os.environ["XDG_RUNTIME_DIR"] = os.path.join(args.work, "runtime")
    os.makedirs(os.environ["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    # Each route on a display, bus and Orca of its own: the walk's route, then the permissions route.
    codes = []
    for route in args.routes:
        command = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--inner", "--route", route]
        command += sys.argv[1:]
        code = in_private_network(command)
        codes.append(subprocess.call(command) if code is None else code)
    with open(os.path.join(args.out, "summary.txt"), "w") as summary:
        for route in args.routes:
            path = os.path.join(args.out, "summary-%s.txt" % route)
            if os.path.exists(path):
                with open(path) as part:
                    summary.write(part.read())
    return max(codes)


if __name__ == "__main__":
    sys.exit(main())
