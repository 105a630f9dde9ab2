#include "kit/access/PaintedAccessibleFactory.h"

#include "kit/access/AccessibleEvents.h"
#include "kit/access/ApplicationAccessible.h"
#include "kit/access/ApplicationFrameAccessible.h"
#include "kit/access/PaintedListAccessible.h"
#include "kit/access/PaintedReader.h"
#include "kit/access/PaintedWidgetAccessible.h"
#include "kit/access/TextFieldAccessible.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

namespace murmela {
namespace {

const char* const kApplicationFrame = "murmelaApplicationFrame";

QAccessibleInterface* paintedFactory(const QString&, QObject* object) {
  if (object && object == qApp) return new ApplicationAccessible;
  if (!object || !object->isWidgetType()) return nullptr;
  if (auto* field = qobject_cast<QLineEdit*>(object)) return new TextFieldAccessible(field);
  if (object->property(kApplicationFrame).toBool()) return new ApplicationFrameAccessible(static_cast<QWidget*>(object));
  auto* reader = object->findChild<PaintedReader*>(QString(), Qt::FindDirectChildrenOnly);
  if (!reader) return nullptr;
  if (reader->role() == QAccessible::List) return new PaintedListAccessible(static_cast<QWidget*>(object), reader);
  return new PaintedWidgetAccessible(static_cast<QWidget*>(object), reader);
}

}  // namespace

void installPaintedAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(paintedFactory);
    installAccessibleEventRewriter();
    return true;
  }();
  Q_UNUSED(installed);
}

void exposeAsApplicationFrame(QWidget* window) {
  installPaintedAccessibility();
  window->setProperty(kApplicationFrame, true);
}

}  // namespace murmela
