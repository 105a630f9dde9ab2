#include "kit/access/ApplicationFrameAccessible.h"

#include <QWidget>

namespace murmela {

QAccessibleInterface* ApplicationFrameAccessible::childAt(int x, int y) const {
  for (int index = childCount() - 1; index >= 0; --index) {
    QAccessibleInterface* shown = child(index);
    auto* widget = shown ? qobject_cast<QWidget*>(shown->object()) : nullptr;
    if (widget && widget->isVisible() && shown->rect().contains(x, y)) return shown;
  }
  return nullptr;
}

}  // namespace murmela
