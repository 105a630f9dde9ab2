"""Steps the listening scenarios share: what Orca said since a mark, the
picker's arrival, the name sheet and a failed run."""

import time

import pyatspi

import walkkit as walk

BUTTON, CHECK, RADIO, TAB, FIELD = walk.BUTTON, walk.CHECK, walk.RADIO, walk.TAB, walk.FIELD
SEARCH = "Search contacts or handles"
LONG_ERROR = ("<!DOCTYPE html><html><head><title>403 Forbidden</title><style>body{font-family:sans-serif}"
              "</style></head><body><h1>403 Forbidden</h1>" +
              "".join("<p class=\"line-%d\">Request blocked by the edge firewall (rule %d).</p>" % (i, i)
                      for i in range(60)) + "</body></html>")
SHORT_ERROR = '{"detail": {"message": "Share links are paused", "status_code": 503}}'


def choose_cloud(d):
    """From the welcome screen to Cloud intelligence chosen, Continue not yet pressed."""
    d.check_screen("welcome", *walk.SCREENS["welcome"])
    activate(d, "Agree to Privacy Policy and Terms", CHECK)
    activate(d, "Get Started", BUTTON)
    d.check_screen("intelligence", *walk.SCREENS["intelligence"])
    activate(d, "Cloud intelligence*", RADIO)


def said_since(record, start):
    return ["%+d ms %r" % (round((when - start) * 1000), text)
            for when, kind, text in list(record.lines) if kind == "ORCA" and when >= start]


def mark(driver):
    return time.monotonic()


def tell(record, what, start):
    spoken = said_since(record, start)
    record.finding("%s: Orca said %d: %s" % (what, len(spoken), "; ".join(spoken) if spoken else "(nothing)"))


def heard(d, r, what, key, settle=2.0, until=None):
    """Presses a key and tells what Orca said of it once things settled, after the control
    `until` (name, role) showed if one is given (`what` may be a function, to name the focus
    as it is then)."""
    start = mark(d)
    d.key(key)
    if until:
        d.wait_control(*until)
    d.settle(settle)
    tell(r, what() if callable(what) else what, start)


def activate(d, name, role):
    d.tab_to(name, role)
    d.key("space")


def field(d, name=SEARCH):
    node = d.wait_control(name, FIELD)
    return d.text_of(node)


def arrive_and_type(d, r, start):
    """On arrival at the picker: "s" without tabbing, the field read, the first Tab."""
    d.wait_text("Choose a chat.")
    d.settle(1.5)
    tell(r, "arriving at the picker", start)
    r.finding("focus on arrival: " + d.focus_line())
    typed = mark(d)
    d.key("s")
    d.settle(1.0)
    r.finding('after typing "s": the search field holds %r' % field(d))
    tell(r, 'typing "s"', typed)
    tabbed = mark(d)
    d.key("Tab")
    d.settle(1.0)
    r.finding("first Tab: focus on " + d.focus_line())
    tell(r, "the first Tab", tabbed)


def clear_search_and_choose(d):
    d.tab_to(SEARCH, FIELD)
    d.key("ctrl+a", "BackSpace", "5", "5", "5", "Tab", "Down")
    d.wait("the chat chosen", lambda: any(n.has(pyatspi.STATE_SELECTED) for n in d.find(walk.ROW, walk.ITEM)))


def name_sheet_opened(d, r, start):
    d.wait_text("What should we call them?")
    d.settle(2.0)
    tell(r, "opening the name sheet", start)
    r.finding("the Name field holds %r (AT-SPI text); focus: %s" % (field(d, "Name"), d.focus_line()))


def set_name(d, r, name):
    d.tab_to("Name", FIELD)
    d.key("ctrl+a")
    d.type(name)
    d.key("Return")
    d.settle(0.5)
    r.note("the Name field now holds %r" % field(d, "Name"))


def fail_run(d, r, c):
    c["backend"].stop()
    d.tab_to("Start wrapping", BUTTON)
    d.key("space")
    d.wait_text("Last analysis failed")
