// Slides one to eight, each in its frame with sharing off (as exported), for
// the demo reports, the edge reports and the longest texts.
#include "GalleryLongTexts.h"
#include "GalleryRegistry.h"
#include "GalleryReports.h"

#include "deck/chrome/SlideFrame.h"
#include "deck/slides/ApologySlide.h"
#include "deck/slides/ColdOpenSlide.h"
#include "deck/slides/HeatmapSlide.h"
#include "deck/slides/InitiationSlide.h"
#include "deck/slides/ReceiptsSlide.h"
#include "deck/slides/ShapeSlide.h"
#include "deck/slides/VocabularySlide.h"
#include "deck/slides/WordDebutSlide.h"

#include <QPainter>

#include <functional>

namespace murmela::gallery {
namespace {

constexpr int kSlideCount = 14;

struct ShownSlide {
  const char* name;
  std::function<void(QPainter&, const WrappedReport&)> paint;
};

template <typename Slide>
ShownSlide shown(const char* name) {
  return {name, [](QPainter& painter, const WrappedReport& report) { Slide{report}.paint(painter); }};
}

void buildSlidesAPage(GalleryPage& page) {
  const QList<ShownSlide> slides = {
      shown<ColdOpenSlide>("cold-open"), shown<ReceiptsSlide>("receipts"),     shown<VocabularySlide>("vocabulary"),
      shown<HeatmapSlide>("heatmap"),    shown<ShapeSlide>("by-year"),         shown<WordDebutSlide>("word-debut"),
      shown<ApologySlide>("apologies"),  shown<InitiationSlide>("initiation"),
  };
  QList<NamedReport> reports = allReports();
  reports.append({QStringLiteral("long-texts"),
                  QStringLiteral("40-character name, long phrases and hosted sentences, six-digit counts"),
                  longTextsReport()});
  for (const NamedReport& named : reports) {
    for (int index = 0; index < slides.size(); ++index) {
      const ShownSlide& slide = slides[index];
      page.add(
          QStringLiteral("slides-%1-%2-%3")
              .arg(named.name)
              .arg(index + 1, 2, 10, QLatin1Char('0'))
              .arg(QLatin1String(slide.name)),
          SlideFrame::kSize,
          [report = named.report, paint = slide.paint, index](QPainter& painter) {
            SlideFrame{index, kSlideCount, std::nullopt}.paint(painter,
                                                               [&](QPainter& content) { paint(content, report); });
          },
          named.description + QStringLiteral(": slide %1").arg(index + 1));
    }
  }
}

}  // namespace

MURMELA_GALLERY_AREA(slidesA, "Slides 1 to 8", 50, buildSlidesAPage);

}  // namespace murmela::gallery
