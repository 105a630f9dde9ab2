#include "deck/MurmelaDeckResultsView.h"

#include "deck/SlideReading.h"
#include "kit/overlay/ToastOverlay.h"
#include "kit/paint/PainterState.h"
#include "theme/MurmelaTheme.h"

#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace murmela {
namespace {

size_t sideIndex(ChevronDirection direction) { return direction == ChevronDirection::left ? 0 : 1; }

constexpr std::array<ChevronDirection, 2> kSides = {ChevronDirection::left, ChevronDirection::right};

const LongDeckSlide::Element* slideElement(const std::optional<MurmelaDeckResultsView::Hit>& hit) {
  return hit ? std::get_if<LongDeckSlide::Element>(&*hit) : nullptr;
}

// The buttons' ids on the ButtonHost: the chevrons, then the slide's elements.
constexpr int kFirstElementId = 2;

// The deck has one Share for the ring and for readers: the footer's, and on
// the closing slide (whose footer has none) the closer's. Turning onto the
// closer leaves the ring on Share, with nothing new to tell.
int buttonId(const MurmelaDeckResultsView::Hit& hit) {
  if (const ChevronDirection* side = std::get_if<ChevronDirection>(&hit)) return static_cast<int>(sideIndex(*side));
  LongDeckSlide::Element element = std::get<LongDeckSlide::Element>(hit);
  if (element == LongDeckSlide::Element::closerShare) element = LongDeckSlide::Element::footerShare;
  return kFirstElementId + static_cast<int>(element);
}

std::optional<MurmelaDeckResultsView::Hit> hitOf(std::optional<int> id, const LongDeckSlide& slide) {
  if (!id) return std::nullopt;
  if (*id < kFirstElementId) return MurmelaDeckResultsView::Hit(kSides[static_cast<size_t>(*id)]);
  const auto element = static_cast<LongDeckSlide::Element>(*id - kFirstElementId);
  if (element == LongDeckSlide::Element::footerShare)
    for (const LongDeckSlide::Button& button : slide.buttons())
      if (button.element == LongDeckSlide::Element::closerShare) return MurmelaDeckResultsView::Hit(button.element);
  return MurmelaDeckResultsView::Hit(element);
}

// The ring of a chevron stands inside its square, so that the deck's edge never cuts it.
constexpr qreal kChevronRingInset = 4.0;
constexpr qreal kChevronRingRadius = 4.0;

}  // namespace

qreal MurmelaDeckResultsView::HoverLook::amount(double now) const {
  const qreal target = on ? 1.0 : 0.0;
  return from + (target - from) * transition.progress(now);
}

MurmelaDeckResultsView::MurmelaDeckResultsView(WrappedReport report, DeckHost host, QWidget* parent)
    : MurmelaDeckResultsView(std::move(report), std::move(host), Options{}, parent) {}

MurmelaDeckResultsView::MurmelaDeckResultsView(WrappedReport report, DeckHost host, Options options, QWidget* parent)
    : QWidget(parent),
      report_(std::move(report)),
      host_(std::move(host)),
      sheetFactory_(std::move(options.shareSheet)),
      clock_(options.clock ? std::move(options.clock) : Clock(&monotonicSeconds)),
      ticker_([this] { return isAnimating(); }, [this] { frame(); }, this) {
  setFixedSize(kSize);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);

  overlay_ = new QWidget(this);
  overlay_->setGeometry(rect());
  overlay_->setAttribute(Qt::WA_TransparentForMouseEvents);
  overlay_->setAttribute(Qt::WA_NoSystemBackground);
  toastOverlay_ = new ToastOverlay(toast_, clock_, overlay_);
  toastOverlay_->setGeometry(overlay_->rect());
  buttons_ = new ButtonHost(this, [this] { return buttonTargets(false); });
  // A slide's buttons take no clicks while slides move, but the ring on one
  // stays there, and readers keep meeting them.
  buttons_->setFocusFallback([this](int vanished) -> std::optional<int> {
    if (vanished >= kFirstElementId && slides_.isAnimating(clock_())) return vanished;
    return std::nullopt;
  });
  reader_ = new PaintedReader(this, buttons_);
  reader_->setButtons([this] { return buttonTargets(true); });
  reader_->setTexts([this] { return shownTexts(); });

  connect(&sharePresenter_, &ShareSheetPresenter::pendingChanged, this, &MurmelaDeckResultsView::followPresenter);
  slides_.show(currentSlide_, currentImage(), clock_());
}

MurmelaDeckResultsView::~MurmelaDeckResultsView() = default;

LongDeckSlide MurmelaDeckResultsView::slide() const {
  return LongDeckSlide{report_, currentSlide_, true, host_.contactHandle ? host_.contactHandle() : std::nullopt};
}

