#include "kit/access/AccessibleEvents.h"

#include "kit/access/PaintedAccessible.h"
#include "kit/access/PaintedReader.h"

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace murmela {

using Kind = ReadingEntry::Kind;

AccessibleSnapshot accessibleSnapshot(const PaintedReader& reader) {
  AccessibleSnapshot snapshot;
  snapshot.list = reader.role() == QAccessible::List;
  const QList<PaintedReader::KeyedText>& texts = reader.texts();
  const QList<ButtonTarget>& buttons = reader.buttons();
  const QStringList groups = reader.groups();
  snapshot.items.reserve(texts.size() + buttons.size() + groups.size());
  for (const PaintedReader::KeyedText& keyed : texts) {
    const ShownText& shown = keyed.text;
    snapshot.items.append({.kind = Kind::text,
                           .key = keyed.key,
                           .name = shown.text,
                           .progress = shown.progress ? std::optional<qreal>(shown.progress->value) : std::nullopt});
  }
  for (const ButtonTarget& target : buttons)
    snapshot.items.append({.kind = Kind::button,
                           .key = target.id,
                           .name = target.name,
                           .value = target.value,
                           .description = target.description,
                           .checked = target.checked,
                           .enabled = target.enabled});
  for (const QString& group : groups)
    if (const std::optional<int> key = reader.groupKey(group))
      snapshot.items.append({.kind = Kind::group, .key = *key, .name = group});
  return snapshot;
}

namespace {

AccessibleEventSink eventSink = &QAccessible::updateAccessibility;
QAccessible::UpdateHandler previousHandler = nullptr;

void send(QAccessibleEvent&& event) { eventSink(&event); }

// The last focus readers were told of in this turn of the event loop: a
// widget that takes the keyboard tells of its ring itself, and Qt's focus
// event for the widget then names the same child again.
QAccessible::Id focusTold = 0;
// The widget whose announcement no focus has followed yet, and whether it
// was made in this turn of the event loop.
QPointer<QWidget> announcer;
bool announcedNow = false;

// A focus that follows an announcement cuts it short in a reader: it is
// said again after the focus when the focus came with it, or while a toast
// still shows it.
void repeatCutAnnouncement() {
  QWidget* widget = announcer.data();
  announcer.clear();
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
  if (!announcedNow && !stillShown) return;
  sendAnnouncement(widget);
  announcer.clear();
}

void forward(QAccessibleEvent* event) {
  if (previousHandler) return previousHandler(event);
  QAccessible::installUpdateHandler(nullptr);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(routeAccessibleEvent);
}

}  // namespace

void routeAccessibleEvent(QAccessibleEvent* event) {
  if (event->type() != QAccessible::Focus) return forward(event);
  QAccessibleInterface* target = event->accessibleInterface();
  // Qt's own event names the widget, not a child of it.
  if (auto* widget = qobject_cast<QWidget*>(event->object()); widget && event->child() < 0)
    if (PaintedWidgetAccessible* painted = PaintedWidgetAccessible::of(widget))
      if (QAccessibleInterface* ring = painted->readerFocusItem()) target = ring;
  if (!target) return forward(event);
  const QAccessible::Id id = QAccessible::uniqueId(target);
  if (id == focusTold) return;
  if (!focusTold) QTimer::singleShot(0, [] { focusTold = 0; });
  focusTold = id;
  if (target == event->accessibleInterface()) {
    forward(event);
  } else {
    QAccessibleEvent moved(target, QAccessible::Focus);
    forward(&moved);
  }
  repeatCutAnnouncement();
}

void sendAccessibleEvent(QAccessibleEvent&& event) { send(std::move(event)); }

void routeFocusToPaintedChildren() {
  static const bool installed = [] {
    previousHandler = QAccessible::installUpdateHandler(routeAccessibleEvent);
    return true;
  }();
  Q_UNUSED(installed);
}

void setAccessibleEventSink(AccessibleEventSink sink) { eventSink = sink ? sink : &QAccessible::updateAccessibility; }

bool readersListen() { return QAccessible::isActive() || eventSink != &QAccessible::updateAccessibility; }

namespace {

quint64 itemKey(Kind kind, int key) { return (quint64(kind) << 32) | quint32(key); }

// The items of a snapshot by kind and key.
QHash<quint64, const AccessibleItemState*> byKey(const AccessibleSnapshot& snapshot) {
  QHash<quint64, const AccessibleItemState*> items;
  items.reserve(snapshot.items.size());
  for (const AccessibleItemState& item : snapshot.items) items.insert(itemKey(item.kind, item.key), &item);
  return items;
}

// What changed in one item that stays: its name, description, state and value.
void sendItemChanges(QAccessibleInterface* item, const AccessibleItemState& was, const AccessibleItemState& now) {
  if (was.name != now.name) send(QAccessibleEvent(item, QAccessible::NameChanged));
  if (was.description != now.description) send(QAccessibleEvent(item, QAccessible::DescriptionChanged));
  QAccessible::State changed;
  // A tab or a row is selected, not checked: a reader hears "checked off"
  // for a state it does not have. The one that became selected is also
  // the selection's news.
  const bool selectable = item->state().selectable;
  const bool becameSelected = selectable && was.checked != now.checked && now.checked.value_or(false);
  if (was.checked != now.checked) {
    if (selectable)
      changed.selected = true;
    else
      changed.checked = true;
  }
  if (was.enabled != now.enabled) changed.disabled = true;
  if (!(changed == QAccessible::State())) send(QAccessibleStateChangeEvent(item, changed));
  if (becameSelected) send(QAccessibleEvent(item, QAccessible::SelectionAdd));
  if (was.progress != now.progress && now.progress)
    send(QAccessibleValueChangeEvent(item, *now.progress));
  else if (was.value != now.value)
    send(QAccessibleValueChangeEvent(item, now.value));
}

}  // namespace

// Each side is looked up by key, so telling costs what the two hold, once.
// A list whose rows come, go or move is told as Qt's item views tell of a
// model that changed: one reset of its children, whatever their number, and
// readers ask again for what they show. Elsewhere each item that comes or
// goes is told. Of a list's rows only those a reader has met hear of their
// changes: the others it will ask about afresh.
void sendAccessibleChanges(QWidget* widget, const AccessibleSnapshot& before, const AccessibleSnapshot& after) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (!parent) return;
  const QHash<quint64, const AccessibleItemState*> was = byKey(before);
  const QHash<quint64, const AccessibleItemState*> now = byKey(after);
  const bool list = after.list;
  bool rowsChanged = false;
  for (const AccessibleItemState& item : before.items) {
    if (now.contains(itemKey(item.kind, item.key))) continue;
    rowsChanged = true;
    parent->release(item.kind, item.key, !list);
  }
  for (const AccessibleItemState& item : after.items) {
    const AccessibleItemState* earlier = was.value(itemKey(item.kind, item.key));
    if (!earlier && list) {
      rowsChanged = true;
      continue;
    }
    if (!earlier) {
      if (QAccessibleInterface* iface = parent->item(item.kind, item.key))
        send(QAccessibleEvent(iface, QAccessible::ObjectCreated));
    } else if (QAccessibleInterface* iface = list ? parent->knownItem(item.kind, item.key)
                                                  : parent->item(item.kind, item.key)) {
      if (iface->isValid()) sendItemChanges(iface, *earlier, item);
    }
  }
  if (list && !rowsChanged && before.items.size() == after.items.size())
    for (qsizetype index = 0; index < after.items.size() && !rowsChanged; ++index)
      rowsChanged = before.items[index].key != after.items[index].key || before.items[index].kind != after.items[index].kind;
  if (list && rowsChanged) {
    QAccessibleTableModelChangeEvent reset(widget, QAccessibleTableModelChangeEvent::ModelReset);
    send(std::move(reset));
  }
}

void sendButtonFocus(QWidget* widget, int id) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  QAccessibleInterface* item = parent ? parent->item(Kind::button, id) : nullptr;
  if (!item) return;
  const int index = parent->indexOfChild(item);
  if (index < 0) return send(QAccessibleEvent(item, QAccessible::Focus));  // a tab of a tab list
  QAccessibleEvent focus(widget, QAccessible::Focus);
  focus.setChild(index);
  send(std::move(focus));
}

void sendAnnouncement(QWidget* widget) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (QAccessibleInterface* item = parent ? parent->item(Kind::announcement, 0) : nullptr) {
    announcer = widget;
    if (!announcedNow) QTimer::singleShot(0, [] { announcedNow = false; });
    announcedNow = true;
    send(QAccessibleEvent(item, QAccessible::NameChanged));
    send(QAccessibleEvent(item, QAccessible::ObjectShow));
  }
}

}  // namespace murmela
