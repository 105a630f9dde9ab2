"""Orca on the walk's bus: what it speaks, from its debug log's "SPEECH OUTPUT" lines."""

import fnmatch
import os
import re
import shutil
import time

from a11y_session import WalkError, wait_for

# An utterance may hold line breaks: its debug line then goes on over indented lines.
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)' ?(?:\{|voice=|$)", re.MULTILINE | re.DOTALL)
GO_ON = re.compile(r"\n[ \t]+")


def utterances(text):
    """What Orca said in this stretch of its debug log, in order, each with its line breaks."""
    return [GO_ON.sub("\n", m.group(1)).strip() for m in SPOKEN.finditer(text)]

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


def matching(said, pattern):
    return [text for text in said if fnmatch.fnmatch(text.lower(), pattern.lower())]


class Orca:
    def __init__(self, session, env, timeout, slow=1.0):
        self.timeout, self.slow, self.misses = timeout, slow, []
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

    def said(self, since):
        return utterances(self.text(since))

    def heard(self, what, since, pattern, timeout=None):
        """Waits for Orca to say what matches the shell pattern since the mark; a miss is
        noted with what it did say and the walk goes on (one run tells every miss)."""
        try:
            wait_for("Orca to say " + what, lambda: matching(self.said(since), pattern), timeout or self.timeout)
            return True
        except WalkError:
            self.miss("%s: Orca did not say %r; it said %s" % (what, pattern, self.said(since)))
            return False

    def caught_up(self, since, pattern, seconds=5.0):
        """Waits a while for Orca to say what matches, without a miss if it does not: its focus where
        the walk's is before a key whose words are checked (a loaded Orca lags)."""
        try:
            wait_for("Orca to catch up", lambda: matching(self.said(since), pattern), seconds * self.slow)
        except WalkError:
            pass

    def miss(self, text):
        self.misses.append(text)

    def _after(self, what, since, anchor, seconds):
        """All Orca said since the mark, `seconds` after it first said what matches `anchor`
        (None when it never did)."""
        if not self.heard(what, since, anchor):
            return None
        time.sleep(seconds * self.slow)
        return self.said(since)

    def heard_alone(self, what, since, anchor, unwanted, seconds=1.0):
        """Orca says `anchor`, and nothing matching `unwanted` after the last time it does (a focus
        move of the same key cutting it off, say; the focus told first, or the anchor said again, pass)."""
        said = self._after(what, since, anchor, seconds)
        if said is None:
            return
        last = max(i for i, text in enumerate(said) if matching([text], anchor))
        if matching(said[last + 1:], unwanted):
            self.miss("%s: after %r Orca said %s; it said %s" % (
                what, said[last], matching(said[last + 1:], unwanted), said))

    def heard_first(self, what, since, anchor, unwanted):
        """Orca says `anchor`, and nothing matching one of the `unwanted` patterns before it."""
        if not self.heard(what, since, anchor):
            return
        said = self.said(since)
        before = said[:said.index(matching(said, anchor)[0])]
        found = [text[:120] for pattern in unwanted for text in matching(before, pattern)]
        if found:
            self.miss("%s: before %r Orca said %s" % (what, anchor, found))

    def heard_once(self, what, since, pattern, longest, seconds=1.0):
        """Orca says what matches `pattern` once, in at most `longest` characters."""
        said = self._after(what, since, pattern, seconds)
        found = matching(said or [], pattern)
        if len(found) > 1 or (found and len(found[0]) > longest):
            self.miss("%s: Orca said %d times (%s characters) what matches %r: %s" % (
                what, len(found), "/".join(str(len(text)) for text in found), pattern,
                [text[:120] for text in found]))

    def none_said(self, what, since, patterns):
        """Orca has said nothing matching the patterns since the mark."""
        said = self.said(since)
        found = [text[:120] for text in said if any(matching([text], pattern) for pattern in patterns)]
        if found:
            self.miss("%s: Orca said %s" % (what, found))

    def not_heard(self, what, since, pattern, seconds):
        """Orca says nothing matching `pattern` for `seconds` after the mark."""
        time.sleep(seconds * self.slow)
        found = matching(self.said(since), pattern)
        if found:
            self.miss("%s: Orca said %s; it said %s" % (what, found, self.said(since)))

    def verdict(self):
        if self.misses:
            raise WalkError("what a screen reader heard was wrong:\n  " + "\n  ".join(self.misses))
