#include "sheets/ConfirmContactNameSheet.h"

#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/controls/PlainTextField.h"
#include "kit/layout/ButtonRow.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "sheets/SheetCloseButton.h"
#include "theme/FontFactory.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

const QString kTitle = QStringLiteral("What should we call them?");
const QString kCancel = QStringLiteral("Cancel");
const QString kStart = QStringLiteral("Start wrapping \u2192");

const TextStyle kTitleStyle{.typeface = Typeface::dmSerifDisplay, .size = 26, .color = MurmelaTheme::ink};
const TextStyle kExplanationStyle{
    .typeface = Typeface::inter, .size = 12, .color = MurmelaTheme::inkSoft, .lineSpacing = 3};

const MurmelaGhostButtonStyle kGhost{};
const MurmelaPrimaryButtonStyle kPrimary{};

QFont fieldFont() { return FontFactory::font(Typeface::dmSerifDisplay, ConfirmContactNameSheet::kFieldFontSize); }

}  // namespace

QString ConfirmContactNameSheet::explanation(const QString& originalName) {
  return QStringLiteral("We found ") + originalName +
         QStringLiteral(" in Contacts. Murmela works better with the name you actually use.");
}

ConfirmContactNameSheet::ConfirmContactNameSheet(const QString& originalName, const QString& finalizedName,
                                                 QWidget* parent)
    : OnboardingSheet(kWidth, parent), originalName_(originalName) {
  setWindowTitle(kTitle);
  field_ = new PlainTextField(fieldFont(), MurmelaTheme::ink, QStringLiteral("Name"), this);
  field_->setText(finalizedName);
  connect(field_, &QLineEdit::textEdited, this, &ConfirmContactNameSheet::nameEdited);
  const Layout geometry = layout();
  field_->setAccessibleName(QStringLiteral("Name"));
  // Its own description, not the placeholder (which is its name again).
  field_->setAccessibleDescription(explanation(originalName));
  field_->setGeometry(geometry.field.toAlignedRect());
  setContentHeight(geometry.height);
  // No default button: Return in the field only ends the edit (the field
  // leaves the key to the sheet, which then has nothing to run). Starting a
  // run uploads the conversation, so it takes "Start wrapping →" itself,
  // reached with Tab.
}

void ConfirmContactNameSheet::present() {
  OnboardingSheet::present();
  field_->setFocus(Qt::OtherFocusReason);
}

ConfirmContactNameSheet::Layout ConfirmContactNameSheet::layout() const {
  Layout result;
  const qreal contentWidth = kWidth - 2.0 * kPadding;
  result.close = SheetCloseButton::rectAt(QPointF(kWidth - kPadding - SheetCloseButton::kDiameter, kPadding));
  const qreal columnWidth = contentWidth - SheetCloseButton::kDiameter - kHeaderGap;
  result.title = layoutText(kTitle, kTitleStyle, columnWidth);
  result.explanation = layoutText(explanation(originalName_), kExplanationStyle, columnWidth, kExplanationLines);
  result.titleRect = QRectF(QPointF(kPadding, kPadding), result.title.size);
  result.explanationRect =
      QRectF(QPointF(kPadding, result.titleRect.bottom() + kHeaderSpacing), result.explanation.size);
  const qreal headerBottom = std::max(result.explanationRect.bottom(), result.close.bottom());

  const qreal fieldHeight = PlainTextField::lineHeight(fieldFont());
  result.fieldBox = QRectF(kPadding, headerBottom + kSpacing, contentWidth, fieldHeight + 2.0 * kFieldVerticalPadding);
  result.field = result.fieldBox.adjusted(kFieldHorizontalPadding, kFieldVerticalPadding, -kFieldHorizontalPadding,
                                          -kFieldVerticalPadding);
  const ButtonRow row = ButtonRow::place(kGhost.size(kCancel), kPrimary.size(kStart), kPadding, kWidth - kPadding,
                                         result.fieldBox.bottom() + kSpacing);
  result.cancel = row.leading;
  result.start = row.trailing;
  result.height = row.bounds.bottom() + kPadding;
  return result;
}

void ConfirmContactNameSheet::paintContent(QPainter& painter) const {
  const Layout geometry = layout();
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  geometry.title.draw(painter, geometry.titleRect.topLeft());
  geometry.explanation.draw(painter, geometry.explanationRect.topLeft());
  SheetCloseButton::paint(painter, geometry.close, buttonState(closeButton), showsFocus(closeButton));
  painter.fillPath(roundedRectPath(geometry.fieldBox, kFieldRadius), MurmelaTheme::creamDeep);
  painter.strokePath(roundedRectPath(geometry.fieldBox.adjusted(0.5, 0.5, -0.5, -0.5), kFieldRadius),
                     QPen(withOpacity(MurmelaTheme::sageDeep, 0.24), 1.0));
  field_->paintFocusRing(painter, roundedRectPath(geometry.fieldBox, kFieldRadius));
  kGhost.paint(painter, geometry.cancel, kCancel, buttonState(cancelButton), showsFocus(cancelButton));
  kPrimary.paint(painter, geometry.start, kStart, buttonState(startButton), showsFocus(startButton));
}

QList<ButtonTarget> ConfirmContactNameSheet::buttonTargets() const {
  const Layout geometry = layout();
  auto* self = const_cast<ConfirmContactNameSheet*>(this);
  const auto cancel = [self] { self->reject(); };
  // In Tab order after the field (which comes first, at the top of the
  // sheet's keys): the buttons below it, then the close button above it.
  return {
      {.id = cancelButton, .rect = geometry.cancel, .action = cancel, .name = kCancel},
      {.id = startButton,
       .rect = geometry.start,
       .action =
           [self] {
             self->accept();
             Q_EMIT self->confirmed();
           },
       .name = spokenLabel(kStart)},
      {.id = closeButton,
       .rect = geometry.close,
       .shape = SheetCloseButton::shape(geometry.close),
       .action = cancel,
       .name = SheetCloseButton::kName},
  };
}

QList<ShownText> ConfirmContactNameSheet::shownTexts() const {
  const Layout geometry = layout();
  return {shownText(geometry.title, geometry.titleRect, true),
          shownText(geometry.explanation, geometry.explanationRect)};
}

}  // namespace murmela
