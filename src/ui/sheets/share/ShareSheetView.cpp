#include "sheets/share/ShareSheetView.h"

#include "kit/overlay/ToastManager.h"
#include "kit/paint/Shapes.h"
#include "sharing/HandoffUrls.h"
#include "sharing/ShareController.h"
#include "sheets/share/ShareSheetReading.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>

namespace murmela {
namespace {

// Said (not shown) when a link goes on the clipboard: the page shows no toast for it.
const QString kLinkCopied = QStringLiteral("Link copied");
constexpr qreal kWheelPointsPerNotch = 40.0;
constexpr int kIdsPerElement = 100;  // a target's id: its element's, then its index

}  // namespace

ShareSheetView::ShareSheetView(SlideShareContext context, ToastManager& toast, DismissHandler onDismiss,
                               SelectHandler onSelect, QWidget* parent, Environment environment)
    : QWidget(parent),
      context_(std::move(context)),
      toast_(&toast),
      onDismiss_(std::move(onDismiss)),
      onSelect_(std::move(onSelect)),
      environment_(std::move(environment)),
      frames_([this] { return isMoving(); }, [this] { tick(); }, this) {
  setAttribute(Qt::WA_NoSystemBackground);
  buttons_ = new ButtonHost(this, [this] { return buttonTargets(); });
  buttons_->setKeepsFocus(true);
  reader_ = new PaintedReader(this, buttons_);
  reader_->setTexts([this] { return shownTexts(); });
  reader_->setRole(QAccessible::Dialog);
  setAccessibleName(QStringLiteral("Share"));
  presentation_ = environment_.fadesItself
                      ? Transition::startingAt(environment_.clock(), kPresentSeconds, Easing::easeOut)
                      : Transition::instant();
  if (parent) {
    parent->installEventFilter(this);
    setGeometry(parent->rect());
    show();
    setFocus(Qt::OtherFocusReason);
  } else {
    resize(390, 780);
  }
  animate();
}

QString ShareSheetView::headerSubtitle() const { return ShareOptionsPage::headerSubtitle(context_, state_.mode); }

qreal ShareSheetView::presentation() const {
  const qreal progress = presentation_.progress(environment_.clock());
  return closing_ ? 1.0 - progress : progress;
}

qreal ShareSheetView::currentSocialOffset() const {
  const qreal progress = scroll_.progress(environment_.clock());
  return scrollFrom_ + (state_.socialOffset - scrollFrom_) * progress;
}

ShareSheetLayout ShareSheetView::sheetLayout() const {
  ShareSheetState shown = state_;
  shown.socialOffset = currentSocialOffset();
  return layoutShareSheet(context_, shown, size(), environment_.now());
}

ShareSheetFactory ShareSheetView::factory(ShareSheetEnvironment environment) {
  environment.fadesItself = false;
  return [environment](const ShareSheetRequest& request, QWidget* parent) -> QWidget* {
    if (!request.toast) return nullptr;
    const ShareServices services = environment.services;
    const auto select = request.select;
    return new ShareSheetView(
        request.context, *request.toast, request.dismiss,
        [select, services](ShareDestination destination, ShareMode mode) {
          if (!select) return;
          select([services, destination, mode](const SlideShareContext& context, ToastManager& toast) {
            ShareController(context.report, context.slideIndex, toast, services).perform(destination, mode);
          });
        },
        parent, environment);
  };
}

void ShareSheetView::closeAnimated() {
  if (closing_) return;
  closing_ = true;
  const double now = environment_.clock();
  if (!environment_.fadesItself) {
    presentation_ = Transition::instant();
    animate();
    return;
  }
  // Fades out from wherever the fade in had got to.
  const qreal shown = presentation_.progress(now);
  presentation_ = Transition::startingAt(now - kPresentSeconds * (1.0 - shown), kPresentSeconds, Easing::easeOut);
  animate();
}

void ShareSheetView::animate() {
  frames_.kick();
  reader_->contentChanged();
}

void ShareSheetView::changed() {
  update();
  reader_->contentChanged();
}

bool ShareSheetView::isMoving() const {
  return isVisible() && (closing_ || isAnimating() || (state_.isGeneratingLink && Motion::enabled()));
}

bool ShareSheetView::isAnimating() const {
  const double now = environment_.clock();
  return !presentation_.finished(now) || !page_.finished(now) || !scroll_.finished(now);
}

void ShareSheetView::tick() {
  if (closing_ && presentation_.finished(environment_.clock())) {
    hide();
    Q_EMIT closed();
    deleteLater();
    return;
  }
  update();
  // Readers meet a page where it comes to rest.
  if (!isMoving()) reader_->contentChanged();
}

int ShareSheetView::idOf(const SheetTarget& target) {
  return static_cast<int>(target.element) * kIdsPerElement + target.index + 1;
}

SheetTarget ShareSheetView::targetOf(int id) {
  return {static_cast<SheetElement>(id / kIdsPerElement), id % kIdsPerElement - 1};
}

QList<ButtonTarget> ShareSheetView::buttonTargets() const {
  if (closing_) return {};
  const ShareSheetLayout layout = sheetLayout();
  auto* self = const_cast<ShareSheetView*>(this);
  const auto make = [&](const SheetTargetRect& placed) {
    ButtonTarget target = readerTarget(layout, state_, placed);
    target.id = idOf(placed.target);
    target.action = [self, at = placed.target] { self->activate(at); };
    return target;
  };
  QList<ButtonTarget> targets;
  // First, so that everything on the card answers before it: with the menu
  // open a click anywhere but on its rows only closes it; else a click
  // outside the card dismisses the sheet.
  ButtonTarget outside = make({{SheetElement::backdrop}, layout.bounds});
  outside.focusable = false;
  if (layout.menu) {
    outside.name = QStringLiteral("Close menu");
    outside.action = [self] {
      self->state_.shareMenuOpen = false;
      self->changed();
    };
  } else {
    QPainterPath beside;
    beside.addRect(layout.bounds);
    outside.shape = beside.subtracted(roundedRectPath(layout.card, ShareSheetLayout::kCardRadius));
  }
  targets.append(outside);
  for (const SheetTargetRect& placed : layout.targets) {
    ButtonTarget target = make(placed);
    // The row's tiles show (and take clicks) only inside it, under its chevrons.
    if (placed.target.element == SheetElement::tile && layout.options) {
      const SocialScrollRow::Layout& row = layout.options->social;
      QPainterPath shown;
      shown.addRect(placed.rect.intersected(row.frame));
      QPainterPath chevrons;
      chevrons.addRect(row.leftChevron);
      chevrons.addRect(row.rightChevron);
      target.shape = shown.subtracted(chevrons);
      if (target.shape.isEmpty()) target.shape.addRect(QRectF(placed.rect.topLeft(), QSizeF(0.0, 0.0)));
    }
    targets.append(target);
  }
  return targets;
}

QList<ShownText> ShareSheetView::shownTexts() const { return shownSheetTexts(sheetLayout()); }

SheetInteraction ShareSheetView::interaction() const {
  const auto sheetTarget = [](std::optional<int> id) -> std::optional<SheetTarget> {
    if (!id) return std::nullopt;
    const SheetTarget target = targetOf(*id);
    return target.element == SheetElement::backdrop ? std::nullopt : std::optional<SheetTarget>(target);
  };
  const std::optional<int> focused = buttons_->focused();
  return {.hovered = sheetTarget(buttons_->hovered()),
          .pressed = sheetTarget(buttons_->pressed()),
          .focused = focused && buttons_->showsFocus(*focused) ? sheetTarget(focused) : std::nullopt};
}

void ShareSheetView::keepKeyboardOn(const SheetTarget& target) {
  const std::optional<int> focused = buttons_->focused();
  if (focused && buttons_->showsFocus(*focused)) buttons_->focusButton(idOf(target));
}

void ShareSheetView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const double now = environment_.clock();
  const qreal spinnerTurn = Motion::enabled() ? std::fmod(now, 1.0) : 0.0;
  paintShareSheet(painter, sheetLayout(), state_, interaction(), presentation(), page_.progress(now), spinnerTurn);
}

