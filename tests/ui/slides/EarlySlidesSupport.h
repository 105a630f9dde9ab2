#pragma once

#include "data/FakeReportLoader.h"
#include "deck/slides/ApologySlide.h"
#include "deck/slides/ColdOpenSlide.h"
#include "deck/slides/HeatmapSlide.h"
#include "deck/slides/InitiationSlide.h"
#include "deck/slides/ReceiptsSlide.h"
#include "deck/slides/ShapeSlide.h"
#include "deck/slides/VocabularySlide.h"
#include "deck/slides/WordDebutSlide.h"
#include "testing/PaintRecorder.h"

#include <QPainter>

#include <cmath>
#include <memory>

namespace murmela::test {

// One of slides one to eight drawn into a recorder, with the rectangles of
// its elements.
struct EarlySlideDrawing {
  std::unique_ptr<PaintRecorder> recorder;
  QList<QRectF> elements;
};

template <typename Slide>
EarlySlideDrawing drawEarlySlide(const Slide& slide) {
  EarlySlideDrawing drawing{std::make_unique<PaintRecorder>(), slide.layout().elementFrames()};
  QPainter painter(drawing.recorder.get());
  slide.paint(painter);
  return drawing;
}

inline EarlySlideDrawing drawEarlySlide(int index, const WrappedReport& report) {
  switch (index) {
    case 0:
      return drawEarlySlide(ColdOpenSlide{report});
    case 1:
      return drawEarlySlide(ReceiptsSlide{report});
    case 2:
      return drawEarlySlide(VocabularySlide{report});
    case 3:
      return drawEarlySlide(HeatmapSlide{report});
    case 4:
      return drawEarlySlide(ShapeSlide{report});
    case 5:
      return drawEarlySlide(WordDebutSlide{report});
    case 6:
      return drawEarlySlide(ApologySlide{report});
    default:
      return drawEarlySlide(InitiationSlide{report});
  }
}

// Everything drawn in one colour, as a reader would take it in: a run that
// continues the previous one on its line runs on; any other text (a new
// line, another element) follows after a blank.
inline QString drawnIn(const PaintRecorder& recorder, const QColor& color) {
  QString drawn;
  std::optional<PaintRecord> previous;
  for (const PaintRecord& record : recorder.texts()) {
    if (record.color != color) continue;
    const bool runsOn = previous && std::abs(previous->baselineOrigin.y() - record.baselineOrigin.y()) < 1.0 &&
                        std::abs(previous->bounds.right() - record.bounds.left()) < 1.0;
    if (!runsOn && !drawn.isEmpty() && !drawn.back().isSpace()) drawn += QLatin1Char(' ');
    drawn += record.text;
    previous = record;
  }
  return drawn;
}

inline WrappedReport demoReport(FakeDataFixture fixture) { return FakeReportLoader::load(fixture); }

}  // namespace murmela::test
