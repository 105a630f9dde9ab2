// Slides nine to fourteen in their frames for every demo and edge report, the
// closer's buttons in their states, and all fourteen slides of each demo
// report through the slide switch as the image export draws them.
#include "GalleryLongTexts.h"
#include "GalleryRegistry.h"
#include "GalleryReports.h"

#include "deck/LongDeckSlide.h"

#include <QPainter>

namespace murmela::gallery {
namespace {

constexpr int kFirstSlide = 8;
const char* const kSlideNames[] = {"dialect", "response-time", "argument-map", "vibe-shift", "streak", "closer"};

QString handleFor(const NamedReport& named) { return named.name + QStringLiteral("@example.com"); }

void addSlide(GalleryPage& page, const QString& name, const QString& caption, const WrappedReport& report, int index,
              bool share, const LongDeckSlide::Interaction& interaction = {}, const QString& handle = {}) {
  page.add(
      name, SlideFrame::kSize,
      [report, index, share, interaction, handle](QPainter& painter) {
        LongDeckSlide{report, index, share, handle.isEmpty() ? std::nullopt : std::optional<QString>(handle)}.paint(
            painter, interaction);
      },
      caption);
}

void buildSlidesPage(GalleryPage& page) {
  QList<NamedReport> reports = allReports();
  reports.append({QStringLiteral("long-texts"), QStringLiteral("every text at its longest"), longTextsReport()});
  for (const NamedReport& named : reports) {
    for (int index = kFirstSlide; index < LongDeckSlide::kCount; ++index) {
      const QString slide = QString::fromLatin1(kSlideNames[index - kFirstSlide]);
      addSlide(page, QStringLiteral("slide%1-%2-%3").arg(index + 1, 2, 10, QLatin1Char('0')).arg(slide, named.name),
               QStringLiteral("slide %1 (%2), %3, in the deck").arg(index + 1).arg(slide, named.description),
               named.report, index, true, {}, handleFor(named));
    }
  }

  // The closer's buttons: pressed, and Done alone when sharing is off; a
  // paragraph four times as long still leaves both buttons in the frame.
  const WrappedReport& rich = report(QStringLiteral("rich"));
  using Element = LongDeckSlide::Element;
  addSlide(page, QStringLiteral("slide14-closer-share-pressed"), QStringLiteral("the closer, SHARE pressed"), rich, 13,
           true, {Element::closerShare, Element::closerShare});
  addSlide(page, QStringLiteral("slide14-closer-done-pressed"), QStringLiteral("the closer, DONE pressed"), rich, 13,
           true, {Element::closerDone, Element::closerDone});
  addSlide(page, QStringLiteral("slide14-closer-export"), QStringLiteral("the closer as exported: DONE alone"), rich,
           13, false);
  WrappedReport longParagraph = rich;
  longParagraph.closerParagraph = QStringList(4, rich.closerParagraph).join(QLatin1Char(' '));
  addSlide(page, QStringLiteral("slide14-closer-long-paragraph"),
           QStringLiteral("a paragraph four times as long: shrunk to 0.85, then cut"), longParagraph, 13, true);
}

void buildDeckPage(GalleryPage& page) {
  for (const NamedReport& named : demoReports())
    for (int index = 0; index < LongDeckSlide::kCount; ++index)
      addSlide(page, QStringLiteral("deck-%1-%2").arg(named.name).arg(index + 1, 2, 10, QLatin1Char('0')),
               QStringLiteral("%1, slide %2 of 14, as exported").arg(named.description).arg(index + 1), named.report,
               index, false);
}

}  // namespace

MURMELA_GALLERY_AREA(slidesb, "Slides nine to fourteen", 60, buildSlidesPage);
MURMELA_GALLERY_AREA(deckslides, "All fourteen slides through the slide switch", 70, buildDeckPage);

}  // namespace murmela::gallery
