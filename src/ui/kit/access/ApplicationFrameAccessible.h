#pragma once

#include <QAccessibleWidget>

namespace murmela {

// The window as a frame whose hit-test meets only the screens that show (the
// others wait hidden beside them, where they stood).
class ApplicationFrameAccessible : public QAccessibleWidget {
 public:
  explicit ApplicationFrameAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}
  QAccessibleInterface* childAt(int x, int y) const override;
};

}  // namespace murmela
