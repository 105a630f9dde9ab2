#pragma once

#include "support/FakeNeighbours.h"
#include "testing/PaintRecorder.h"
#include "theme/FontRegistry.h"

#include <QPainter>
#include <QRectF>
#include <QTest>
#include <QWidget>

#include <memory>

namespace murmela::test {

// A left click in the middle of a painted element.
inline void clickAt(QWidget& widget, const QRectF& rect) {
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, rect.center().toPoint());
}

// What a screen (or sheet) asks a painter to draw.
template <typename Painted>
std::unique_ptr<PaintRecorder> record(const Painted& painted) {
  auto recorder = std::make_unique<PaintRecorder>(QSize(430, 900));
  QPainter painter(recorder.get());
  painted(painter);
  painter.end();
  return recorder;
}

// Shows a widget in an active window so that it takes keys.
inline bool showActive(QWidget& widget) {
  widget.show();
  widget.activateWindow();
  if (!QTest::qWaitForWindowActive(&widget)) return false;
  widget.setFocus();
  return widget.hasFocus();
}

// The base of the screen tests: fonts once, and a fresh coordinator harness
// (application folder, user defaults, fakes) for every test function.
class ScreenTest : public QObject {
  Q_OBJECT

 protected:
  CoordinatorHarness& harness() { return *harness_; }

 private Q_SLOTS:
  void initTestCase() {
    prepareAppTests();
    FontRegistry::registerFonts();
  }
  void init() { harness_ = std::make_unique<CoordinatorHarness>(); }
  void cleanup() { harness_.reset(); }

 private:
  std::unique_ptr<CoordinatorHarness> harness_;
};

}  // namespace murmela::test
