// Prints how long the deck takes to make the picture of each slide (what a
// slide change costs before its transition starts), at 1x and 2x, and at 3x
// as the export renders them; the speckle background alone at each scale;
// and one transition frame composited from two pictures.
#include "brand/SpeckleBackground.h"
#include "data/FakeReportLoader.h"
#include "deck/DeckSlideStack.h"
#include "deck/LongDeckSlide.h"
#include "deck/MurmelaDeckResultsView.h"
#include "deck/chrome/SlideFrame.h"
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

  // Best of some rounds of a piece of work, in milliseconds.
  const auto best = [](int rounds, const auto& work) {
    qint64 fastest = -1;
    for (int round = 0; round < rounds; ++round) {
      QElapsedTimer timer;
      timer.start();
      work();
      const qint64 elapsed = timer.nsecsElapsed();
      if (fastest < 0 || elapsed < fastest) fastest = elapsed;
    }
    return static_cast<double>(fastest) / 1e6;
  };

  for (const qreal scale : {1.0, 2.0, 3.0}) {
    QImage canvas((SlideFrame::kSize * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(scale);
    canvas.fill(Qt::transparent);
    const double speckle = best(kRounds * 4, [&] {
      QPainter painter(&canvas);
      SpeckleBackground::paint(painter, SlideFrame::kSize);
    });
    std::printf("speckle background at %.0fx: %.2f ms\n", scale, speckle);
  }

  for (const qreal scale : {1.0, 2.0, 3.0}) {
    std::printf("slide pictures at %.0fx (ms, best of %d):\n", scale, kRounds);
    for (int index = 0; index < LongDeckSlide::kCount; ++index) {
      const LongDeckSlide slide{report, index, true, std::nullopt};
      const double elapsed = best(kRounds, [&] { MurmelaDeckResultsView::slideImage(slide, {}, scale); });
      std::printf("  slide %2d  %7.2f\n", index, elapsed);
    }
  }

  DeckSlideStack stack;
  stack.show(0, MurmelaDeckResultsView::slideImage(LongDeckSlide{report, 0, true, std::nullopt}, {}, 2.0), 0.0);
  stack.show(1, MurmelaDeckResultsView::slideImage(LongDeckSlide{report, 1, true, std::nullopt}, {}, 2.0), 0.0);
  QImage target(780, 1560, QImage::Format_ARGB32_Premultiplied);
  target.setDevicePixelRatio(2.0);
  const double frame = best(kRounds * 4, [&] {
    QPainter painter(&target);
    stack.paint(painter, 0.11, 390.0);
  });
  std::printf("transition frame at 2x: %.2f ms\n", frame);
  return 0;
}
