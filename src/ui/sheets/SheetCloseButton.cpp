#include "sheets/SheetCloseButton.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "kit/widgets/ButtonHost.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {

QPainterPath SheetCloseButton::shape(const QRectF& rect) { return ellipsePath(rect); }

void SheetCloseButton::paint(QPainter& painter, const QRectF& rect, const ButtonState& state, bool focused) {
  OpacityScope faded(painter, state.pressed ? kPlainButtonPressedOpacity : 1.0);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath circle = shape(rect);
  painter.fillPath(circle, MurmelaTheme::creamDeep);
  drawSymbol(painter, Symbol::xmark, rect, kSymbolSize, SymbolWeight::semibold,
             state.hovered ? MurmelaTheme::ink : MurmelaTheme::inkSoft);
  if (focused) paintFocusRing(painter, circle);
}

}  // namespace murmela
