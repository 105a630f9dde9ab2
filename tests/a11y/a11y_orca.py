"""Orca, the GNOME screen reader, on the walk's bus: what it speaks, read from
its debug log ("SPEECH OUTPUT" lines), as a blind user would hear it. No
speech server is needed: Orca logs every utterance before it hands it on."""

import fnmatch
import os
import re
import shutil

from a11y_session import WalkError, wait_for

SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)' ?(?:\{|voice=|$)", re.MULTILINE)

# Orca as its launcher starts it, but with its debug log written line by line
# (the launcher's is block-buffered: the last words would wait for more), and
# minding no other Orca of the same user: another walk's, on another bus, is
# no concern of this one (and `--replace` would end it).
LAUNCHER = """
import builtins, runpy, sys
plain = builtins.open
def opened(file, mode="r", *args, **kwargs):
    if file == sys.argv[-1] and "w" in mode:
        kwargs["buffering"] = 1
    return plain(file, mode, *args, **kwargs)
builtins.open = opened
launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")
launcher["main"].__globals__["otherOrcas"] = lambda: []
sys.exit(launcher["main"]())
"""


class Orca:
    def __init__(self, session, env, timeout):
        self.timeout = timeout
        self.log = os.path.join(session.work, "orca-debug.out")
        prefs = os.path.join(session.work, "orca-prefs")  # its own settings, the defaults
        shutil.rmtree(prefs, ignore_errors=True)
        os.makedirs(prefs)
        if os.path.exists(self.log):
            os.remove(self.log)
        session.start("orca", ["/usr/bin/python3", "-c", LAUNCHER, "-u", prefs, "--debug-file", self.log], env=env)
        wait_for("Orca to start", lambda: "ORCA: Startup complete" in self.text(0), timeout)
        self.misses = []

    def text(self, since):
        if not os.path.exists(self.log):
            return ""
        with open(self.log, errors="replace") as log:
            log.seek(since)
            return log.read()

    def spoken(self, since):
        """The utterances logged after `since` (a place in the log from mark())."""
        return [m.group(1).strip() for m in SPOKEN.finditer(self.text(since))]

    def mark(self):
        return os.path.getsize(self.log) if os.path.exists(self.log) else 0

    def heard(self, what, since, *patterns):
        """Waits for Orca to say what matches each shell pattern since the mark; a miss
        is noted with what it did say and the walk goes on (one run tells every miss)."""
        def all_said():
            said = [text.lower() for text in self.spoken(since)]
            return all(any(fnmatch.fnmatch(text, p.lower()) for text in said) for p in patterns)
        try:
            wait_for("Orca to say " + what, all_said, self.timeout)
            return True
        except WalkError:
            self.misses.append("%s: Orca did not say %s; it said %s" % (
                what, " and ".join(repr(p) for p in patterns), self.spoken(since)))
            return False


    def verdict(self):
        if self.misses:
            raise WalkError("what a screen reader heard was wrong:\n  " + "\n  ".join(self.misses))
