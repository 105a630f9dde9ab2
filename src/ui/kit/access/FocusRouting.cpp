#include "kit/access/FocusRouting.h"

#include "kit/access/AccessibleEvents.h"
#include "kit/access/PaintedAccessible.h"
#include "kit/access/PaintedReader.h"
#include "kit/access/TextFieldAccessible.h"

#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace murmela {

FocusRouting& FocusRouting::installed() {
  static FocusRouting routing(QAccessible::installUpdateHandler(routeAccessibleEvent));
  return routing;
}

void routeFocusToPaintedChildren() { FocusRouting::installed(); }

void routeAccessibleEvent(QAccessibleEvent* event) { FocusRouting::installed().route(event); }

void FocusRouting::holdForThisTurn() {
  if (turnEndPosted_) return;
  turnEndPosted_ = true;
  QTimer::singleShot(0, [this] {
    turnEndPosted_ = false;
    focusTold_ = 0;
    announcedNow_ = false;
  });
}

void FocusRouting::announcementMade(QWidget* widget) {
  announcer_ = widget;
  announcedNow_ = true;
  holdForThisTurn();
}

void FocusRouting::forward(QAccessibleEvent* event) {
  if (previous_) return previous_(event);
  // Qt's own handling runs only while no handler is installed: whatever is
  // installed now (this routing, or a handler put in front of it since) is
  // put back after it.
  const QAccessible::UpdateHandler above = QAccessible::installUpdateHandler(nullptr);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(above);
}

// A focus that follows an announcement cuts it short in a reader: it is
// said again after the focus when the focus came with it, or while a toast
// still shows it.
void FocusRouting::repeatCutAnnouncement() {
  QWidget* widget = announcer_.data();
  announcer_.clear();
  const PaintedReader* reader = widget && widget->isVisible() ? PaintedReader::of(widget) : nullptr;
  if (!reader) return;
  // What a toast layer (no buttons) still shows is said again; what a
  // screen or sheet announced only when the focus came with it: its message
  // stays on screen, and the next key is not news of it.
  const QString said = reader->announcement();
  const QList<PaintedReader::KeyedText>& shown = reader->texts();
  const bool stillShown = !reader->host() && std::any_of(shown.cbegin(), shown.cend(), [&](const auto& keyed) {
    return keyed.text.text == said;
  });
  if (!announcedNow_ && !stillShown) return;
  sendAnnouncement(widget);
  announcer_.clear();
}

void FocusRouting::route(QAccessibleEvent* event) {
  // A text field's events count UTF-16 units; readers count characters.
  if (const std::unique_ptr<QAccessibleEvent> told = TextFieldAccessible::inCharacters(event))
    return forward(told.get());
  if (event->type() != QAccessible::Focus) return forward(event);
  QAccessibleInterface* target = event->accessibleInterface();
  // Qt's own event names the widget, not a child of it.
  if (auto* widget = qobject_cast<QWidget*>(event->object()); widget && event->child() < 0)
    if (PaintedWidgetAccessible* painted = PaintedWidgetAccessible::of(widget))
      if (QAccessibleInterface* ring = painted->readerFocusItem()) target = ring;
  if (!target) return forward(event);
  const QAccessible::Id id = QAccessible::uniqueId(target);
  if (id == focusTold_) return;
  focusTold_ = id;
  holdForThisTurn();
  if (target == event->accessibleInterface()) {
    forward(event);
  } else {
    QAccessibleEvent moved(target, QAccessible::Focus);
    forward(&moved);
  }
  repeatCutAnnouncement();
}

}  // namespace murmela
