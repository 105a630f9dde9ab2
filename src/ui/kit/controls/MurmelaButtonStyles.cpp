#include "kit/controls/MurmelaButtonStyles.h"

#include "kit/paint/Shapes.h"
#include "kit/paint/FocusRing.h"
#include "theme/MurmelaTheme.h"

namespace murmela {
namespace {

SymbolLabel labelOf(const QString& text, qreal size, QFont::Weight weight, const QColor& colour) {
  return {.symbol = std::nullopt,
          .text = text,
          .style = TextStyle{.typeface = Typeface::inter,
                             .size = size,
                             .weight = weight,
                             .tracking = MurmelaPrimaryButtonStyle::kTracking,
                             .upperCase = true,
                             .color = colour}};
}

QSizeF sizeOf(const ButtonStyle& style) { return style.padding.grown(style.label.layout().size); }

QRectF placedAt(const ButtonStyle& style, qreal centreX, qreal top) {
  const QSizeF size = sizeOf(style);
  return {centreX - size.width() / 2.0, top, size.width(), size.height()};
}

void paintIn(QPainter& painter, const ButtonStyle& style, const QRectF& rect, const ButtonState& state, bool focused) {
  paintButton(painter, style, layoutButton(style, rect), state);
  if (focused) paintFocusRing(painter, capsulePath(rect));
}

}  // namespace

ButtonStyle MurmelaPrimaryButtonStyle::style(const QString& label) const {
  ButtonStyle style;
  style.label = labelOf(label, kFontSize, QFont::DemiBold, MurmelaTheme::cream);
  style.content = MurmelaTheme::cream;
  style.fill = MurmelaTheme::sageDeep;
  style.hoverFill = withOpacity(MurmelaTheme::sageDeep, kHoveredFillOpacity);
  style.pressedFill = withOpacity(MurmelaTheme::sageDeep, kPressedFillOpacity);
  style.outline = withOpacity(MurmelaTheme::ink, kOutlineOpacity);
  style.padding = kPadding;
  style.disabledOpacity = kDisabledOpacity;
  return style;
}

QSizeF MurmelaPrimaryButtonStyle::size(const QString& label) const { return sizeOf(style(label)); }

QRectF MurmelaPrimaryButtonStyle::placed(const QString& label, qreal centreX, qreal top) const {
  return placedAt(style(label), centreX, top);
}

void MurmelaPrimaryButtonStyle::paint(QPainter& painter, const QRectF& rect, const QString& label, ButtonState state,
                                      bool focused) const {
  state.disabled = state.disabled || disabled;
  paintIn(painter, style(label), rect, state, focused);
}

ButtonStyle MurmelaGhostButtonStyle::style(const QString& label, const ButtonState& state) const {
  const bool live = !state.disabled;
  const qreal outline = live && state.pressed   ? kPressedOutlineOpacity
                        : live && state.hovered ? kHoveredOutlineOpacity
                                                : kOutlineOpacity;
  ButtonStyle style;
  style.label = labelOf(label, compact ? kCompactFontSize : kFontSize, QFont::Medium, MurmelaTheme::inkSoft);
  style.content = MurmelaTheme::inkSoft;
  style.outline = withOpacity(MurmelaTheme::ink, outline);
  style.padding = compact ? kCompactPadding : kPadding;
  style.pressedOpacity = 1.0;
  style.disabledOpacity = 1.0;
  return style;
}

QSizeF MurmelaGhostButtonStyle::size(const QString& label) const { return sizeOf(style(label)); }

QRectF MurmelaGhostButtonStyle::placed(const QString& label, qreal centreX, qreal top) const {
  return placedAt(style(label), centreX, top);
}

void MurmelaGhostButtonStyle::paint(QPainter& painter, const QRectF& rect, const QString& label, ButtonState state,
                                    bool focused) const {
  paintIn(painter, style(label, state), rect, state, focused);
}

}  // namespace murmela
