// The deck view as the window shows it: slides with their chevrons, the
// hover and pressed looks, a slide change halfway, a toast over a slide and
// the interim share sheet.
#include "GalleryRegistry.h"
#include "GalleryReports.h"

#include "deck/MurmelaDeckResultsView.h"
#include "kit/overlay/ToastOverlay.h"
#include "sheets/share/ShareSheetLayout.h"

#include <QPainter>

namespace murmela::gallery {
namespace {

using Element = LongDeckSlide::Element;
const QSizeF kDeck = SlideFrame::kSize;
const QString kHandle = QStringLiteral("+15551234567");

// What one picture of the deck shows.
struct DeckShot {
  int index = 0;
  LongDeckSlide::Interaction interaction{};
  qreal rightHover = 0.0;
  bool rightPressed = false;
  std::optional<int> arrivingFrom{};  // halfway through the change from this slide
  std::optional<QString> toast{};
  bool shareSheet = false;
};

// Motion is off in the gallery; a picture of a slide change turns it on for itself.
class MotionOnScope {
 public:
  MotionOnScope() : previous_(Motion::enabled()) { Motion::setEnabled(true); }
  ~MotionOnScope() { Motion::setEnabled(previous_); }

 private:
  bool previous_;
};

void paintShot(QPainter& painter, const WrappedReport& report, const DeckShot& shot) {
  const qreal scale = painter.device()->devicePixelRatioF();
  const auto picture = [&](int index, const LongDeckSlide::Interaction& interaction) {
    return MurmelaDeckResultsView::slideImage(LongDeckSlide{report, index, true, kHandle}, interaction, scale);
  };
  DeckSlideStack slides;
  double now = 0.0;
  {
    MotionOnScope motion;
    if (shot.arrivingFrom) {
      slides.show(*shot.arrivingFrom, picture(*shot.arrivingFrom, {}), 0.0);
      slides.show(shot.index, picture(shot.index, {}), 0.0);
      now = DeckSlideStack::kDuration / 2.0;
    } else {
      slides.show(shot.index, picture(shot.index, shot.interaction), 0.0);
    }
    const auto look = [&](ChevronDirection side, qreal hover, bool pressed) {
      const bool disabled = side == ChevronDirection::left ? shot.index == 0 : shot.index == LongDeckSlide::kCount - 1;
      return MurmelaDeckResultsView::ChevronLook{DeckChevron{side, disabled}, hover, pressed};
    };
    MurmelaDeckResultsView::paintDeck(
        painter, kDeck, slides, now,
        {look(ChevronDirection::left, 0.0, false), look(ChevronDirection::right, shot.rightHover, shot.rightPressed)});
  }
  if (shot.shareSheet) {
    const SlideShareContext context{report, shot.index, kHandle};
    const ShareSheetState opened;
    paintShareSheet(painter, layoutShareSheet(context, opened, kDeck, Date::now()), opened, {});
  }
  if (shot.toast) ToastOverlay::paint(painter, ToastOverlay::layout(*shot.toast, QRectF(QPointF(), kDeck)), 1.0);
}

void buildDeckViewPage(GalleryPage& page) {
  const WrappedReport& rich = report(QStringLiteral("rich"));
  struct Shown {
    const char* name;
    DeckShot shot;
    const char* caption;
  };
  const QList<Shown> shots = {
      {"deckview-slide01", {.index = 0}, "slide 1: no left chevron, the right one ink-soft"},
      {"deckview-slide05", {.index = 4}, "slide 5: both chevrons, footer with SHARE"},
      {"deckview-slide05-hover-right", {.index = 4, .rightHover = 1.0}, "slide 5, the pointer on the right chevron"},
      {"deckview-slide05-share-pressed",
       {.index = 4, .interaction = {Element::footerShare, Element::footerShare}},
       "slide 5, the footer's SHARE pressed"},
      {"deckview-slide14",
       {.index = 13, .interaction = {Element::closerDone, std::nullopt}},
       "the closer: no right chevron, DONE under the pointer"},
      {"deckview-slide05-to-06-halfway", {.index = 5, .arrivingFrom = 4}, "from slide 5 to 6, halfway"},
      {"deckview-slide06-to-05-halfway", {.index = 4, .arrivingFrom = 5}, "back from slide 6 to 5, halfway"},
      {"deckview-toast", {.index = 2, .toast = QStringLiteral("Slide copied to clipboard.")}, "a toast over slide 3"},
      {"deckview-toast-long",
       {.index = 2,
        .toast = QStringLiteral("Couldn't save the image: the Downloads folder is not writable (permission denied).")},
       "a long toast wraps at the deck's width"},
      {"deckview-share-sheet", {.index = 4, .shareSheet = true}, "the share sheet over slide 5"},
  };
  for (const Shown& shown : shots) {
    const DeckShot shot = shown.shot;
    page.add(
        QString::fromLatin1(shown.name), kDeck, [&rich, shot](QPainter& painter) { paintShot(painter, rich, shot); },
        QString::fromLatin1(shown.caption));
  }

  // The right chevron up close: at rest, hovered, pressed.
  page.add(QStringLiteral("deckview-chevron-states"), QSizeF(96, 40),
           [](QPainter& painter) {
             painter.fillRect(QRectF(0, 0, 96, 40), MurmelaTheme::cream);
             const struct {
               qreal hover;
               bool pressed;
             } states[] = {{0.0, false}, {1.0, false}, {1.0, true}};
             for (int i = 0; i < 3; ++i) {
               painter.save();
               painter.translate(8 + i * 30 - (kDeck.width() - DeckChevron::kSize.width()),
                                 8 - (kDeck.height() - DeckChevron::kSize.height()) / 2.0);
               DeckChevron{ChevronDirection::right, false}.paint(painter, kDeck, states[i].hover, states[i].pressed);
               painter.restore();
             }
           },
           QStringLiteral("right chevron: at rest (ink-soft), hovered (ink), pressed"), {8.0});
}

}  // namespace

MURMELA_GALLERY_AREA(deckview, "Deck view", 80, buildDeckViewPage);

}  // namespace murmela::gallery
