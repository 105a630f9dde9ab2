#pragma once

#include "kit/access/AccessibleEventRewriter.h"
#include "kit/access/ShownText.h"

#include <QAccessible>
#include <QList>
#include <QString>

#include <optional>

class QWidget;

namespace murmela {

class PaintedReader;

// What a screen reader was last told of one child of a painted widget.
struct AccessibleItemState {
  ReadingEntry::Kind kind = ReadingEntry::Kind::text;
  int key = 0;
  QString name{};
  QString value{};
  QString description{};
  std::optional<bool> checked{};
  bool enabled = true;
  std::optional<qreal> progress{};
  std::optional<int> group{};  // the key of the group a button stands in

  friend bool operator==(const AccessibleItemState&, const AccessibleItemState&) = default;
};

struct AccessibleSnapshot {
  QList<AccessibleItemState> items;  // texts, buttons, then groups (a list's rows are not among them)
};

// What the reader shows screen readers now, and the events that tell them
// how `after` differs from `before`.
AccessibleSnapshot accessibleSnapshot(const PaintedReader& reader);
void sendAccessibleChanges(QWidget* widget, const AccessibleSnapshot& before, const AccessibleSnapshot& after);

// A list's rows came, went or changed: one reset of its children.
void sendRowsChanged(QWidget* widget);
// The selected row of a list is another (either may be none).
void sendSelectionMoved(QWidget* widget, std::optional<int> from, std::optional<int> to);
// The focus moved in a painted widget: readers hear of the child the
// rewriter finds there (the one path every focus takes to them).
void sendFocus(QWidget* widget);
// An announcement was made.
void sendAnnouncement(QWidget* widget);

// Sends one event to readers, through the installed rewriter.
void sendAccessibleEvent(QAccessibleEvent&& event);

}  // namespace murmela
