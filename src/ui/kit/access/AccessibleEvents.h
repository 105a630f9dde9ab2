#pragma once

#include "kit/access/FocusRouting.h"
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
  QList<AccessibleItemState> items;  // texts, buttons, then groups
  bool list = false;                 // the widget is a list of rows
};

// What the reader shows screen readers now, and the events that tell them
// how `after` differs from `before`.
AccessibleSnapshot accessibleSnapshot(const PaintedReader& reader);
void sendAccessibleChanges(QWidget* widget, const AccessibleSnapshot& before, const AccessibleSnapshot& after);
// Where the kit's events go: QAccessible::updateAccessibility by default,
// which passes them on only while a screen reader listens. A test hands in
// its own to see them without one.
using AccessibleEventSink = void (*)(QAccessibleEvent* event);
void setAccessibleEventSink(AccessibleEventSink sink);
// Whether anything hears the kit's events: a screen reader, or a test's sink.
bool readersListen();

// Tells screen readers the focus is on a button (as Qt's item views tell of
// their current item: an event of the widget naming the child); that an
// announcement was made.
void sendButtonFocus(QWidget* widget, int id);
void sendAnnouncement(QWidget* widget);

// Sends one event to readers (through the sink above).
void sendAccessibleEvent(QAccessibleEvent&& event);
}  // namespace murmela