LongDeckSlide::Interaction MurmelaDeckResultsView::slideInteraction() const {
  LongDeckSlide::Interaction interaction;
  if (const LongDeckSlide::Element* element = slideElement(hovered_)) interaction.hovered = *element;
  if (const LongDeckSlide::Element* element = slideElement(pressed_)) interaction.pressed = *element;
  return interaction;
}

QImage MurmelaDeckResultsView::slideImage(const LongDeckSlide& slide, const LongDeckSlide::Interaction& interaction,
                                          qreal scale) {
  QImage image((QSizeF(kSize) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  slide.paint(painter, interaction);
  return image;
}

QImage MurmelaDeckResultsView::currentImage() const {
  return slideImage(slide(), slideInteraction(), devicePixelRatioF());
}

void MurmelaDeckResultsView::goNext() {
  if (currentSlide_ < kTotalSlides - 1) moveTo(currentSlide_ + 1);
}

void MurmelaDeckResultsView::goPrev() {
  if (currentSlide_ >= 1) moveTo(currentSlide_ - 1);
}

void MurmelaDeckResultsView::moveTo(int index) {
  currentSlide_ = index;
  // The slide's own buttons are not under the pointer while slides move.
  if (slideElement(hovered_)) hovered_.reset();
  if (slideElement(pressed_)) pressed_.reset();
  slides_.show(index, currentImage(), clock_());
  slidesMoving_ = true;
  ticker_.kick();
  reader_->announce(slideAnnouncement());
}

DeckChevron MurmelaDeckResultsView::chevron(ChevronDirection direction) const {
  const bool disabled = direction == ChevronDirection::left ? currentSlide_ == 0 : currentSlide_ == kTotalSlides - 1;
  return DeckChevron{direction, disabled};
}

std::optional<MurmelaDeckResultsView::Hit> MurmelaDeckResultsView::hitAt(QPointF point) const {
  for (ChevronDirection side : kSides) {
    if (chevron(side).hits(QSizeF(kSize), point)) return Hit(side);
  }
  if (slides_.isAnimating(clock_())) return std::nullopt;
  if (const std::optional<LongDeckSlide::Element> element = slide().hitTest(point)) return Hit(*element);
  return std::nullopt;
}

QList<ButtonTarget> MurmelaDeckResultsView::buttonTargets(bool whileMoving) {
  QList<ButtonTarget> result;
  const auto add = [&](const Hit& hit, const QRectF& rect) {
    ButtonTarget target;
    target.id = buttonId(hit);
    target.rect = rect;
    target.action = [this, hit] { activate(hit); };
    target.name = buttonName(hit);
    result.append(std::move(target));
  };
  if (whileMoving || !slides_.isAnimating(clock_())) {
    for (const LongDeckSlide::Button& button : slide().buttons()) add(Hit(button.element), button.rect);
  }
  // The chevrons last: they stand beside the slide, and a reader meets them
  // after its content (readers take the buttons in this order), not between
  // its figures.
  for (ChevronDirection side : kSides) {
    const DeckChevron shown = chevron(side);
    if (!shown.disabled) add(Hit(side), shown.frame(QSizeF(kSize)));
  }
  return result;
}

QString MurmelaDeckResultsView::buttonName(const Hit& hit) {
  if (const ChevronDirection* side = std::get_if<ChevronDirection>(&hit))
    return *side == ChevronDirection::left ? QStringLiteral("Previous slide") : QStringLiteral("Next slide");
  return std::get<LongDeckSlide::Element>(hit) == LongDeckSlide::Element::closerDone ? QStringLiteral("Done")
                                                                                     : QStringLiteral("Share");
}

QString MurmelaDeckResultsView::slidePosition() const {
  return QStringLiteral("Slide %1 of %2").arg(currentSlide_ + 1).arg(kTotalSlides);
}

QString MurmelaDeckResultsView::slideAnnouncement() const {
  QString announcement = slidePosition();
  const QList<ShownText> reading = slideReading(slide());
  if (!reading.isEmpty()) announcement += QStringLiteral(". ") + reading.first().text;
  return announcement;
}

QList<ShownText> MurmelaDeckResultsView::shownTexts() const {
  const LongDeckSlide shown = slide();
  // The progress bar at the top says where the slide stands, then the slide reads.
  return QList<ShownText>{{.text = slidePosition(), .rect = shown.frame().layout().progressRow}} +
         slideReading(shown);
}

qreal MurmelaDeckResultsView::chevronHover(ChevronDirection direction) const {
  return chevronHover_[sideIndex(direction)].amount(clock_());
}

bool MurmelaDeckResultsView::isAnimating() const {
  const double now = clock_();
  if (slides_.isAnimating(now) || !sheetFade_.finished(now)) return true;
  for (const HoverLook& look : chevronHover_)
    if (!look.transition.finished(now)) return true;
  return false;
}

// The look follows the buttons' hover and press as the host has them; the
// slide's own buttons are not under the pointer while slides move.
void MurmelaDeckResultsView::followButtons() {
  const bool moving = slides_.isAnimating(clock_());
  const LongDeckSlide shown = slide();
  std::optional<Hit> hovered = hitOf(buttons_->hovered(), shown);
  std::optional<Hit> pressed = hitOf(buttons_->pressed(), shown);
  if (moving && slideElement(hovered)) hovered.reset();
  if (moving && slideElement(pressed)) pressed.reset();
  setHovered(hovered);
  setPressed(pressed);
}

void MurmelaDeckResultsView::setHovered(std::optional<Hit> hit) {
  if (hit == hovered_) return;
  const bool slideLookChanges = slideElement(hit) || slideElement(hovered_);
  hovered_ = hit;
  const double now = clock_();
  for (ChevronDirection side : kSides) {
    HoverLook& look = chevronHover_[sideIndex(side)];
    const bool on = hovered_ == Hit(side);
    if (on == look.on) continue;
    look.from = look.amount(now);
    look.on = on;
    look.transition = Transition::startingAt(now, DeckChevron::kHoverDuration, Easing::easeOut);
  }
  if (slideLookChanges) refreshCurrentImage();
  ticker_.kick();
}

void MurmelaDeckResultsView::setPressed(std::optional<Hit> hit) {
  if (hit == pressed_) return;
  const bool slideLookChanges = slideElement(hit) || slideElement(pressed_);
  pressed_ = hit;
  if (slideLookChanges) refreshCurrentImage();
  update();
}

void MurmelaDeckResultsView::refreshCurrentImage() {
  slides_.setCurrentImage(currentImage());
  update();
}

void MurmelaDeckResultsView::activate(const Hit& hit) {
  if (const ChevronDirection* side = std::get_if<ChevronDirection>(&hit)) {
    *side == ChevronDirection::left ? goPrev() : goNext();
    return;
  }
  slide().activate(std::get<LongDeckSlide::Element>(hit), sharePresenter_, host_.done);
}

void MurmelaDeckResultsView::frame() {
  const double now = clock_();
  slides_.settle(now);
  // The slide's buttons are back where they rest.
  if (slidesMoving_ && !slides_.isAnimating(now)) reader_->contentChanged();
  slidesMoving_ = slides_.isAnimating(now);
  if (sheetEffect_) sheetEffect_->setOpacity(sheetOpacity(now));
  if (sheetClosing_ && sheetFade_.finished(now)) finishSheetClose();
  update();
}

// ---- Painting -----------------------------------------------------------------

void MurmelaDeckResultsView::paintDeck(QPainter& painter, const QSizeF& size, const DeckSlideStack& slides, double now,
                                       const std::array<ChevronLook, 2>& chevrons) {
  const PainterStateScope scope(painter);
  const QRectF bounds(QPointF(0.0, 0.0), size);
  painter.setClipRect(bounds, Qt::IntersectClip);
  painter.fillRect(bounds, MurmelaTheme::cream);
  slides.paint(painter, now, size.width());
  for (const ChevronLook& look : chevrons) look.chevron.paint(painter, size, look.hover, look.pressed);
}

void MurmelaDeckResultsView::paintEvent(QPaintEvent*) {
  followButtons();
  const double now = clock_();
  // A window moved to a screen of another pixel ratio gets a sharp picture again.
  if (const DeckSlideStack::Layer* current = slides_.current();
      current && current->image.devicePixelRatio() != devicePixelRatioF()) {
    slides_.setCurrentImage(currentImage());
  }
  std::array<ChevronLook, 2> chevrons;
  for (ChevronDirection side : kSides) {
    chevrons[sideIndex(side)] = {chevron(side), chevronHover(side), pressed_ == Hit(side)};
  }
  QPainter painter(this);
  paintDeck(painter, QSizeF(size()), slides_, now, chevrons);
  for (const ButtonTarget& target : buttonTargets(false)) {
    if (!buttons_->showsFocus(target.id)) continue;
    QPainterPath ring;
    if (target.id < kFirstElementId) {
      const QRectF inside = target.rect.adjusted(kChevronRingInset, kChevronRingInset, -kChevronRingInset,
                                                 -kChevronRingInset);
      ring.addRoundedRect(inside, kChevronRingRadius, kChevronRingRadius);
    } else {
      ring.addRoundedRect(target.rect, target.rect.height() / 2.0, target.rect.height() / 2.0);
    }
    paintFocusRing(painter, ring);
  }
}

// ---- Keys and pointer ------------------------------------------------------------

void MurmelaDeckResultsView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      goPrev();
      event->accept();
      return;
    case Qt::Key_Right:
      goNext();
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);  // ignored: it goes on to the parent
  }
}

