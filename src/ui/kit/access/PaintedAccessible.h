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
// and its real child widgets in reading order, then its announcement.
// Installed once through QAccessible::installFactory by the first reader.
//
// Announcements. Qt 6.4 has no announcement event, and its AT-SPI bridge
// passes QAccessible's Alert event on to nothing. What Orca (43) speaks
// unprompted, whatever has the focus, is an object of role notification
// whose "showing" state turns on: it says "notification" and the object's
// name. So the announcement child has role Notification, its name is the
// last announcement, and every announcement sends its ObjectShow (which the
// bridge turns into object:state-changed:showing). Tried against Orca on a
// real bus: a name change alone is spoken only for the focused object, and
// an alert that shows outside a dialog not at all.
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
  // The child for a text (by index), a button (by id) or the announcement;
  // null when the widget does not show it now.
  QAccessibleInterface* item(ReadingEntry::Kind kind, int key) const;
  // The container of the buttons whose group is `name`, while it shows.
  QAccessibleInterface* groupItem(const QString& name) const;
  ButtonHost* host() const;
  // The child readers are told has the keyboard (the button with the ring,
  // a list's selected row, else the heading while the widget holds it).
  QAccessibleInterface* readerFocusItem() const;
  // A modal sheet inside the widget that shows now, which hides the rest.
  QWidget* modalCover() const;
  // Tells readers a child went away and forgets its interface.
  void release(ReadingEntry::Kind kind, int key);

  // The widget's interface, when it is served by one.
  static PaintedWidgetAccessible* of(QWidget* widget);

 private:
  QList<QWidget*> childWidgets() const;
  QAccessibleInterface* interfaceFor(const ReadingEntry& entry) const;

  QPointer<PaintedReader> reader_;
  mutable QHash<std::pair<int, int>, QAccessible::Id> items_;
};

// Installs the factory of PaintedWidgetAccessible (once per process).
void installPaintedAccessibility();
// Makes a plain top-level widget the application's frame for screen readers
// (Qt would call it a filler), named by its window title. Call before it shows.
void exposeAsApplicationFrame(QWidget* window);

}  // namespace murmela
