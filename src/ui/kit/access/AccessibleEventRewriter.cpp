#include "kit/access/AccessibleEventRewriter.h"

#include "kit/access/PaintedWidgetAccessible.h"
#include "kit/access/TextFieldAccessible.h"

#include <QTimer>
#include <QWidget>

namespace murmela {
namespace {

AccessibleEventSink eventSink = nullptr;

}  // namespace

void setAccessibleEventSink(AccessibleEventSink sink) { eventSink = sink; }

bool readersListen() { return eventSink || QAccessible::isActive(); }

AccessibleEventRewriter& AccessibleEventRewriter::installed() {
  static AccessibleEventRewriter rewriter(QAccessible::installUpdateHandler(rewriteAccessibleEvent));
  return rewriter;
}

void installAccessibleEventRewriter() { AccessibleEventRewriter::installed(); }

void rewriteAccessibleEvent(QAccessibleEvent* event) { AccessibleEventRewriter::installed().rewrite(event); }

void AccessibleEventRewriter::forward(QAccessibleEvent* event) {
  if (eventSink) return eventSink(event);
  if (previous_) return previous_(event);
  // Qt's own handling runs only while no handler is installed: whatever is
  // installed now (this rewriter, or a handler put in front of it since) is
  // put back after it.
  const QAccessible::UpdateHandler above = QAccessible::installUpdateHandler(nullptr);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(above);
}

void AccessibleEventRewriter::rewrite(QAccessibleEvent* event) {
  if (const std::unique_ptr<QAccessibleEvent> told = TextFieldAccessible::inCharacters(event))
    return forward(told.get());
  if (event->type() == QAccessible::Focus) return rewriteFocus(event);
  forward(event);
}

void AccessibleEventRewriter::rewriteFocus(QAccessibleEvent* event) {
  QAccessibleInterface* target = event->accessibleInterface();
  if (auto* widget = qobject_cast<QWidget*>(event->object()); widget && event->child() < 0)
    if (PaintedWidgetAccessible* painted = PaintedWidgetAccessible::of(widget))
      if (QAccessibleInterface* ring = painted->readerFocusItem()) target = ring;
  if (!target) return forward(event);
  const QAccessible::Id id = QAccessible::uniqueId(target);
  if (id == focusTold_) return;
  focusTold_ = id;
  if (!turnEndPosted_) {
    turnEndPosted_ = true;
    QTimer::singleShot(0, [this] {
      turnEndPosted_ = false;
      focusTold_ = 0;
    });
  }
  if (target == event->accessibleInterface()) return forward(event);
  QAccessibleEvent moved(target, QAccessible::Focus);
  forward(&moved);
}

}  // namespace murmela
