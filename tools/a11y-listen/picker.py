"""The picker with many chats, key by key, timed against Orca: for each key, when Orca first
spoke after it, when it last did, when its log went quiet (its work on that key done), what
it said, and what its log shows of the AT-SPI events it queued and processed meanwhile.
The same keys drive a stock QListView (stock-field --list N) for comparison."""

import fnmatch
import os
import re
import time
from collections import Counter

import walkkit as walk
from steps import BUTTON, choose_cloud

QUEUED = re.compile(r"EVENT MANAGER: Queueing (\S+)")
PROCESSED = re.compile(r"vvvvv PROCESS OBJECT EVENT (\S+) vvvvv")
SPENT = re.compile(r"TOTAL PROCESSING TIME: ([0-9.]+)")
GENERATED = re.compile(r"GENERATION TIME: ([0-9.]+)\s+---->\s+(\w+)=")
# Orca's own words for a flood of events, and for the events it then drops.
DELUGE = ("DELUGE", "Ignoring event type due to deluge")


def events_since(c, start):
    """The application's AT-SPI events (events.py's log) since `start`: their times."""
    path = c.get("events")
    if not path or not os.path.exists(path):
        return []
    with open(path, errors="replace") as page:
        times = [float(line.partition("\t")[0]) for line in page if line[:1].isdigit()]
    return [when for when in times if when >= start]


def answered(d, r, c, label, key, expect="*", quiet=1.5, limit=90.0):
    """Presses `key` and waits until Orca has said what matches `expect` (a shell pattern; its
    echo of the key's name does not count), then until its log has been still for `quiet`
    seconds (or `limit` passed); writes one finding with the step's figures."""
    orca = r.orca
    since = orca.mark()
    start = time.monotonic()
    d.key(key)
    echo = key.lower() if len(key) > 1 else None
    size, grew = since, start
    while True:
        time.sleep(0.02)
        now = time.monotonic()
        current = orca.mark()
        if current != size:
            size, grew = current, now
        said = [(when, text) for when, kind, text in list(r.lines)
                if kind == "ORCA" and when >= start and text.lower() != echo]
        met = [when for when, text in said if fnmatch.fnmatch(text.lower(), expect.lower())]
        if (met and now - grew >= quiet and now - said[-1][0] >= quiet) or now - start > limit:
            break
    log = orca.text(since)
    queued, processed = Counter(QUEUED.findall(log)), Counter(PROCESSED.findall(log))
    spent = sum(float(x) for x in SPENT.findall(log))
    generated = Counter()
    for seconds, name in GENERATED.findall(log):
        generated[name] += float(seconds)
    flood = {word: log.count(word) for word in DELUGE}
    app = events_since(c, start)
    ms = lambda when: round((when - start) * 1000) if when is not None else None  # noqa: E731
    first, answer, last = (ms(said[0][0]) if said else None), (ms(met[0]) if met else None), \
        (ms(said[-1][0]) if said else None)
    r.finding("STEP %s [%s]: first speech %s ms, expected speech %s ms, last %s ms, log quiet %d ms; app's first "
              "event %s ms (%d events); Orca queued %d, processed %d (processing %.2f s; most: %s; slowest "
              "generators: %s); deluge lines %s; said: %s" % (
                  label, key, first, answer, last, ms(grew), ms(app[0]) if app else None, len(app),
                  sum(queued.values()), sum(processed.values()), spent,
                  ", ".join("%s %d" % kv for kv in processed.most_common(3)),
                  ", ".join("%s %.2f s" % kv for kv in generated.most_common(3) if kv[1] >= 0.05) or "none",
                  flood, " | ".join("%+d %r" % (ms(w), t) for w, t in said) or "(nothing)"))
    return answer, last


def key_script(d, r, c):
    """The keys after arrival: a letter every row matches, one most rows miss, BackSpace,
    Tab into the list, End."""
    total = 0
    for label, key, expect in (("letter-all", "5", "5"), ("letter-miss", "x", "x"),
                               ("backspace", "BackSpace", "*"), ("tab-into-list", "Tab", "*list*"),
                               ("end", "End", "*")):
        _, last = answered(d, r, c, label, key, expect)
        total += last or 0
    return total


def s11_many(d, r, c):
    choose_cloud(d)
    d.tab_to("Continue", BUTTON)
    d.settle(2.0)
    _, arrival = answered(d, r, c, "arrival", "Return", "Choose a chat.*", quiet=2.0)
    r.finding("focus after arrival: " + d.focus_line())
    total = (arrival or 0) + key_script(d, r, c)
    r.finding("SUM of last-speech times over the key script (arrival included): %d ms" % total)


def s11_stock_list(d, r, c):
    d.wait_control("Search contacts or handles", walk.FIELD)
    d.settle(3.0)
    r.finding("focus at start: " + d.focus_line())
    r.finding("SUM of last-speech times over the key script: %d ms" % key_script(d, r, c))


def many_route(count):
    return [("11-many", "the picker with %d chats: arrival, \"5\", \"x\", BackSpace, Tab, End" % count, s11_many)]


def stock_list_route(count):
    return [("11-stock-list", "a stock QListView of %d chats: \"5\", \"x\", BackSpace, Tab, End" % count,
             s11_stock_list)]
