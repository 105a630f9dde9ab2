#include "sheets/share/ScrollChevron.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "sheets/share/SheetLook.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {

void ScrollChevron::paint(QPainter& painter, const QRectF& frame, bool hovering, bool pressed) const {
  const OpacityScope scope(painter, pressed ? SheetLook::kPressedOpacity : 1.0);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath circle = ellipsePath(frame);
  drawShadow(painter, circle, ShadowStyle{QColor(0, 0, 0, 31), 4.0, QPointF(0.0, 1.0)});
  painter.fillPath(circle, withOpacity(MurmelaTheme::cream, hovering ? 1.0 : 0.85));
  drawSymbol(painter, direction == Direction::left ? Symbol::chevronLeft : Symbol::chevronRight, frame, 11,
             SymbolWeight::semibold, withOpacity(MurmelaTheme::ink, 0.7));
}

}  // namespace murmela