// The host has taken the move (or the leave) before: the look follows it at once.
void MurmelaDeckResultsView::mouseMoveEvent(QMouseEvent*) {
  followButtons();
}

void MurmelaDeckResultsView::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  followButtons();
}

void MurmelaDeckResultsView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  setFocus(Qt::OtherFocusReason);
  // The report has arrived: the focus tells its title (the heading), and
  // readers hear where in the deck it starts.
  reader_->announce(slidePosition() + QLatin1Char('.'));
}

void MurmelaDeckResultsView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  overlay_->setGeometry(rect());
  toastOverlay_->setGeometry(overlay_->rect());
  if (sheet_) sheet_->setGeometry(overlay_->rect());
}

// ---- The share sheet -------------------------------------------------------------

qreal MurmelaDeckResultsView::sheetOpacity(double now) const {
  const qreal progress = sheetFade_.progress(now);
  return sheetClosing_ ? 1.0 - progress : progress;
}

void MurmelaDeckResultsView::followPresenter() {
  const std::optional<SlideShareContext>& pending = sharePresenter_.pending();
  if (pending) {
    openSheet(*pending);
  } else if (sheet_ && !sheetClosing_) {
    closeSheet();
  }
}

void MurmelaDeckResultsView::openSheet(const SlideShareContext& context) {
  const std::optional<int> focused = buttons_->focused();
  sheetOpener_ = focused && buttons_->showsFocus(*focused) ? focused : std::nullopt;
  if (sheet_) finishSheetClose();  // a new request replaces the sheet at once
  ShareSheetRequest request;
  request.context = context;
  request.toast = &toast_;
  QPointer<MurmelaDeckResultsView> self(this);
  request.dismiss = [self] {
    if (self) self->sharePresenter_.setPending(std::nullopt);
  };
  request.select = [self, context](const ShareSheetRequest::Action& action) {
    if (!self) return;
    // The sheet goes and the keyboard comes back before the action runs, so
    // its toast is the last thing a screen reader is told (a focus move
    // after it would cut it off).
    self->sharePresenter_.setPending(std::nullopt);
    if (self && action) action(context, self->toast_);
  };
  QWidget* sheet = sheetFactory_ ? sheetFactory_(request, overlay_) : nullptr;
  if (!sheet) return;
  sheet_ = sheet;
  sheet->setGeometry(overlay_->rect());
  sheetEffect_ = new QGraphicsOpacityEffect(sheet);
  sheet->setGraphicsEffect(sheetEffect_);
  sheetClosing_ = false;
  sheetFade_ = Transition::startingAt(clock_(), kSheetFadeDuration, Easing::easeOut);
  sheetEffect_->setOpacity(sheetOpacity(clock_()));
  overlay_->setAttribute(Qt::WA_TransparentForMouseEvents, false);
  sheet->show();
  toastOverlay_->raise();  // toasts stay above the sheet
  setHovered(std::nullopt);
  setPressed(std::nullopt);
  if (sheet->focusPolicy() != Qt::NoFocus) sheet->setFocus(Qt::OtherFocusReason);
  ticker_.kick();
}

