// Prints how long the deck takes to make the picture of each slide (what a
// slide change costs before its transition starts), at 1x and 2x, and one
// transition frame composited from two pictures.
#include "data/FakeReportLoader.h"
#include "deck/DeckSlideStack.h"
#include "deck/LongDeckSlide.h"
#include "deck/MurmelaDeckResultsView.h"
#include "theme/FontRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>

#include <cstdio>

using namespace murmela;

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  FontRegistry::registerFonts();
  const WrappedReport report = FakeReportLoader::load(FakeDataFixture::rich);
  constexpr int kRounds = 5;

  for (const qreal scale : {1.0, 2.0}) {
    std::printf("slide pictures at %.0fx (ms, best of %d):\n", scale, kRounds);
    for (int index = 0; index < LongDeckSlide::kCount; ++index) {
      const LongDeckSlide slide{report, index, true, std::nullopt};
      qint64 best = -1;
      for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QImage image = MurmelaDeckResultsView::slideImage(slide, {}, scale);
        const qint64 elapsed = timer.nsecsElapsed();
        if (best < 0 || elapsed < best) best = elapsed;
      }
      std::printf("  slide %2d  %7.2f\n", index, static_cast<double>(best) / 1e6);
    }
  }

  DeckSlideStack stack;
  stack.show(0, MurmelaDeckResultsView::slideImage(LongDeckSlide{report, 0, true, std::nullopt}, {}, 2.0), 0.0);
  stack.show(1, MurmelaDeckResultsView::slideImage(LongDeckSlide{report, 1, true, std::nullopt}, {}, 2.0), 0.0);
  QImage target(780, 1560, QImage::Format_ARGB32_Premultiplied);
  target.setDevicePixelRatio(2.0);
  qint64 best = -1;
  for (int round = 0; round < kRounds * 4; ++round) {
    QElapsedTimer timer;
    timer.start();
    QPainter painter(&target);
    stack.paint(painter, 0.11, 390.0);
    painter.end();
    const qint64 elapsed = timer.nsecsElapsed();
    if (best < 0 || elapsed < best) best = elapsed;
  }
  std::printf("transition frame at 2x: %.2f ms\n", static_cast<double>(best) / 1e6);
  return 0;
}