void ShareSheetView::scrollError(qreal by) {
  const ShareSheetLayout layout = sheetLayout();
  if (!layout.options || !layout.options->generateLink) return;
  const qreal range = layout.options->generateLink->errorScrollRange;
  if (range <= 0.0) return;
  state_.errorScroll = std::clamp(std::clamp(state_.errorScroll, 0.0, range) + by, 0.0, range);
  changed();
}

void ShareSheetView::wheelEvent(QWheelEvent* event) {
  const ShareSheetLayout layout = sheetLayout();
  if (closing_ || !layout.options) return;
  if (layout.options->generateLink && layout.options->generateLink->errorBox.contains(event->position())) {
    const QPoint pixels = event->pixelDelta();
    scrollError(pixels.isNull() ? -event->angleDelta().y() / 120.0 * kWheelPointsPerNotch : -pixels.y());
    event->accept();
    return;
  }
  if (!layout.options->social.frame.contains(event->position())) return;
  // Scrolling by hand moves the row but not the chevrons' focus.
  const QPoint pixels = event->pixelDelta();
  const QPoint angle = event->angleDelta();
  qreal delta = 0.0;
  if (!pixels.isNull()) {
    delta = pixels.x() != 0 ? pixels.x() : pixels.y();
  } else {
    delta = (angle.x() != 0 ? angle.x() : angle.y()) / 120.0 * kWheelPointsPerNotch;
  }
  const SocialScrollRow row{ShareOptionsPage::socials()};
  state_.socialOffset =
      std::clamp(currentSocialOffset() - delta, 0.0, row.maxOffset(layout.options->social.frame.width()));
  scroll_ = Transition::instant();
  event->accept();
  changed();
}