void MurmelaDeckResultsView::closeSheet() {
  sheetClosing_ = true;
  sheetFade_ = Transition::startingAt(clock_(), kSheetFadeDuration, Easing::easeOut);
  overlay_->setAttribute(Qt::WA_TransparentForMouseEvents);  // the deck answers again while it fades
  takeFocusBack();
  if (sheetFade_.finished(clock_())) {
    finishSheetClose();
  } else {
    ticker_.kick();
  }
}

void MurmelaDeckResultsView::finishSheetClose() {
  sheetClosing_ = false;
  sheetEffect_ = nullptr;
  if (QWidget* sheet = sheet_.data()) {
    sheet_.clear();
    sheet->hide();
    sheet->deleteLater();  // its own click may have closed it
  }
  overlay_->setAttribute(Qt::WA_TransparentForMouseEvents);
  // The keyboard came back as the fade began; moving it again would speak
  // the button once more over whatever was said since.
  if (!hasFocus()) takeFocusBack();
  update();
}

// The keyboard comes back to the deck, with the ring on the button that
// opened the sheet when the keyboard opened it.
void MurmelaDeckResultsView::takeFocusBack() {
  if (!sheetOpener_ || !buttons_->focusButton(*sheetOpener_)) setFocus(Qt::OtherFocusReason);
}

}  // namespace murmela
