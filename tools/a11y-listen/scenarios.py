"""The scenarios listen.py drives, in the order one launch meets them: each is
(number, title, function(driver, record, context)); the functions leave the
application where the next one starts."""

import signal

import pyatspi

import walkkit as walk
from sharing import (s4_copy, s4_error_long, s4_generate, s4_myshares, s5_error_short, s6_empty_shares,
                     s6_last_tab, s6_tabs, s8_hit, s9_description,
                     s10_heres, s10_menu, s10_menu_tree, s10_reset_alert)
from steps import (BUTTON, FIELD, SEARCH, activate, arrive_and_type, choose_cloud, clear_search_and_choose, fail_run,
                   field, heard, mark, name_sheet_opened, set_name, tell)

# --- the walk's route ----------------------------------------------------------------------------------------

def s1_walk(d, r, c):
    choose_cloud(d)
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


def s1_lost(d, r, c):
    """A run whose analysis step loses its connection: arriving back, then Tab onto the failure panel."""
    backend = c["backend"]
    backend.drop_analysis(True)
    # The step is held until the processing screen has the keys, then its connection closes.
    backend.process.send_signal(signal.SIGSTOP)
    d.tab_to("Start wrapping", BUTTON)
    d.key("space")
    d.wait_control("*", "progress bar")
    d.settle(2.0)
    start = mark(d)
    backend.process.send_signal(signal.SIGCONT)
    d.wait_text("Last analysis failed")
    d.settle(3.0)
    tell(r, "arriving at the picker after the analysis step's connection was closed", start)
    r.finding("focus on arrival: " + d.focus_line())
    heard(d, r, lambda: "Tab onto the failure panel (focus then " + d.focus_line() + ")", "Tab", 2.0)
    c["backend"].drop_analysis(False)
    d.tab_to("Wrap it up", BUTTON)
    d.key("Return")
    d.wait_text("What should we call them?")
    set_name(d, r, walk.PARTNER)


def s1_failed(d, r, c):
    start = mark(d)
    fail_run(d, r, c)
    arrive_and_type(d, r, start)
    c["backend"].start()
    clear_search_and_choose(d)


def s2_sam(d, r, c):
    s2_first(d, r, c)
    back_to_name(d, r)


def back_to_name(d, r):
    """Away from the Name field and back: what Orca says of the field as it holds now."""
    d.key("Tab")
    d.settle(1.0)
    heard(d, r, "Shift+Tab back onto the Name field holding %r" % field(d, "Name"), "shift+Tab", 1.5)


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


def s3_emoji(d, r, c):
    set_name(d, r, "Sam Rivera 🌸")
    back_to_name(d, r)
    heard(d, r, "Ctrl+A in the Name field holding %r" % field(d, "Name"), "ctrl+a", 1.5)
    d.key("End")
    d.settle(1.0)
    heard(d, r, "Left from the end of the Name field", "Left", 1.0)
    heard(d, r, "Shift+Home from there", "shift+Home", 1.0)


def s4_escape(d, r, c):
    heard(d, r, lambda: "Escape from the name sheet (focus then " + d.focus_line() + ")", "Escape", 2.0)
    d.tab_to("Wrap it up", BUTTON)
    d.key("Return")
    d.wait_text("What should we call them?")
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
    d.wait_control("Slide 1 of %d.*" % walk.SLIDES, "notification")
    d.settle(2.5)
    tell(r, "arriving at the deck (from the backend's answer)", start)


def s3_share_right(d, r, c):
    d.tab_to("Share", BUTTON)
    d.settle(1.5)
    heard(d, r, "Right from the footer Share on slide 1", "Right", 2.0)
    r.finding("focus after: " + d.focus_line())


def s3_next_13(d, r, c):
    for index in range(3, 14):
        d.key("Right")
        d.wait_control("Slide %d of %d.*" % (index, walk.SLIDES), "notification")
    d.tab_to("Next slide", BUTTON)
    d.settle(1.5)
    heard(d, r, "Space on Next slide at slide 13", "space", 2.0)
    r.finding("focus after: " + d.focus_line())


