#include "kit/access/AccessibleEvents.h"

#include "kit/access/FocusRouting.h"
#include "kit/access/PaintedAccessible.h"
#include "kit/access/PaintedReader.h"

#include <QWidget>

#include <algorithm>

namespace murmela {

using Kind = ReadingEntry::Kind;

AccessibleSnapshot accessibleSnapshot(const PaintedReader& reader) {
  AccessibleSnapshot snapshot;
  for (const PaintedReader::KeyedText& keyed : reader.texts()) {
    const ShownText& shown = keyed.text;
    snapshot.items.append({.kind = Kind::text,
                           .key = keyed.key,
                           .name = shown.text,
                           .progress = shown.progress ? std::optional<qreal>(shown.progress->value) : std::nullopt});
  }
  for (const ButtonTarget& target : reader.buttons())
    snapshot.items.append({.kind = Kind::button,
                           .key = target.id,
                           .name = target.name,
                           .value = target.value,
                           .description = target.description,
                           .checked = target.checked,
                           .enabled = target.enabled});
  return snapshot;
}

namespace {

AccessibleEventSink eventSink = &QAccessible::updateAccessibility;

void send(QAccessibleEvent&& event) { eventSink(&event); }

}  // namespace

void sendAccessibleEvent(QAccessibleEvent&& event) { send(std::move(event)); }

void setAccessibleEventSink(AccessibleEventSink sink) { eventSink = sink ? sink : &QAccessible::updateAccessibility; }

bool readersListen() { return QAccessible::isActive() || eventSink != &QAccessible::updateAccessibility; }

void sendAccessibleChanges(QWidget* widget, const AccessibleSnapshot& before, const AccessibleSnapshot& after) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (!parent) return;
  for (const AccessibleItemState& was : before.items) {
    const bool stays = std::any_of(after.items.cbegin(), after.items.cend(), [&](const AccessibleItemState& now) {
      return now.kind == was.kind && now.key == was.key;
    });
    if (!stays) parent->release(was.kind, was.key);
  }
  for (const AccessibleItemState& now : after.items) {
    const AccessibleItemState* was = nullptr;
    for (const AccessibleItemState& candidate : before.items)
      if (candidate.kind == now.kind && candidate.key == now.key) was = &candidate;
    QAccessibleInterface* item = parent->item(now.kind, now.key);
    if (!item) continue;
    if (!was) {
      send(QAccessibleEvent(item, QAccessible::ObjectCreated));
      continue;
    }
    if (was->name != now.name) send(QAccessibleEvent(item, QAccessible::NameChanged));
    if (was->description != now.description) send(QAccessibleEvent(item, QAccessible::DescriptionChanged));
    QAccessible::State changed;
    // A tab or a row is selected, not checked: a reader hears "checked off"
    // for a state it does not have. The one that became selected is also
    // the selection's news.
    const bool selectable = item->state().selectable;
    const bool becameSelected = selectable && was->checked != now.checked && now.checked.value_or(false);
    if (was->checked != now.checked) {
      if (selectable)
        changed.selected = true;
      else
        changed.checked = true;
    }
    if (was->enabled != now.enabled) changed.disabled = true;
    if (!(changed == QAccessible::State())) send(QAccessibleStateChangeEvent(item, changed));
    if (becameSelected) send(QAccessibleEvent(item, QAccessible::SelectionAdd));
    if (was->progress != now.progress && now.progress)
      send(QAccessibleValueChangeEvent(item, *now.progress));
    else if (was->value != now.value)
      send(QAccessibleValueChangeEvent(item, now.value));
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
