"""The scenarios of the share sheet, the link page, My Shares and Home."""

import pyatspi

import walkkit as walk
from steps import BUTTON, LONG_ERROR, SHORT_ERROR, TAB, heard, mark, tell


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
    d.tab_to("Slideshow", TAB)  # the tab list is one stop: its selected tab
    d.settle(1.0)
    tell(r, "Tab onto the page tabs", start)
    r.finding("tree: " + tab_states(d))
    for key in ("Left", "Right", "Left"):
        heard(d, r, lambda: key + " on the tabs (focus " + d.focus_line() + ")", key, 1.0)
    heard(d, r, "Return on This Slide", "Return", 1.5)
    r.finding("tree after Return: " + tab_states(d) + "; texts: " + " | ".join(d.texts()))
    heard(d, r, lambda: "Right onto Slideshow (focus " + d.focus_line() + ")", "Right", 1.0)
    heard(d, r, "Space on Slideshow", "space", 1.5)  # the link is made from the slideshow's options
    r.finding("tree after Space: " + tab_states(d))
    d.wait_control("Generate link", BUTTON)


def s6_last_tab(d, r, c):
    d.tab_to("Slideshow", TAB, back=True)
    d.settle(1.0)
    heard(d, r, lambda: "Right on Slideshow, the last tab (focus then " + d.focus_line() + ")", "Right", 1.5)
    heard(d, r, lambda: "Tab from the tab list (focus then " + d.focus_line() + ")", "Tab", 1.5)


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
    c["backend"].refuse("%d\n%s" % (status, body))
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
    heard(d, r, lambda: "the next Tab (focus " + d.focus_line() + ")", "Tab", 2.0)
    c["backend"].refuse(None)


def s4_generate(d, r, c):
    d.tab_to("Generate link", BUTTON, back=True)
    d.settle(1.0)
    heard(d, r, "Generate link", "space", 2.5, ("Copy link", BUTTON))
    r.finding("the link page's texts: " + " | ".join(d.texts()))


def s4_copy(d, r, c):
    d.tab_to("Copy link", BUTTON)
    d.settle(1.0)
    heard(d, r, "Copy link", "space", 2.0)
    d.key("Escape")
    d.wait("the share sheet gone", lambda: not d.find("This Slide", TAB))


def s10_heres(d, r, c):
    d.tab_to("Share", BUTTON)
    d.key("space")
    d.wait_control("Generate link", BUTTON)
    d.tab_to("Generate link", BUTTON)
    heard(d, r, "Generate link again (a link made before)", "space", 2.5, ("Copy link", BUTTON))
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
    heard(d, r, "Copy in My Shares", "space", 2.0)
    d.tab_to("Revoke", BUTTON)
    d.settle(1.0)
    heard(d, r, "Revoke in My Shares (the alert opening)", "space", 2.0)
    r.finding("focus in the alert: " + d.focus_line())
    d.tab_to("Revoke", BUTTON)
    heard(d, r, "confirming Revoke", "space", 2.5)


def s6_empty_shares(d, r, c):
    d.settle(1.0)
    r.finding("My Shares' texts: " + " | ".join(d.texts()))
    heard(d, r, lambda: "Tab in the empty My Shares (focus then " + d.focus_line() + ")", "Tab", 1.5)


def s9_description(d, r, c):
    d.tab_to("Done", BUTTON)
    d.key("space")
    d.wait("My Shares closed", lambda: not d.find("Revoke", BUTTON))
    d.settle(1.5)
    r.finding("the My shares button's description: before the revoke %r, after %r (AT-SPI read afresh)" % (
        c.get("description"), shares_description(d)))
    r.finding("description-change events: see the EVENT lines of scenarios 4-myshares and 9 (the summary's count)")


def menu_objects(d):
    """The settings menu's objects in the whole tree, showing or not, each with its parent."""
    found = []

    def visit(accessible, depth):
        for child in accessible:
            if child is None or depth > 12:
                continue
            role, name = child.getRoleName(), child.name or ""
            if name in ("Close menu", "Reset App") or role == "popup menu":
                showing = child.getState().contains(pyatspi.STATE_SHOWING)
                found.append("%s %r under %s %r%s" % (role, name, accessible.getRoleName(), accessible.name,
                                                      "" if showing else " (not showing)"))
            visit(child, depth + 1)
    visit(d.app.accessible, 0)
    return "; ".join(found) or "(none)"


def s10_menu_tree(d, r, c):
    d.tab_to("Settings", BUTTON)
    d.settle(1.0)
    for turn in (1, 2):
        heard(d, r, "opening the settings menu (%d)" % turn, "space", 1.5)
        r.finding("after opening %d: %s" % (turn, menu_objects(d)))
        heard(d, r, "Escape from the settings menu (%d)" % turn, "Escape", 1.5)
        r.finding("after closing %d: %s" % (turn, menu_objects(d)))


def s10_menu(d, r, c):
    d.tab_to("Settings", BUTTON)
    d.settle(1.0)
    heard(d, r, "opening the settings menu", "space", 1.5)
    r.finding("focus: " + d.focus_line() + "; menus in the tree: %d" % (len(d.find("*", "menu")) + len(d.find("*", "popup menu"))))
    for key in ("Down", "Up"):
        heard(d, r, lambda: key + " in the menu (focus " + d.focus_line() + ")", key, 1.0)


def s10_reset_alert(d, r, c):
    d.tab_to("Reset App", "menu item")
    heard(d, r, "opening the Reset alert", "Return", 2.0)
    r.finding("focus: " + d.focus_line())
    d.key("Escape")
    d.settle(1.5)
