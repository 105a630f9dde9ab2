#include "sheets/HybridSetupErrorSheet.h"

#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/layout/ButtonRow.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "sheets/ScrollingPlainText.h"
#include "sheets/SheetCloseButton.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

const QString kTitle = QStringLiteral("Privacy setup hit a snag");
const QString kSubtitle =
    QStringLiteral("The local runtime installed, but its smoke test failed. This detail is useful for debugging.");
const QString kUseRawCloud = QStringLiteral("Use Raw Cloud");
const QString kTryAgain = QStringLiteral("Try Again");

const TextStyle kTitleStyle{.typeface = Typeface::dmSerifDisplay, .size = 28, .color = MurmelaTheme::ink};
const TextStyle kSubtitleStyle{
    .typeface = Typeface::inter, .size = 12, .color = MurmelaTheme::inkSoft, .lineSpacing = 3};

const MurmelaGhostButtonStyle kGhost{};
const MurmelaPrimaryButtonStyle kPrimary{};

}  // namespace

HybridSetupErrorSheet::HybridSetupErrorSheet(const QString& error, QWidget* parent) : OnboardingSheet(kWidth, parent) {
  setWindowTitle(kTitle);
  detail_ = new ScrollingPlainText(monospacedFont(kDetailFontSize), MurmelaTheme::ink, kDetailPadding - 1.0, this);
  setError(error);
  buttonHost().setDefaultButton(tryAgainButton);
}

void HybridSetupErrorSheet::setError(const QString& error) {
  error_ = error;
  detail_->setPlainText(error);
  const Layout geometry = layout();
  detail_->setGeometry(geometry.detailBox.adjusted(1.0, 1.0, -1.0, -1.0).toAlignedRect());
  setContentHeight(geometry.height);
  contentChanged();
}

HybridSetupErrorSheet::Layout HybridSetupErrorSheet::layout() const {
  Layout result;
  const qreal contentWidth = kWidth - 2.0 * kPadding;
  result.close = SheetCloseButton::rectAt(QPointF(kWidth - kPadding - SheetCloseButton::kDiameter, kPadding));
  const qreal columnWidth = contentWidth - SheetCloseButton::kDiameter - kHeaderGap;
  result.title = layoutText(kTitle, kTitleStyle, columnWidth);
  result.subtitle = layoutText(kSubtitle, kSubtitleStyle, columnWidth);
  result.titleRect = QRectF(QPointF(kPadding, kPadding), result.title.size);
  result.subtitleRect = QRectF(QPointF(kPadding, result.titleRect.bottom() + kHeaderSpacing), result.subtitle.size);
  const qreal headerBottom = std::max(result.subtitleRect.bottom(), result.close.bottom());

  result.detailBox = QRectF(kPadding, headerBottom + kSpacing, contentWidth, kDetailHeight);
  const ButtonRow row = ButtonRow::place(kGhost.size(kUseRawCloud), kPrimary.size(kTryAgain), kPadding,
                                         kWidth - kPadding, result.detailBox.bottom() + kSpacing);
  result.useRawCloud = row.leading;
  result.tryAgain = row.trailing;
  result.height = row.bounds.bottom() + kPadding;
  return result;
}

void HybridSetupErrorSheet::paintContent(QPainter& painter) const {
  const Layout geometry = layout();
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  geometry.title.draw(painter, geometry.titleRect.topLeft());
  geometry.subtitle.draw(painter, geometry.subtitleRect.topLeft());
  SheetCloseButton::paint(painter, geometry.close, buttonState(closeButton), showsFocus(closeButton));

  const QPainterPath box = roundedRectPath(geometry.detailBox, kDetailRadius);
  painter.fillPath(box, MurmelaTheme::creamDeep);
  painter.strokePath(roundedRectPath(geometry.detailBox.adjusted(0.5, 0.5, -0.5, -0.5), kDetailRadius),
                     QPen(withOpacity(MurmelaTheme::rose, 0.28), 1.0));

  kGhost.paint(painter, geometry.useRawCloud, kUseRawCloud, buttonState(useRawCloudButton),
               showsFocus(useRawCloudButton));
  kPrimary.paint(painter, geometry.tryAgain, kTryAgain, buttonState(tryAgainButton), showsFocus(tryAgainButton));
}

QList<ButtonTarget> HybridSetupErrorSheet::buttonTargets() const {
  const Layout geometry = layout();
  auto* self = const_cast<HybridSetupErrorSheet*>(this);
  return {
      {.id = closeButton,
       .rect = geometry.close,
       .shape = SheetCloseButton::shape(geometry.close),
       .action = [self] { self->reject(); },
       .name = SheetCloseButton::kName},
      {.id = useRawCloudButton,
       .rect = geometry.useRawCloud,
       .action =
           [self] {
             self->accept();
             Q_EMIT self->useRawCloudChosen();
           },
       .name = kUseRawCloud},
      {.id = tryAgainButton,
       .rect = geometry.tryAgain,
       .action =
           [self] {
             self->accept();
             Q_EMIT self->tryAgainChosen();
           },
       .name = kTryAgain},
  };
}

QList<ShownText> HybridSetupErrorSheet::shownTexts() const {
  const Layout geometry = layout();
  return {shownText(geometry.title, geometry.titleRect, true), shownText(geometry.subtitle, geometry.subtitleRect)};
}

}  // namespace murmela
