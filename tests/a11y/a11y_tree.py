"""The application as a screen reader meets it on the AT-SPI bus: its tree
of named objects, their actions, and keys typed into its window."""

import fnmatch
import subprocess

import pyatspi

from a11y_session import WalkError, wait_for


CONTROL_ROLES = {"push button", "check box", "radio button", "page tab", "link", "list item", "menu item", "text",
                 "combo box", "toggle button"}


class Node:
    """One object of the tree as it was when the tree was read."""

    def __init__(self, accessible, depth):
        self.accessible = accessible
        self.depth = depth
        self.role = accessible.getRoleName()
        self.name = accessible.name or ""
        self.states = set(accessible.getState().getStates())

    def has(self, state):
        return state in self.states

    def __str__(self):
        flags = ",".join(sorted(pyatspi.stateToString(s) for s in self.states
                                if s in (pyatspi.STATE_FOCUSED, pyatspi.STATE_CHECKED, pyatspi.STATE_SELECTED,
                                         pyatspi.STATE_SENSITIVE, pyatspi.STATE_SHOWING)))
        return "%s%s %r [%s]" % ("  " * self.depth, self.role, self.name, flags)


class Application:
    def __init__(self, name, display, timeout, keys_only=False):
        self.display = display
        self.timeout = timeout
        self.keys_only = keys_only
        self.accessible = wait_for("the application on the accessibility bus", lambda: self._find(name), timeout)

    @staticmethod
    def _find(name):
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == name:
                return application
        return None

    def nodes(self):
        """Every object of the application that is showing, depth first in reading order."""
        found = []

        def visit(accessible, depth):
            node = Node(accessible, depth)
            if depth > 0 and not node.has(pyatspi.STATE_SHOWING):
                return
            found.append(node)
            for child in accessible:
                if child is not None:
                    visit(child, depth + 1)

        visit(self.accessible, 0)
        return found

    def dump(self):
        try:
            return "\n".join(str(node) for node in self.nodes())
        except Exception as error:  # the tree went away under the reading
            return "(no tree: %s)" % error

    def texts(self):
        return [node.name for node in self.nodes() if node.role in ("label", "static", "heading") and node.name]

    def find(self, name, role=None, nodes=None):
        """The showing objects whose name matches (a shell pattern: "*" for what varies; a label
        set in capitals counts as its words), of that role if given."""
        def matches(node):
            return fnmatch.fnmatch(node.name.lower(), name.lower()) and (role is None or node.role == role)
        return [node for node in (nodes if nodes is not None else self.nodes()) if matches(node)]

    def wait(self, what, condition):
        try:
            return wait_for(what, condition, self.timeout)
        except WalkError as error:
            raise WalkError("%s\nThe tree:\n%s" % (error, self.dump()))

    def wait_text(self, text):
        """Waits for a text to be shown, as a static text or heading (a prefix with "*")."""
        def shown():
            nodes = self.nodes()
            return any(self.find(text, role, nodes) for role in ("label", "static", "heading"))
        return self.wait("the text %r" % text, shown)

    def wait_control(self, name, role=None):
        return self.wait("%s %r" % (role or "an object", name), lambda: (self.find(name, role) or [None])[0])

    def press(self, name, role=None, action="Press"):
        """Runs a control's action (as a screen reader's "activate" does)."""
        node = self.wait_control(name, role)
        actions = node.accessible.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        if action not in names:
            raise WalkError("%s %r has no %r action (it has %s)" % (node.role, name, action, names))
        actions.doAction(names.index(action))

    def activate(self, name, role=None):
        """Runs a control: by its action, or with the keys only by Tab and Space."""
        if self.keys_only:
            self.tab_to(name, role)
            self.key("space")
        else:
            self.press(name, role)

    def focused(self):
        nodes = [node for node in self.nodes() if node.has(pyatspi.STATE_FOCUSED)]
        return nodes[-1] if nodes else None

    def key(self, *keys):
        """Types keys into the focused window, as a keyboard does (xdotool names: Tab, shift+Tab, Return)."""
        subprocess.run(["xdotool", "key", "--delay", "40"] + list(keys), check=True,
                       env={"DISPLAY": self.display, "PATH": "/usr/bin:/bin"})

    def tab_to(self, name, role=None, limit=40, back=False):
        """Moves the keyboard focus with Tab (or Shift+Tab) until the control with that name has it."""
        for _ in range(limit):
            focused = self.focused()
            if focused and self.find(name, role, [focused]):
                return focused
            before = str(focused)
            self.key("shift+Tab" if back else "Tab")
            try:  # a screen with a single stop keeps it: the loop ends on the limit
                wait_for("the focus to move", lambda: str(self.focused()) != before, min(self.timeout, 10))
            except WalkError:
                pass
        raise WalkError("Tab never reached %s %r\nThe tree:\n%s" % (role or "", name, self.dump()))

    def check_screen(self, screen, title, controls):
        """Every control of the table is showing with its role and name, the title is there, and
        no control on screen goes without a name."""
        self.wait_text(title)
        def all_there():
            nodes = self.nodes()
            return all(self.find(name, role, nodes) for name, role in controls)
        try:
            self.wait("the controls of " + screen, all_there)
        except WalkError:
            nodes = self.nodes()
            missing = ["%s %r" % (role, name) for name, role in controls if not self.find(name, role, nodes)]
            raise WalkError("%s: missing %s\nThe tree:\n%s" % (screen, ", ".join(missing), self.dump()))
        unnamed = [str(node) for node in self.nodes() if node.role in CONTROL_ROLES and not node.name.strip()]
        if unnamed:
            raise WalkError("%s: controls without a name:\n%s" % (screen, "\n".join(unnamed)))
