#pragma once

#include "data/WrappedReport.h"
#include "deck/DeckChevron.h"
#include "deck/DeckHost.h"
#include "deck/DeckSlideStack.h"
#include "deck/LongDeckSlide.h"
#include "deck/ShareSheetPresenter.h"
#include "deck/ShareSheetRequest.h"
#include "kit/motion/FrameTicker.h"
#include "kit/motion/Motion.h"
#include "kit/overlay/ToastManager.h"
#include "kit/access/PaintedReader.h"
#include "kit/widgets/ButtonHost.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

#include <array>
#include <optional>
#include <variant>

class QGraphicsOpacityEffect;

namespace murmela {

class ToastOverlay;

// The results screen: one slide of the fourteen at a time, the two chevrons
// at the edges halfway down, the left and right arrow keys, and above the
// slide one overlay that holds the share sheet (while the share presenter has
// a pending context) and the toasts. Everything but the share sheet is
// painted: the slide from a picture made once per change at the widget's
// device pixel ratio, moved and faded between slides by its transition. The
// chevrons and the slide's buttons are the deck's buttons on one ButtonHost:
// the pointer, Tab and Space reach them through the hit areas they are
// painted in.
class MurmelaDeckResultsView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTotalSlides = LongDeckSlide::kCount;
  static constexpr QSize kSize{390, 780};
  static constexpr double kSheetFadeDuration = 0.22;  // ease-out

  // What the pointer is over: a chevron or one of the slide's buttons.
  using Hit = std::variant<ChevronDirection, LongDeckSlide::Element>;

  struct Options {
    ShareSheetFactory shareSheet;  // empty: no sheet opens (the shell hands in ShareSheetView's)
    Clock clock;                   // empty: the monotonic clock
  };

  MurmelaDeckResultsView(WrappedReport report, DeckHost host, QWidget* parent = nullptr);
  MurmelaDeckResultsView(WrappedReport report, DeckHost host, Options options, QWidget* parent = nullptr);
  ~MurmelaDeckResultsView() override;

  const WrappedReport& report() const { return report_; }
  int currentSlide() const { return currentSlide_; }
  void goNext();
  void goPrev();

  ShareSheetPresenter& sharePresenter() { return sharePresenter_; }
  ToastManager& toast() { return toast_; }
  // The share sheet on screen (also while it fades out), if any.
  QWidget* shareSheet() const { return sheet_.data(); }
  ToastOverlay* toastOverlay() const { return toastOverlay_; }

  std::optional<Hit> hitAt(QPointF point) const;
  const std::optional<Hit>& hovered() const { return hovered_; }
  // The buttons on screen now, in Tab order: the chevrons that are shown,
  // then the slide's own buttons (while it stands still).
  // The deck's buttons; a slide's own only once slides stand still, unless `whileMoving`.
  QList<ButtonTarget> buttonTargets(bool whileMoving);
  ButtonHost& buttonHost() const { return *buttons_; }
  PaintedReader& reader() const { return *reader_; }
  // What a screen reader calls a button.
  static QString buttonName(const Hit& hit);
  // "Slide 3 of 14"; and what is said when a slide comes: that, then its title.
  QString slidePosition() const;
  QString slideAnnouncement() const;
  // What a screen reader reads of the deck: the slide's place, then the slide.
  QList<ShownText> shownTexts() const;
  // How far a chevron is in its hover look now (0 ... 1).
  qreal chevronHover(ChevronDirection direction) const;
  const DeckSlideStack& slideStack() const { return slides_; }
  bool isAnimating() const;

  // The chevron of a side as it is now: disabled at the ends of the deck.
  DeckChevron chevron(ChevronDirection direction) const;

  // One frame of the deck's own layer: slides, then chevrons, clipped to the deck.
  struct ChevronLook {
    DeckChevron chevron;
    qreal hover = 0.0;
    bool pressed = false;
  };
  static void paintDeck(QPainter& painter, const QSizeF& size, const DeckSlideStack& slides, double now,
                        const std::array<ChevronLook, 2>& chevrons);
  // The picture of a slide in a look, at a device pixel ratio.
  static QImage slideImage(const LongDeckSlide& slide, const LongDeckSlide::Interaction& interaction, qreal scale);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct HoverLook {
    bool on = false;
    qreal from = 0.0;
    Transition transition;
    qreal amount(double now) const;
  };

  LongDeckSlide slide() const;
  LongDeckSlide::Interaction slideInteraction() const;
  QImage currentImage() const;
  void moveTo(int index);
  void followButtons();
  void setHovered(std::optional<Hit> hit);
  void setPressed(std::optional<Hit> hit);
  void refreshCurrentImage();
  void activate(const Hit& hit);
  void frame();

  void followPresenter();
  void openSheet(const SlideShareContext& context);
  void closeSheet();
  void finishSheetClose();
  void takeFocusBack();
  qreal sheetOpacity(double now) const;

  WrappedReport report_;
  DeckHost host_;
  ShareSheetFactory sheetFactory_;
  Clock clock_;
  int currentSlide_ = 0;
  DeckSlideStack slides_;
  std::optional<Hit> hovered_;
  std::optional<Hit> pressed_;
  std::array<HoverLook, 2> chevronHover_;
  ButtonHost* buttons_ = nullptr;
  PaintedReader* reader_ = nullptr;
  bool slidesMoving_ = false;  // as the last frame saw them

  ToastManager toast_;
  ShareSheetPresenter sharePresenter_;
  QWidget* overlay_ = nullptr;  // the one layer above the slide: the sheet, then the toasts
  ToastOverlay* toastOverlay_ = nullptr;
  QPointer<QWidget> sheet_;
  QGraphicsOpacityEffect* sheetEffect_ = nullptr;
  bool sheetClosing_ = false;
  std::optional<int> sheetOpener_;  // the button that opened the sheet from the keyboard
  Transition sheetFade_;
  FrameTicker ticker_;
};

}  // namespace murmela