def s5_share_14(d, r, c):
    d.key("Left")
    d.wait_control("Slide 13 of %d.*" % walk.SLIDES, "notification")
    d.tab_to("Share", BUTTON)
    d.settle(1.5)
    heard(d, r, "Right from the footer Share onto slide 14", "Right", 2.0)
    r.finding("focus after: " + d.focus_line())


def walk_route():
    return [
        ("1-walk", "arriving at the picker from the intelligence screen; \"s\"; the first Tab", s1_walk),
        ("2-first", "opening the name sheet the first time (empty)", s2_first),
        ("1-lost", "a run whose analysis step loses its connection: arriving back; Tab onto the panel", s1_lost),
        ("1-failed", "arriving at the picker after a failed run; \"s\"; the first Tab", s1_failed),
        ("2-sam", "opening the name sheet again (the handle held), then \"Sam\" typed, Tab away and back", s2_sam),
        ("2-noor", "\"نور 🌸\" typed, a failed run, the name sheet opened again, Tab away and back", s2_noor),
        ("3-emoji", "\"Sam Rivera 🌸\" in the Name field: Tab away and back, Ctrl+A, Left, Shift+Home", s3_emoji),
        ("4-escape", "Escape from the name sheet, then the sheet again", s4_escape),
        ("10-progress", "the processing screen's progress bar through the Value interface", s10_progress),
        ("10-deck", "arriving at the deck", s10_deck),
        ("3-share-right", "Right from the footer Share on slide 1", s3_share_right),
        ("3-next-13", "Space on Next slide at slide 13", s3_next_13),
        ("5-share-14", "Right from the footer Share onto slide 14", s5_share_14),
        ("6-tabs", "page tabs in the share sheet", s6_tabs),
        ("6-last-tab", "Right on the last page tab, then Tab", s6_last_tab),
        ("8-hit", "hit-testing the page tabs", s8_hit),
        ("4-error-long", "a link error: 403 with a 4 KB HTML page", s4_error_long),
        ("5-error-short", "a short link error, then the next Tab", s5_error_short),
        ("4-generate", "Generate link (and the link page's text)", s4_generate),
        ("4-copy", "Copy link", s4_copy),
        ("10-heres", "Generate link again: \"here's the link\"", s10_heres),
        ("4-myshares", "My Shares: Copy and Revoke", s4_myshares),
        ("6-empty-shares", "Tab in My Shares once its last link is revoked", s6_empty_shares),
        ("9-description", "the My shares count in the button's description after a revoke", s9_description),
        ("10-menu-tree", "the home settings menu opened and closed twice: the tree", s10_menu_tree),
        ("10-menu", "the home settings menu: role and arrows", s10_menu),
        ("10-reset-alert", "the Reset alert opening", s10_reset_alert),
    ]


# --- the permissions route -----------------------------------------------------------------------------------

def s10_grant(d, r, c):
    choose_cloud(d)
    activate(d, "Continue", BUTTON)
    d.wait_text("Two quick things.")
    d.settle(1.5)
    r.finding("the permissions screen's texts: " + " | ".join(d.texts()))
    d.tab_to("Request Access*", BUTTON)
    heard(d, r, "Request Access (the address book question)", "space", 1.5, ("Use *", BUTTON))
    d.tab_to("Use *", BUTTON)
    heard(d, r, "choosing the address book (contacts granted)", "space", 3.0)
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
    heard(d, r, lambda: "Tab into the list (focus " + d.focus_line() + ")", "Tab", 1.5)


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


# --- a stock Qt field, to set beside Murmela's -------------------------------------------------------------

def s3_stock(d, r, c):
    d.tab_to("Other", BUTTON)
    d.settle(1.0)
    heard(d, r, "Shift+Tab back onto the stock field holding %r" % field(d, "Name"), "shift+Tab", 1.5)
    heard(d, r, "Ctrl+A in the stock field", "ctrl+a", 1.5)
    d.key("End")
    d.settle(1.0)
    heard(d, r, "Left from the end of the stock field", "Left", 1.0)
    heard(d, r, "Shift+Home from there", "shift+Home", 1.0)


def stock_route():
    return [("3-stock", "a stock QLineEdit holding \"Sam Rivera 🌸\": Tab back, Ctrl+A, Left, Shift+Home", s3_stock)]
