#include "kit/access/AccessibleEvents.h"

#include "kit/access/FocusRouting.h"
#include "kit/access/PaintedAccessible.h"
#include "kit/access/PaintedReader.h"

#include <QHash>
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
                           .enabled = target.enabled,
                           .group = reader.groupKey(target.group)});
  for (const QString& group : groups)
    if (const std::optional<int> key = reader.groupKey(group))
      snapshot.items.append({.kind = Kind::group, .key = *key, .name = group});
  return snapshot;
}

namespace {

AccessibleEventSink eventSink = &QAccessible::updateAccessibility;

void send(QAccessibleEvent&& event) { eventSink(&event); }

}  // namespace

void sendAccessibleEvent(QAccessibleEvent&& event) { send(std::move(event)); }

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
    // A button whose group goes too goes with it: readers are told the group
    // left (the button, which no longer names it, would leave from elsewhere).
    const bool withItsGroup = item.group && !now.contains(itemKey(Kind::group, *item.group));
    parent->release(item.kind, item.key, !list && !withItsGroup);
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
    FocusRouting::installed().announcementMade(widget);
    send(QAccessibleEvent(item, QAccessible::NameChanged));
    send(QAccessibleEvent(item, QAccessible::ObjectShow));
  }
}

}  // namespace murmela
