"""The scenarios listen.py drives, in the order one launch meets them: each is
(number, title, function(driver, record, context)); the functions leave the
application where the next one starts."""

import signal
import time

import pyatspi

import a11y_walk as walk
from a11y_session import wait_for

BUTTON, CHECK, RADIO, TAB, FIELD = walk.BUTTON, walk.CHECK, walk.RADIO, walk.TAB, walk.FIELD
SEARCH = "Search contacts or handles"
LONG_ERROR = ("<!DOCTYPE html><html><head><title>403 Forbidden</title><style>body{font-family:sans-serif}"
              "</style></head><body><h1>403 Forbidden</h1>" +
              "".join("<p class=\"line-%d\">Request blocked by the edge firewall (rule %d).</p>" % (i, i)
                      for i in range(60)) + "</body></html>")
SHORT_ERROR = '{"detail": {"message": "Share links are paused", "status_code": 503}}'


def said_since(record, start):
    return ["%+d ms %r" % (round((when - start) * 1000), text)
            for when, kind, text in list(record.lines) if kind == "ORCA" and when >= start]


def mark(driver):
    return time.monotonic()


def tell(record, what, start):
    spoken = said_since(record, start)
    record.finding("%s: Orca said %d: %s" % (what, len(spoken), "; ".join(spoken) if spoken else "(nothing)"))


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


# --- the walk's route ----------------------------------------------------------------------------------------

def s1_walk(d, r, c):
    d.check_screen("welcome", *walk.SCREENS["welcome"])
    activate(d, "Agree to Privacy Policy and Terms", CHECK)
    activate(d, "Get Started", BUTTON)
    d.check_screen("intelligence", *walk.SCREENS["intelligence"])
    activate(d, "Cloud intelligence*", RADIO)
    d.tab_to("Continue", BUTTON)
    start = mark(d)
    d.key("Return")
    arrive_and_type(d, r, start)
    clear_search_and_choose(d)


def s2_first(d, r, c):
    d.tab_to("Wrap it up", BUTTON)
    start = mark(d)
    d.key("Return")
    name_sheet_opened(d, r, start)
    set_name(d, r, walk.PARTNER)


def s1_failed(d, r, c):
    start = mark(d)
    fail_run(d, r, c)
    arrive_and_type(d, r, start)
    c["backend"].start()
    clear_search_and_choose(d)


def s2_sam(d, r, c):
    d.tab_to("Wrap it up", BUTTON)
    start = mark(d)
    d.key("Return")
    name_sheet_opened(d, r, start)
    set_name(d, r, walk.PARTNER)
    back_to_name(d, r)


def back_to_name(d, r):
    """Away from the Name field and back: what Orca says of the field as it holds now."""
    d.key("Tab")
    d.settle(1.0)
    start = mark(d)
    d.key("shift+Tab")
    d.settle(1.5)
    tell(r, "Shift+Tab back onto the Name field holding %r" % field(d, "Name"), start)


def s2_noor(d, r, c):
    set_name(d, r, "نور 🌸")
    fail_run(d, r, c)
    c["backend"].start()
    d.settle(1.0)
    d.tab_to("Wrap it up", BUTTON)
    start = mark(d)
    d.key("Return")
    name_sheet_opened(d, r, start)
    back_to_name(d, r)
    set_name(d, r, walk.PARTNER)


def s10_progress(d, r, c):
    backend = c["backend"]
    backend.process.send_signal(signal.SIGSTOP)
    d.tab_to("Start wrapping", BUTTON)
    d.key("space")
    bar = d.wait_control("*", "progress bar")
    d.settle(1.0)
    value = bar.accessible.queryValue()
    r.finding("progress bar %r: minimumValue %s, maximumValue %s, currentValue %s, minimumIncrement %s" % (
        bar.name, value.minimumValue, value.maximumValue, value.currentValue, value.minimumIncrement))


def s10_deck(d, r, c):
    start = mark(d)
    c["backend"].process.send_signal(signal.SIGCONT)
    d.wait_control("Slide 1 of %d. *" % walk.SLIDES, "notification")
    d.settle(2.5)
    tell(r, "arriving at the deck (from the backend's answer)", start)