void ShareSheetView::keyPressEvent(QKeyEvent* event) {
  if (closing_) return;
  switch (event->key()) {
    case Qt::Key_Escape:
      if (state_.shareMenuOpen) {
        state_.shareMenuOpen = false;
        keepKeyboardOn(SheetTarget{SheetElement::shareLink});
        changed();
      } else {
        dismiss();
      }
      return;
    // On the page tabs the arrows stay among them; elsewhere they go as Tab does.
    case Qt::Key_Left:
    case Qt::Key_Up:
      if (!buttons_->moveFocusAlongTabs(false)) buttons_->moveFocus(false);
      return;
    case Qt::Key_Right:
    case Qt::Key_Down:
      if (!buttons_->moveFocusAlongTabs(true)) buttons_->moveFocus(true);
      return;
    // A failure longer than its box scrolls by the page.
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const ShareSheetLayout layout = sheetLayout();
      if (layout.options && layout.options->generateLink) {
        const qreal page = layout.options->generateLink->errorBox.height();
        scrollError(event->key() == Qt::Key_PageDown ? page : -page);
      }
      return;
    }
    default:
      QWidget::keyPressEvent(event);
  }
}

bool ShareSheetView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

void ShareSheetView::dismiss() {
  if (closing_) return;
  if (onDismiss_) {
    onDismiss_();
  } else {
    closeAnimated();
  }
}

