#include "deck/slides/CloserSlide.h"

#include "deck/ShareSheetPresenter.h"
#include "deck/slides/SlideColumn.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

using namespace slide_column;

constexpr qreal kTitleTop = 60.0;
// The paragraph box: 32 in from the sides, 28 below the heading, 18 of
// padding around the text, a 6-point outline in faint sage-deep.
constexpr qreal kBoxSideInset = 32.0;
constexpr qreal kBoxTop = 28.0;
constexpr qreal kBoxPadding = 18.0;
constexpr qreal kBoxRadius = 6.0;
constexpr qreal kBoxOutlineOpacity = 0.25;
constexpr qreal kParagraphMinimumScale = 0.85;
constexpr qreal kSignatureSideInset = 36.0;
// The buttons: 15 apart, 18 below the spacer, 80 above the bottom.
constexpr qreal kButtonSpacing = 15.0;
constexpr qreal kButtonsTop = 18.0;
constexpr qreal kButtonsBottom = 80.0;
constexpr QSizeF kButtonSize{132.0, 44.0};
constexpr qreal kLabelSpacing = 8.0;
constexpr qreal kSymbolSize = 12.0;
constexpr qreal kDoneOutlineWidth = 1.3;
constexpr qreal kPressedOpacity = 0.6;  // how a pressed plain button shows

const TextStyle kParagraphStyle{.typeface = Typeface::dmSerifDisplay,
                                .size = 16,
                                .color = MurmelaTheme::ink,
                                .lineSpacing = 4,
                                .minimumScale = kParagraphMinimumScale};
const TextStyle kSignatureStyle{.typeface = Typeface::caveat, .size = 26, .color = MurmelaTheme::rose};

QString titleText() { return QStringLiteral("That's a wrap."); }
// The stray apostrophe after "did" belongs to the text.
QString subtitleText() { return QStringLiteral("wish we could say 'no judgement', but we literally did'"); }
QString signatureText() { return QStringLiteral("\u2014 murmela, 2026 "); }

// Both buttons share one label layout: the symbol in 12-point semibold and
// the word in tracked capitals, 8 apart, on a 132 x 44 capsule. Share is
// cream on sage-deep; Done sage-deep on cream with an outline. A pressed
// plain button dims.
ButtonStyle buttonStyle(CloserSlide::Element element) {
  const bool share = element == CloserSlide::Element::share;
  ButtonStyle style;
  style.content = share ? MurmelaTheme::cream : MurmelaTheme::sageDeep;
  style.label = SymbolLabel{.symbol = share ? Symbol::squareAndArrowUp : Symbol::house,
                            .symbolSize = kSymbolSize,
                            .symbolWeight = SymbolWeight::semibold,
                            .spacing = kLabelSpacing,
                            .text = share ? QStringLiteral("Share") : QStringLiteral("Done"),
                            .style = TextStyle{.typeface = Typeface::inter,
                                               .size = 12,
                                               .weight = QFont::DemiBold,
                                               .tracking = 2,
                                               .upperCase = true,
                                               .color = style.content}};
  style.fill = share ? MurmelaTheme::sageDeep : MurmelaTheme::cream;
  if (!share) style.outline = MurmelaTheme::sageDeep;
  style.outlineWidth = kDoneOutlineWidth;
  style.fixedSize = kButtonSize;
  style.pressedOpacity = kPressedOpacity;
  return style;
}

}  // namespace

const CloserSlide::Button* CloserSlide::Layout::button(Element element) const {
  for (const Button& candidate : buttons)
    if (candidate.element == element) return &candidate;
  return nullptr;
}

QList<QRectF> CloserSlide::Layout::elementFrames() const {
  QList<QRectF> result = {title.frame, paragraphBox.rect, signature.frame};
  for (const Button& button : buttons) result.append(button.layout.frame);
  return result;
}

CloserSlide::Layout CloserSlide::layout() const {
  Layout result;
  result.title = slide_column::title(titleText(), subtitleText(), kTitleTop);

  // The buttons stand on the bottom edge; everything above them takes the rest.
  QList<Element> elements;
  if (enableShare) elements.append(Element::share);
  elements.append(Element::done);
  qreal bottom = kHeight - kButtonsBottom;
  for (auto element = elements.crbegin(); element != elements.crend(); ++element) {
    const QRectF rect(QPointF((kWidth - kButtonSize.width()) / 2, bottom - kButtonSize.height()), kButtonSize);
    const ButtonStyle style = buttonStyle(*element);
    result.buttons.prepend(Button{*element, style, layoutButton(style, rect)});
    bottom = rect.top() - kButtonSpacing;
  }
  const qreal buttonsTop = result.buttons.first().layout.frame.top() - kButtonsTop;

  const TextLayout signature = layoutText(signatureText(), kSignatureStyle);
  const qreal boxTop = result.title.frame.bottom() + kSpacing + kBoxTop;
  // Heading, box, signature, spacer and buttons, the default spacing between each.
  const qreal signatureRoom = kSpacing + signature.height() + kSpacing + kSpacing;
  const qreal textRoom = buttonsTop - signatureRoom - boxTop - 2 * kBoxPadding;
  const qreal textWidth = kWidth - 2 * (kBoxSideInset + kBoxPadding);

  // An empty paragraph leaves the box at its margins.
  TextLayout paragraph;
  paragraph.size = QSizeF(0, 0);
  if (!report.closerParagraph.isEmpty())
    paragraph =
        fitText(StyledText(report.closerParagraph, kParagraphStyle), QSizeF(textWidth, std::max(0.0, textRoom)));
  const QSizeF boxSize(paragraph.width() + 2 * kBoxPadding, paragraph.height() + 2 * kBoxPadding);
  result.paragraphBox.rect = QRectF(QPointF((kWidth - boxSize.width()) / 2, boxTop), boxSize);
  result.paragraphBox.radius = kBoxRadius;
  result.paragraphBox.fill = MurmelaTheme::creamDeep;
  result.paragraphBox.border = withOpacity(MurmelaTheme::sageDeep, kBoxOutlineOpacity);
  result.paragraph = PlacedText::at(paragraph, result.paragraphBox.rect.topLeft() + QPointF(kBoxPadding, kBoxPadding));

  const QRectF signatureRow(kSignatureSideInset, result.paragraphBox.rect.bottom() + kSpacing,
                            kWidth - 2 * kSignatureSideInset, signature.height());
  result.signature = PlacedText::within(signature, signatureRow, Qt::AlignRight | Qt::AlignTop);
  return result;
}

void CloserSlide::paint(QPainter& painter, const Interaction& interaction) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintCardBackground(painter, geometry.paragraphBox);
  geometry.paragraph.paint(painter);
  paintCardBorder(painter, geometry.paragraphBox);
  geometry.signature.paint(painter);
  for (const Button& button : geometry.buttons)
    paintButton(painter, button.style, button.layout,
                ButtonState{.hovered = interaction.hovered == button.element,
                            .pressed = interaction.pressed == button.element});
}

std::optional<CloserSlide::Element> CloserSlide::hitTest(QPointF point) const {
  for (const Button& button : layout().buttons)
    if (button.layout.frame.contains(point)) return button.element;
  return std::nullopt;
}

void CloserSlide::activate(Element element, ShareSheetPresenter& presenter, const std::function<void()>& onDone) const {
  switch (element) {
    case Element::share:
      if (enableShare) presenter.setPending(shareContext());
      break;
    case Element::done:
      if (onDone) onDone();
      break;
  }
}

}  // namespace murmela
