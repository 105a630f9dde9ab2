#!/usr/bin/python3
"""The AT-SPI events applications send on the walk's bus, recorded by this file run as a
process of its own (pyatspi needs its own main loop): one line per event whose sender is
one of the named applications, with the monotonic time and the event's type (and with
--details its source's role and name, detail1 and any_data), after a first line "ready".

  a11y_events.py OUT APPLICATION[,APPLICATION...] [--details] [KIND...]"""

import argparse
import os
import sys
import time


class Events:
    """The recorder started in a session; the lines it wrote since a mark."""

    def __init__(self, session, env, applications="Murmela", kinds=(), details=False, timeout=30):
        from a11y_session import wait_for
        self.path = os.path.join(session.work, "events.tsv")
        open(self.path, "w").close()
        command = [sys.executable, os.path.abspath(__file__), self.path, applications] + list(kinds)
        session.start("events", command + (["--details"] if details else []), env=env)
        wait_for("the event recorder", lambda: self.lines()[:1] == ["ready"], timeout)

    def lines(self):
        with open(self.path, errors="replace") as log:
            return log.read().splitlines()

    def mark(self):
        return len(self.lines())

    def since(self, mark, quiet):
        """The types of the events after the mark, once none has come for `quiet` seconds."""
        count, still = -1, time.monotonic()
        while count != len(self.lines()) or time.monotonic() - still < quiet:
            if count != len(self.lines()):
                count, still = len(self.lines()), time.monotonic()
            time.sleep(0.05)
        return [line.split("\t")[1] for line in self.lines()[mark:count]]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out")
    parser.add_argument("applications")
    parser.add_argument("kinds", nargs="*", default=["object", "window"])
    parser.add_argument("--details", action="store_true")
    args = parser.parse_args()
    import pyatspi

    out, wanted, names = open(args.out, "w", buffering=1), set(args.applications.split(",")), {}

    def heard(event):
        sender = event.sender  # an application's root, asked its name once
        if sender is not None and sender not in names:
            try:
                names[sender] = sender.get_name()
            except Exception:  # gone already
                return
        if sender is None or names[sender] not in wanted:
            return
        line = "%.4f\t%s" % (time.monotonic(), event.type)
        if args.details:
            try:
                role, name = event.source.getRoleName(), event.source.name
            except Exception:
                role, name = "?", "?"
            line += "\t%s\t%r\t%s\t%r" % (role, name, event.detail1, str(event.any_data)[:200])
        out.write(line + "\n")

    pyatspi.Registry.registerEventListener(heard, *args.kinds)
    out.write("ready\n")
    pyatspi.Registry.start()


if __name__ == "__main__":
    main()
