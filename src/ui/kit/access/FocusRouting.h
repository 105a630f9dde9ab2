#pragma once

#include <QAccessible>
#include <QPointer>

class QWidget;

namespace murmela {

// Qt tells readers of a focus on a painted widget as a focus on the widget
// itself, which a reader speaks as an unnamed area: such an event is passed
// on naming the child that shows the ring (or the heading) instead, once per
// turn of the event loop, and an announcement it would cut short is made
// again after it. Every other event goes on unchanged to the handler that
// was installed before the routing, or to Qt's own handling when there was
// none; a handler installed after the routing stays installed.
class FocusRouting {
 public:
  explicit FocusRouting(QAccessible::UpdateHandler previous = nullptr) : previous_(previous) {}

  // The one routing of the application, installed on first use.
  static FocusRouting& installed();

  void route(QAccessibleEvent* event);
  // An announcement of `widget` was sent to readers in this turn.
  void announcementMade(QWidget* widget);

 private:
  void forward(QAccessibleEvent* event);
  void repeatCutAnnouncement();
  // What holds for one turn of the event loop ends with it.
  void holdForThisTurn();

  QAccessible::UpdateHandler previous_ = nullptr;
  // The last focus readers were told of in this turn: a widget that takes
  // the keyboard tells of its ring itself, and Qt's focus event for the
  // widget then names the same child again.
  QAccessible::Id focusTold_ = 0;
  // The widget whose announcement no focus has followed yet, and whether it
  // was made in this turn.
  QPointer<QWidget> announcer_;
  bool announcedNow_ = false;
  bool turnEndPosted_ = false;
};

// Installs the routing above (once, in front of whatever handler was there).
void routeFocusToPaintedChildren();
// The installed routing itself, for a test to hand events to.
void routeAccessibleEvent(QAccessibleEvent* event);

}  // namespace murmela