def s3_share_right(d, r, c):
    d.tab_to("Share", BUTTON)
    d.settle(1.5)
    start = mark(d)
    d.key("Right")
    d.settle(2.0)
    tell(r, "Right from the footer Share on slide 1", start)
    r.finding("focus after: " + d.focus_line())


def s3_next_13(d, r, c):
    for index in range(3, 14):
        d.key("Right")
        d.wait_control("Slide %d of %d. *" % (index, walk.SLIDES), "notification")
    d.tab_to("Next slide", BUTTON)
    d.settle(1.5)
    start = mark(d)
    d.key("space")
    d.settle(2.0)
    tell(r, "Space on Next slide at slide 13", start)
    r.finding("focus after: " + d.focus_line())


def tab_states(d):
    lines = []
    for node in d.find("*", TAB):
        acc = node.accessible
        parent = acc.parent
        lines.append("%r %s, index %d of %d in %s %r" % (
            node.name, "selected" if node.has(pyatspi.STATE_SELECTED) else "not selected", acc.getIndexInParent(),
            parent.childCount, parent.getRoleName(), parent.name))
    return "; ".join(lines)


def s6_tabs(d, r, c):
    d.tab_to("Share", BUTTON)
    d.key("space")
    d.check_screen("share sheet", *walk.SCREENS["share sheet"])
    d.settle(1.0)
    start = mark(d)
    d.tab_to("This Slide", TAB)
    d.settle(1.0)
    tell(r, "Tab onto the page tabs", start)
    r.finding("tree: " + tab_states(d))
    for key in ("Right", "Left", "Right"):
        start = mark(d)
        d.key(key)
        d.settle(1.0)
        tell(r, key + " on the tabs (focus " + d.focus_line() + ")", start)
    d.tab_to("Slideshow", TAB)
    start = mark(d)
    d.key("Return")
    d.settle(1.5)
    tell(r, "Return on Slideshow", start)
    r.finding("tree after Return: " + tab_states(d) + "; texts: " + " | ".join(d.texts()))
    d.tab_to("This Slide", TAB, back=True)
    start = mark(d)
    d.key("space")
    d.settle(1.5)
    tell(r, "Space on This Slide", start)
    r.finding("tree after Space: " + tab_states(d))
    d.tab_to("Slideshow", TAB)  # the link is made from the slideshow's options
    d.key("space")
    d.wait_control("Generate link", BUTTON)


def descend(accessible, x, y):
    chain = []
    for _ in range(12):
        try:
            found = accessible.queryComponent().getAccessibleAtPoint(x, y, pyatspi.DESKTOP_COORDS)
        except NotImplementedError:
            chain.append("(no component)")
            break
        if found is None:
            chain.append("None")
            break
        chain.append("%s %r" % (found.getRoleName(), found.name))
        if found == accessible:
            break
        accessible = found
    return " -> ".join(chain)


def s8_hit(d, r, c):
    for node in d.find("*", TAB):
        box = node.accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x, y = box.x + box.width // 2, box.y + box.height // 2
        for window in d.accessible:
            if window is None or not window.getState().contains(pyatspi.STATE_SHOWING):
                continue
            r.finding("tab %r at (%d, %d) [%dx%d]: from %s %r: %s" % (
                node.name, x, y, box.width, box.height, window.getRoleName(), window.name, descend(window, x, y)))
        parent = node.accessible.parent
        r.finding("tab %r asked of its parent %s %r: %s" % (node.name, parent.getRoleName(), parent.name,
                                                            descend(parent, x, y)))


def link_error(d, r, c, status, body, what):
    c["backend"].refuse(status, body)
    d.tab_to("Generate link", BUTTON)
    d.settle(1.0)
    start = mark(d)
    d.key("space")
    d.settle(3.0)
    spoken = [text for when, kind, text in list(r.lines) if kind == "ORCA" and when >= start]
    r.finding("%s: %d utterances, %d characters in all, longest %d" % (
        what, len(spoken), sum(map(len, spoken)), max(map(len, spoken), default=0)))
    for text in spoken:
        r.finding("  said (%d chars): %r" % (len(text), text[:160] + ("..." if len(text) > 160 else "")))
    return start


def s4_error_long(d, r, c):
    link_error(d, r, c, 403, LONG_ERROR, "a 403 with a %d-byte HTML page" % len(LONG_ERROR))


