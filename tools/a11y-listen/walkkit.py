"""The screen-reader walk's machinery as the listening tool uses it (the walk itself, which CI
runs, lives with the tests). This module is the whole of what the tool takes from it:

  Session, WalkError, wait_for, in_private_network, port_answers
      a display, D-Bus session and processes of one's own; waiting with a deadline
  Orca, utterances
      Orca on that bus with its debug log; what it said in a stretch of that log
  Events(session, env, applications, kinds, details)
      the AT-SPI events the applications send, recorded by a process of their own
  Application(name, display, timeout, keys_only)
      the application's AT-SPI tree and keyboard (once the accessibility bus is up)
  write_world(args, home), many_chats(database, count), app_environment(home, display), Backend
      a first launch's home and the sample chat; a copy of it with many chats; the application's
      environment; the development backend (stopped, started, refusing share links, dropping analysis steps)
  SCREENS, PARTNER, SLIDES, BUTTON, CHECK, RADIO, TAB, FIELD, ROW, ITEM
      each screen's title and controls; the sample's partner; the deck's length; AT-SPI roles

The walk's folder is MURMELA_A11Y_WALK, which listen.sh sets."""

import os
import sys

_folder = os.environ.get("MURMELA_A11Y_WALK")
if not _folder or not os.path.isdir(_folder):
    raise ImportError("MURMELA_A11Y_WALK names no folder of the walk: run the tool through listen.sh")
sys.path.insert(0, _folder)

from a11y_events import Events  # noqa: E402
from a11y_many import many_chats  # noqa: E402
from a11y_orca import Orca, utterances  # noqa: E402
from a11y_session import Session, WalkError, in_private_network, port_answers, wait_for  # noqa: E402
from a11y_walk import (BUTTON, CHECK, FIELD, ITEM, PARTNER, RADIO, ROW, SCREENS, SLIDES, TAB,  # noqa: E402
                       Backend, app_environment, write_world)


def Application(name, display, timeout, keys_only=False):
    import a11y_tree  # pyatspi binds to the accessibility bus as it is imported
    return a11y_tree.Application(name, display, timeout, keys_only)


__all__ = ["Session", "WalkError", "wait_for", "in_private_network", "port_answers", "Orca", "utterances", "Events",
           "Application", "write_world", "many_chats", "app_environment", "Backend", "SCREENS", "PARTNER",
           "SLIDES", "BUTTON", "CHECK", "RADIO", "TAB", "FIELD", "ROW", "ITEM"]
