#include "kit/access/ApplicationAccessible.h"

#include "kit/access/PaintedReader.h"
#include "kit/access/PaintedWidgetAccessible.h"

#include <QWidget>

namespace murmela {
namespace {

QList<QPointer<QWidget>>& announcers() {
  static QList<QPointer<QWidget>> widgets;
  return widgets;
}

}  // namespace

void ApplicationAccessible::noteAnnouncer(QWidget* widget) {
  QList<QPointer<QWidget>>& widgets = announcers();
  widgets.removeAll(nullptr);  // those gone
  if (!widgets.contains(widget)) widgets.append(widget);
}

QList<QAccessibleInterface*> ApplicationAccessible::announcements() const {
  QList<QAccessibleInterface*> items;
  for (const QPointer<QWidget>& widget : std::as_const(announcers())) {
    const PaintedReader* reader = PaintedReader::of(widget.data());
    if (!reader || reader->announcement().isEmpty() || !widget->isVisible()) continue;
    if (PaintedWidgetAccessible* painted = PaintedWidgetAccessible::of(widget.data()))
      if (QAccessibleInterface* item = painted->item(ReadingEntry::Kind::announcement, 0)) items.append(item);
  }
  return items;
}

int ApplicationAccessible::childCount() const {
  return QAccessibleApplication::childCount() + static_cast<int>(announcements().size());
}

QAccessibleInterface* ApplicationAccessible::child(int index) const {
  const int windows = QAccessibleApplication::childCount();
  if (index < windows) return QAccessibleApplication::child(index);
  return announcements().value(index - windows);
}

int ApplicationAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (const int window = QAccessibleApplication::indexOfChild(child); window >= 0) return window;
  const qsizetype announcement = announcements().indexOf(const_cast<QAccessibleInterface*>(child));
  return announcement < 0 ? -1 : QAccessibleApplication::childCount() + static_cast<int>(announcement);
}

}  // namespace murmela