def s5_error_short(d, r, c):
    link_error(d, r, c, 503, SHORT_ERROR, "a short 503 error")
    d.settle(2.0)
    start = mark(d)
    d.key("Tab")
    d.settle(2.0)
    tell(r, "the next Tab (focus " + d.focus_line() + ")", start)
    c["backend"].accept()


def s4_generate(d, r, c):
    d.tab_to("Generate link", BUTTON, back=True)
    d.settle(1.0)
    start = mark(d)
    d.key("space")
    d.wait_control("Copy link", BUTTON)
    d.settle(2.5)
    tell(r, "Generate link", start)
    r.finding("the link page's texts: " + " | ".join(d.texts()))


def s4_copy(d, r, c):
    d.tab_to("Copy link", BUTTON)
    d.settle(1.0)
    start = mark(d)
    d.key("space")
    d.settle(2.0)
    tell(r, "Copy link", start)
    d.key("Escape")
    d.wait("the share sheet gone", lambda: not d.find("This Slide", TAB))


def s10_heres(d, r, c):
    d.tab_to("Share", BUTTON)
    d.key("space")
    d.wait_control("Generate link", BUTTON)
    d.tab_to("Generate link", BUTTON)
    start = mark(d)
    d.key("space")
    d.wait_control("Copy link", BUTTON)
    d.settle(2.5)
    tell(r, "Generate link again (a link made before)", start)
    r.finding("the link page's texts: " + " | ".join(d.texts()))
    d.key("Escape")
    d.wait("the share sheet gone", lambda: not d.find("This Slide", TAB))
    d.tab_to("Done", BUTTON)
    d.key("space")
    d.wait_text("Past Murmelas.")


def shares_description(d):
    node = d.wait_control("My shares", BUTTON)
    return node.accessible.description


def s4_myshares(d, r, c):
    c["description"] = shares_description(d)
    r.finding("the My shares button's description before: %r" % c["description"])
    d.tab_to("My shares", BUTTON)
    d.key("space")
    d.wait_control("Revoke", BUTTON)
    d.tab_to("Copy", BUTTON)
    d.settle(1.0)
    start = mark(d)
    d.key("space")
    d.settle(2.0)
    tell(r, "Copy in My Shares", start)
    d.tab_to("Revoke", BUTTON)
    d.settle(1.0)
    start = mark(d)
    d.key("space")
    d.settle(2.0)
    tell(r, "Revoke in My Shares (the alert opening)", start)
    r.finding("focus in the alert: " + d.focus_line())
    d.tab_to("Revoke", BUTTON)
    start = mark(d)
    d.key("space")
    d.settle(2.5)
    tell(r, "confirming Revoke", start)


def s9_description(d, r, c):
    d.tab_to("Done", BUTTON)
    d.key("space")
    d.wait("My Shares closed", lambda: not d.find("Revoke", BUTTON))
    d.settle(1.5)
    r.finding("the My shares button's description: before the revoke %r, after %r (AT-SPI read afresh)" % (
        c.get("description"), shares_description(d)))
    r.finding("description-change events: see the EVENT lines of scenarios 4-myshares and 9 (the summary's count)")


def s10_menu(d, r, c):
    d.tab_to("Settings", BUTTON)
    d.settle(1.0)
    start = mark(d)
    d.key("space")
    d.settle(1.5)
    tell(r, "opening the settings menu", start)
    r.finding("focus: " + d.focus_line() + "; menus in the tree: %d" % len(d.find("*", "menu")))
    for key in ("Down", "Up"):
        start = mark(d)
        d.key(key)
        d.settle(1.0)
        tell(r, key + " in the menu (focus " + d.focus_line() + ")", start)


def s10_reset_alert(d, r, c):
    d.tab_to("Reset App", "menu item")
    start = mark(d)
    d.key("Return")
    d.settle(2.0)
    tell(r, "opening the Reset alert", start)
    r.finding("focus: " + d.focus_line())
    d.key("Escape")
    d.settle(1.5)


