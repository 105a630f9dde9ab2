"""The picker with many chats, as the walk's second launch meets it: its arrival,
a filter that most rows leave and its BackSpace, the first Tab and End. Each
key's words are checked, and so is how many events the application sends for
it: a filter's change is told in a bounded number of events (a reset of the
list and the rows in view), never one event per row that comes or goes."""

import os
import sqlite3
import subprocess

MANY = 2000  # chats in the second launch's Messages database
# Of the handles +1555200NNNN and the sample's own, about a quarter hold a 7:
# typed into the search field, it takes some 1,450 rows out of the list, and
# BackSpace brings them back.
FILTER = "7"
# The events one key may send, whatever the rows: the field's own, the list's
# reset, the rows that come into view, the focus and the selection.
EVENTS_PER_KEY = 60
BUTTON, CHECK, RADIO = "push button", "check box", "radio button"


def many_chats(database, count):
    """A copy of the sample database with `count` chats: the others share some of its messages."""
    target = database.replace(".db", "-%d.db" % count)
    if os.path.exists(target):
        return target
    subprocess.run(["cp", database, target], check=True)
    db = sqlite3.connect(target)
    messages = [row[0] for row in db.execute("SELECT ROWID FROM message ORDER BY ROWID LIMIT 40")]
    for i in range(1, count):
        handle = "+1555%07d" % (2000000 + i)
        db.execute("INSERT INTO handle (id, service) VALUES (?, 'iMessage')", (handle,))
        handle_id = db.execute("SELECT last_insert_rowid()").fetchone()[0]
        db.execute("INSERT INTO chat (guid, style, chat_identifier, service_name) VALUES (?, 45, ?, 'iMessage')",
                   ("iMessage;-;" + handle, handle))
        chat_id = db.execute("SELECT last_insert_rowid()").fetchone()[0]
        db.execute("INSERT INTO chat_handle_join VALUES (?, ?)", (chat_id, handle_id))
        db.executemany("INSERT INTO chat_message_join (chat_id, message_id) VALUES (?, ?)",
                       [(chat_id, m) for m in messages[: 10 + i % 30]])
    db.commit()
    db.close()
    return target


def rows(chats):
    """The list's rows as the application counts them now (not as the bus's cache last heard)."""
    chats.clear_cache()
    return chats.childCount


def counted(what, key, app, orca, events, heard_as):
    """Presses a key, waits for Orca's words of it, and checks the events the application sent."""
    heard, mark = orca.mark(), events.mark()
    app.key(key)
    orca.heard(what, heard, heard_as)
    sent = events.since(mark, 1.5 * orca.slow)
    kinds = {}
    for kind in sent:
        kinds[kind] = kinds.get(kind, 0) + 1
    summary = ", ".join("%d %s" % (n, kind) for kind, n in sorted(kinds.items(), key=lambda item: -item[1]))
    if len(sent) > EVENTS_PER_KEY:
        orca.miss("%s: the application sent %d events (at most %d): %s" % (what, len(sent), EVENTS_PER_KEY, summary))
    return "%d events (%s)" % (len(sent), summary)


def many_picker(app, say, orca, events):
    """A first launch with MANY chats, to the picker: its arrival, a filter most rows leave and
    BackSpace, the first Tab and End, each answered within the walk's usual waits."""
    import pyatspi  # bound to the accessibility bus as it is imported
    app.activate("Agree to Privacy Policy and Terms", CHECK)
    app.wait("the terms accepted", lambda: any(
        n.has(pyatspi.STATE_CHECKED) for n in app.find("Agree to Privacy Policy and Terms", CHECK)))
    app.activate("Get Started", BUTTON)
    app.wait_text("How should Murmela think?")
    app.activate("Cloud intelligence*", RADIO)
    app.tab_to("Continue", BUTTON)
    heard = orca.mark()
    app.key("Return")
    orca.heard("arriving at the picker with %d chats" % MANY, heard, "*Choose a chat.*")
    chats = app.wait_control("Chats", "list").accessible
    orca.caught_up(heard, "*Search contacts or handles*")
    everyone = rows(chats)
    typed = counted("%r typed with %d chats" % (FILTER, MANY), FILTER, app, orca, events, FILTER)
    app.wait("the rows without a %s gone" % FILTER, lambda: 0 < rows(chats) < everyone / 2)
    say("%r typed: %s" % (FILTER, typed))
    erased = counted("BackSpace with %d chats" % MANY, "BackSpace", app, orca, events, "*")
    say("BackSpace: %s" % erased)
    app.wait("every chat back", lambda: rows(chats) == everyone)
    heard = orca.mark()
    app.key("Tab")
    orca.heard("the first Tab with %d chats" % MANY, heard, "*Chats*")
    last = chats.getChildAtIndex(everyone - 1).name.split()[0]
    heard = orca.mark()
    app.key("End")
    orca.heard("End on the last of %d chats (%s)" % (MANY, last), heard, "*%s*" % last)
    say("the picker with %d chats walked" % MANY)
