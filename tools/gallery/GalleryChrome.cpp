// The slide chrome: frames with and without sharing, the footer, the logo
// and the speckle texture up close.
#include "GalleryRegistry.h"
#include "GalleryReports.h"

#include "brand/DoubleBubbleLogo.h"
#include "brand/SpeckleBackground.h"
#include "deck/chrome/SlideFrame.h"
#include "kit/text/TextLayout.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela::gallery {
namespace {

const TextStyle kNote{
    .typeface = Typeface::inter, .size = 8, .tracking = 0.6, .upperCase = true, .color = MurmelaTheme::inkSoft};

SlideFrame frameFor(int index, bool share) {
  SlideFrame frame{index, 14, std::nullopt};
  // The closer never gets the footer's Share; the export never shares.
  if (share && index < 13) frame.shareContext = SlideShareContext{report(QStringLiteral("rich")), index, std::nullopt};
  return frame;
}

// A frame with a note in the middle naming what it shows.
void paintFrame(QPainter& painter, const SlideFrame& frame, const QString& note, bool pressed = false) {
  frame.paint(
      painter,
      [&](QPainter& content) {
        layoutText(note, TextStyle{.typeface = Typeface::caveat,
                                   .size = 24,
                                   .color = MurmelaTheme::inkSoft,
                                   .alignment = TextAlign::center})
            .drawCentered(content, QPointF(195, 390));
      },
      SlideFrame::Interaction{pressed});
}

void buildChromePage(GalleryPage& page) {
  const QSizeF slide = SlideFrame::kSize;
  struct Shown {
    const char* name;
    int index;
    bool share;
    bool pressed;
    const char* caption;
  };
  const QList<Shown> frames = {
      {"chrome-slide00-share", 0, true, false, "slide 1 in the deck: one full segment, SHARE in the footer"},
      {"chrome-slide06-share", 6, true, false, "slide 7 in the deck"},
      {"chrome-slide06-share-pressed", 6, true, true, "slide 7, SHARE pressed"},
      {"chrome-slide12-share", 12, true, false, "slide 13 in the deck"},
      {"chrome-slide13", 13, true, false, "the closer: fourteen segments, no SHARE in the footer"},
      {"chrome-slide00-export", 0, false, false, "slide 1 as exported: no divider, no SHARE"},
  };
  for (const Shown& shown : frames) {
    const SlideFrame frame = frameFor(shown.index, shown.share);
    const QString note = QStringLiteral("slide %1 of 14").arg(shown.index + 1);
    const bool pressed = shown.pressed;
    page.add(
        QString::fromLatin1(shown.name), slide,
        [frame, note, pressed](QPainter& painter) { paintFrame(painter, frame, note, pressed); },
        QString::fromLatin1(shown.caption),
        shown.index == 0 && shown.share ? QList<qreal>{3.0, 1.0} : QList<qreal>{3.0});
  }

  // The footer up close, with and without SHARE.
  for (const bool share : {true, false}) {
    const SlideFrame frame = frameFor(3, share);
    page.add(
        share ? QStringLiteral("chrome-footer-share") : QStringLiteral("chrome-footer-export"), QSizeF(390, 60),
        [frame](QPainter& painter) {
          painter.translate(0, -(SlideFrame::kSize.height() - 60));
          frame.paint(painter, {});
        },
        share ? QStringLiteral("footer: logo, web address, divider, SHARE") : QStringLiteral("footer without sharing"),
        {4.0});
  }

  page.add(
      QStringLiteral("chrome-logo-sizes"), QSizeF(390, 170),
      [](QPainter& painter) {
        painter.fillRect(QRectF(0, 0, 390, 170), MurmelaTheme::cream);
        qreal x = 20;
        // The footer and processing screen, the home screen, a middle size, the welcome screen.
        for (const qreal size : {14.0, 22.0, 48.0, 130.0}) {
          const DoubleBubbleLogo logo{size};
          const QRectF frame(QPointF(x, 150 - size), logo.frameSize());
          painter.fillRect(frame, withOpacity(MurmelaTheme::sage, 0.15));
          logo.paint(painter, frame);
          layoutText(QString::number(size), kNote).draw(painter, QPointF(x, 154));
          x += frame.width() + 20;
        }
      },
      QStringLiteral("the bubble pair drawn when no logo image is bundled; its frame tinted"));

  page.add(QStringLiteral("chrome-speckle-zoom"), QSizeF(40, 40),
           [](QPainter& painter) {
             painter.fillRect(QRectF(0, 0, 40, 40), MurmelaTheme::cream);
             SpeckleBackground::paint(painter, QSizeF(40, 40));
           },
           QStringLiteral("the speckle checkerboard, 40 x 40 points at 12x"), {12.0});
}

}  // namespace

MURMELA_GALLERY_AREA(chrome, "Slide chrome", 20, buildChromePage);

}  // namespace murmela::gallery
