"""Orca on the walk's bus: what it speaks, from its debug log's "SPEECH OUTPUT" lines."""

import fnmatch
import os
import re
import shutil

from a11y_session import WalkError, wait_for

SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)' ?(?:\{|voice=|$)", re.MULTILINE)

# Orca's launcher, with the debug log written line by line (else the last words
# wait for more) and minding no other Orca of the user (another walk's bus).
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
        self.timeout, self.misses = timeout, []
        self.log = os.path.join(session.work, "orca-debug.out")
        prefs = os.path.join(session.work, "orca-prefs")  # its own settings: the defaults
        shutil.rmtree(prefs, ignore_errors=True)
        os.makedirs(prefs)
        open(self.log, "w").close()
        session.start("orca", ["/usr/bin/python3", "-c", LAUNCHER, "-u", prefs, "--debug-file", self.log], env=env)
        wait_for("Orca to start", lambda: "ORCA: Startup complete" in self.text(0), timeout)

    def text(self, since):
        with open(self.log, errors="replace") as log:
            log.seek(since)
            return log.read()

    def mark(self):
        return os.path.getsize(self.log)

    def heard(self, what, since, pattern):
        """Waits for Orca to say what matches the shell pattern since the mark; a miss is
        noted with what it did say and the walk goes on (one run tells every miss)."""
        def said():
            return [m.group(1).strip() for m in SPOKEN.finditer(self.text(since))]
        try:
            wait_for("Orca to say " + what, lambda: fnmatch.filter([s.lower() for s in said()], pattern.lower()),
                     self.timeout)
        except WalkError:
            self.misses.append("%s: Orca did not say %r; it said %s" % (what, pattern, said()))

    def verdict(self):
        if self.misses:
            raise WalkError("what a screen reader heard was wrong:\n  " + "\n  ".join(self.misses))