void ShareSheetView::activate(const SheetTarget& target) {
  if (closing_) return;
  switch (target.element) {
    case SheetElement::backdrop:
    case SheetElement::close:
      dismiss();
      return;
    case SheetElement::back:
      state_.generationError.reset();
      setPage(std::nullopt, kBackSeconds);
      return;
    case SheetElement::modeThisSlide:
    case SheetElement::modeSlideshow: {
      const ShareMode chosen =
          target.element == SheetElement::modeThisSlide ? ShareMode::thisSlide : ShareMode::slideshow;
      if (state_.mode == chosen) return;
      state_.mode = chosen;
      changed();
      sayOptions(target);
      return;
    }
    case SheetElement::chevronLeft:
      stepSocial(ScrollChevron::Direction::left);
      return;
    case SheetElement::chevronRight:
      stepSocial(ScrollChevron::Direction::right);
      return;
    case SheetElement::tile:
      selectTile(target.index);
      return;
    case SheetElement::generateLink:
      generateLink();
      return;
    case SheetElement::download:
      if (onSelect_) onSelect_(ShareDestination::downloadImage, state_.mode);
      return;
    case SheetElement::copy:
      if (onSelect_) onSelect_(ShareDestination::copyImage, state_.mode);
      return;
    case SheetElement::copyLink:
      if (state_.generatedLink && environment_.services.copyText) {
        environment_.services.copyText(state_.generatedLink->link.shareURL.toString(QUrl::FullyEncoded));
        reader_->announce(kLinkCopied);
      }
      return;
    case SheetElement::shareLink:
      state_.shareMenuOpen = !state_.shareMenuOpen;
      if (state_.shareMenuOpen) keepKeyboardOn(murmela::targetOf(LinkShareMenu::Item::copyLink));
      break;
    case SheetElement::menuCopyLink:
    case SheetElement::menuOpenInBrowser:
    case SheetElement::menuEmailLink:
      activateMenu(*menuItemOf(target));
      return;
  }
  changed();
}

// A tab that is chosen changes the options below it, out of a reader's
// sight: the reader hears the tab and what it now offers.
void ShareSheetView::sayOptions(const SheetTarget& tab) {
  QStringList offered;
  bool pastTabs = false;
  for (const ButtonTarget& target : buttonTargets()) {
    const SheetElement element = targetOf(target.id).element;
    if (element == SheetElement::modeThisSlide || element == SheetElement::modeSlideshow) {
      pastTabs = true;
      continue;
    }
    const bool chevron = element == SheetElement::chevronLeft || element == SheetElement::chevronRight;
    if (pastTabs && !chevron && target.focusable && target.enabled) offered.append(target.name);
  }
  if (const std::optional<ButtonTarget> chosen = buttons_->target(idOf(tab)))
    reader_->announce(chosen->name + QStringLiteral(": ") + offered.join(QStringLiteral(", ")));
}

void ShareSheetView::activateMenu(LinkShareMenu::Item item) {
  state_.shareMenuOpen = false;
  keepKeyboardOn(SheetTarget{SheetElement::shareLink});
  changed();
  if (!state_.generatedLink) return;
  const QUrl url = state_.generatedLink->link.shareURL;
  const ShareServices& services = environment_.services;
  const auto copy = [&] {
    if (!services.copyText) return;
    services.copyText(url.toString(QUrl::FullyEncoded));
    reader_->announce(kLinkCopied);
  };
  switch (item) {
    case LinkShareMenu::Item::copyLink:
      copy();
      return;
    case LinkShareMenu::Item::openInBrowser:
      // Nothing opened it: the link waits on the clipboard instead.
      if (!services.openUrl || !services.openUrl(url)) copy();
      return;
    case LinkShareMenu::Item::emailLink: {
      const std::optional<QUrl> mail = HandoffUrls::emailUrl(url);
      if (!mail || !services.openUrl || !services.openUrl(*mail)) copy();
      return;
    }
  }
}

void ShareSheetView::stepSocial(ScrollChevron::Direction direction) {
  const SocialScrollRow row{ShareOptionsPage::socials()};
  state_.focusedSocial = SocialScrollRow::steppedIndex(state_.focusedSocial, direction, row.socials.size());
  scrollFrom_ = currentSocialOffset();
  state_.socialOffset = row.offsetShowing(state_.focusedSocial, direction, width() - 2 * ShareSheetLayout::kCardInset);
  scroll_ = Transition::startingAt(environment_.clock(), SocialScrollRow::kScrollSeconds, Easing::easeOut);
  animate();
}

}  // namespace murmela
