#pragma once

#include "kit/access/AccessibleEvents.h"
#include "kit/access/ShownText.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>

#include <optional>
#include <utility>

namespace murmela {

class ButtonHost;
class PaintedReader;

// The one accessibility interface of every widget with a PaintedReader: the
// widget itself (a dialog, a window or a plain client area, named by its
// accessible name or title) whose children are its painted texts and buttons
// and its real child widgets in reading order.
//
// Its reading order is worked out once per change the reader is told of (its
// content, a child widget that shows, hides or moves) and again when a sheet
// covers it, and a reader's questions (a child by index, the index of a
// child, an item by key) are answered from it by lookup.
//
// Announcements. Qt 6.4 has no announcement event, and its AT-SPI bridge
// passes QAccessible's Alert event on to nothing. What Orca (43) speaks
// unprompted, whatever has the focus, is an object of role notification
// whose "showing" state turns on: it says "notification" and the object's
// name. So the announcement is an item of role Notification, named by the
// last announcement, and every announcement sends its ObjectShow (which the
// bridge turns into object:state-changed:showing). Tried against Orca on a
// real bus: a name change alone is spoken only for the focused object, and
// an alert that shows outside a dialog not at all. It stands under the
// application, which lists it, not under the widget.
class PaintedWidgetAccessible : public QAccessibleWidget {
 public:
  PaintedWidgetAccessible(QWidget* widget, PaintedReader* reader);
  ~PaintedWidgetAccessible() override;

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;

  QList<ReadingEntry> entries() const;
  // The child for a text (by key), a button (by id), a group (by key) or the
  // announcement; null when the widget does not show it now.
  QAccessibleInterface* item(ReadingEntry::Kind kind, int key) const;
  // The child's interface when a reader has already met it, else null (what
  // no reader has seen needs no news of its changes).
  QAccessibleInterface* knownItem(ReadingEntry::Kind kind, int key) const;
  // The container of the buttons whose group is `name`, while it shows.
  QAccessibleInterface* groupItem(const QString& name) const;
  PaintedReader* reader() const;
  ButtonHost* host() const;
  // The child readers are told has the keyboard (the button with the ring,
  // a list's selected row, else the heading while the widget holds it).
  QAccessibleInterface* readerFocusItem() const;
  // A modal sheet inside the widget that shows now, which hides the rest.
  QWidget* modalCover() const;
  // Forgets a child that went away, telling readers first when `tell`.
  void release(ReadingEntry::Kind kind, int key, bool tell = true);
  // Forgets, untold, the rows readers met that are gone (a list told of a
  // reset: its readers ask again for what they need).
  void forgetGoneRows();

  // The widget's interface, when it is served by one.
  static PaintedWidgetAccessible* of(QWidget* widget);

 private:
  // The reading order and where each child stands in it, for one revision of
  // the reader and one sheet covering the widget (or none).
  struct Reading {
    quint64 revision = 0;
    const QWidget* cover = nullptr;
    QList<QPointer<QWidget>> widgets{};  // the child widgets, those that do not show as null
    QList<ReadingEntry> order{};
    QHash<quint64, int> at{};  // by readerKey()
  };
  const Reading& reading() const;
  QList<QWidget*> childWidgets() const;

 protected:
  QAccessibleInterface* interfaceFor(const ReadingEntry& entry) const;

 private:
  QPointer<PaintedReader> reader_;
  mutable QHash<quint64, QAccessible::Id> items_;  // by readerKey()
  mutable std::optional<Reading> reading_;
};

}  // namespace murmela
