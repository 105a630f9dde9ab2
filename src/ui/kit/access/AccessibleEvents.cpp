#include "kit/access/AccessibleEvents.h"

#include "kit/access/PaintedAccessible.h"
#include "kit/access/PaintedReader.h"

#include <QHash>
#include <QWidget>

namespace murmela {

using Kind = ReadingEntry::Kind;

AccessibleSnapshot accessibleSnapshot(const PaintedReader& reader) {
  AccessibleSnapshot snapshot;
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

void sendAccessibleEvent(QAccessibleEvent&& event) {
  if (readersListen()) AccessibleEventRewriter::installed().rewrite(&event);
}

namespace {

void send(QAccessibleEvent&& event) { sendAccessibleEvent(std::move(event)); }

// The items of a snapshot by kind and key.
QHash<quint64, const AccessibleItemState*> byKey(const AccessibleSnapshot& snapshot) {
  QHash<quint64, const AccessibleItemState*> items;
  items.reserve(snapshot.items.size());
  for (const AccessibleItemState& item : snapshot.items) items.insert(readerKey(item.kind, item.key), &item);
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

// Each side is looked up by key, so telling costs what the two hold, once:
// each item that comes or goes is told, and what changed in those that stay.
void sendAccessibleChanges(QWidget* widget, const AccessibleSnapshot& before, const AccessibleSnapshot& after) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (!parent) return;
  const QHash<quint64, const AccessibleItemState*> was = byKey(before);
  const QHash<quint64, const AccessibleItemState*> now = byKey(after);
  for (const AccessibleItemState& item : before.items) {
    if (now.contains(readerKey(item.kind, item.key))) continue;
    // A button whose group goes too goes with it: readers are told the group
    // left (the button, which no longer names it, would leave from elsewhere).
    const bool withItsGroup = item.group && !now.contains(readerKey(Kind::group, *item.group));
    parent->release(item.kind, item.key, !withItsGroup);
  }
  for (const AccessibleItemState& item : after.items) {
    const AccessibleItemState* earlier = was.value(readerKey(item.kind, item.key));
    QAccessibleInterface* iface = parent->item(item.kind, item.key);
    if (!iface) continue;
    if (!earlier)
      send(QAccessibleEvent(iface, QAccessible::ObjectCreated));
    else if (iface->isValid())
      sendItemChanges(iface, *earlier, item);
  }
}

void sendRowsChanged(QWidget* widget) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (!parent) return;
  parent->forgetGoneRows();
  send(QAccessibleTableModelChangeEvent(widget, QAccessibleTableModelChangeEvent::ModelReset));
}

// Only rows a reader has met hear of it: it asks afresh about the others.
void sendSelectionMoved(QWidget* widget, std::optional<int> from, std::optional<int> to) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (!parent) return;
  QAccessible::State selection;
  selection.selected = true;
  if (QAccessibleInterface* row = from ? parent->knownItem(Kind::button, *from) : nullptr; row && row->isValid())
    send(QAccessibleStateChangeEvent(row, selection));
  if (QAccessibleInterface* row = to ? parent->knownItem(Kind::button, *to) : nullptr; row && row->isValid()) {
    send(QAccessibleStateChangeEvent(row, selection));
    send(QAccessibleEvent(row, QAccessible::SelectionAdd));
  }
}

void sendFocus(QWidget* widget) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (parent && parent->readerFocusItem()) send(QAccessibleEvent(widget, QAccessible::Focus));
}

void sendAnnouncement(QWidget* widget) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (QAccessibleInterface* item = parent ? parent->item(Kind::announcement, 0) : nullptr) {
    send(QAccessibleEvent(item, QAccessible::NameChanged));
    send(QAccessibleEvent(item, QAccessible::ObjectShow));
  }
}

}  // namespace murmela