def walk_route():
    return [
        ("1-walk", "arriving at the picker from the intelligence screen; \"s\"; the first Tab", s1_walk),
        ("2-first", "opening the name sheet the first time (empty)", s2_first),
        ("1-failed", "arriving at the picker after a failed run; \"s\"; the first Tab", s1_failed),
        ("2-sam", "opening the name sheet again (the handle held), then \"Sam\" typed, Tab away and back", s2_sam),
        ("2-noor", "\"نور 🌸\" typed, a failed run, the name sheet opened again, Tab away and back", s2_noor),
        ("10-progress", "the processing screen's progress bar through the Value interface", s10_progress),
        ("10-deck", "arriving at the deck", s10_deck),
        ("3-share-right", "Right from the footer Share on slide 1", s3_share_right),
        ("3-next-13", "Space on Next slide at slide 13", s3_next_13),
        ("6-tabs", "page tabs in the share sheet", s6_tabs),
        ("8-hit", "hit-testing the page tabs", s8_hit),
        ("4-error-long", "a link error: 403 with a 4 KB HTML page", s4_error_long),
        ("5-error-short", "a short link error, then the next Tab", s5_error_short),
        ("4-generate", "Generate link (and the link page's text)", s4_generate),
        ("4-copy", "Copy link", s4_copy),
        ("10-heres", "Generate link again: \"here's the link\"", s10_heres),
        ("4-myshares", "My Shares: Copy and Revoke", s4_myshares),
        ("9-description", "the My shares count in the button's description after a revoke", s9_description),
        ("10-menu", "the home settings menu: role and arrows", s10_menu),
        ("10-reset-alert", "the Reset alert opening", s10_reset_alert),
    ]


# --- the permissions route -----------------------------------------------------------------------------------

def s10_grant(d, r, c):
    d.check_screen("welcome", *walk.SCREENS["welcome"])
    activate(d, "Agree to Privacy Policy and Terms", CHECK)
    activate(d, "Get Started", BUTTON)
    d.check_screen("intelligence", *walk.SCREENS["intelligence"])
    activate(d, "Cloud intelligence*", RADIO)
    activate(d, "Continue", BUTTON)
    d.wait_text("Two quick things.")
    d.settle(1.5)
    r.finding("the permissions screen's texts: " + " | ".join(d.texts()))
    d.tab_to("Request Access*", BUTTON)
    start = mark(d)
    d.key("space")
    d.wait_control("Use *", BUTTON)
    d.settle(1.5)
    tell(r, "Request Access (the address book question)", start)
    d.tab_to("Use *", BUTTON)
    start = mark(d)
    d.key("space")
    d.settle(3.0)
    tell(r, "choosing the address book (contacts granted)", start)
    r.finding("texts after: " + " | ".join(d.texts()) + "; focus: " + d.focus_line())


def s1_permissions(d, r, c):
    d.tab_to("Continue", BUTTON)
    start = mark(d)
    d.key("Return")
    arrive_and_type(d, r, start)


def s7_list(d, r, c):
    d.tab_to(SEARCH, FIELD)
    d.key("ctrl+a", "BackSpace")
    d.settle(1.0)
    lists = d.find("Chats", "list")
    for node in lists:
        acc = node.accessible
        roles = [acc.getChildAtIndex(i).getRoleName() for i in range(acc.childCount)]
        showing = sum(1 for i in range(acc.childCount)
                      if acc.getChildAtIndex(i).getState().contains(pyatspi.STATE_SHOWING))
        r.finding("the list %r has %d children (%d list items, %d showing) for 200 chats" % (
            node.name, acc.childCount, roles.count("list item"), showing))
    start = mark(d)
    d.key("Tab")
    d.settle(1.5)
    tell(r, "Tab into the list (focus " + d.focus_line() + ")", start)


def s2_contact(d, r, c):
    d.tab_to(SEARCH, FIELD)
    d.key("ctrl+a", "BackSpace", "S", "a", "m", "Tab", "Down")
    d.settle(1.0)
    r.note("chosen rows: %s" % [n.name for n in d.find("*", walk.ITEM) if n.has(pyatspi.STATE_SELECTED)])
    d.tab_to("Wrap it up", BUTTON)
    start = mark(d)
    d.key("Return")
    name_sheet_opened(d, r, start)


def grant_route():
    return [
        ("10-grant", "granting contacts on the permissions screen", s10_grant),
        ("1-permissions", "arriving at the picker from the permissions screen; \"s\"; the first Tab", s1_permissions),
        ("7-list", "the chat list with 200 chats", s7_list),
        ("2-contact", "opening the name sheet for a contact named \"Sam\" (address book)", s2_contact),
    ]
