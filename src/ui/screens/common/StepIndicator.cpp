#include "screens/common/StepIndicator.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {

void StepIndicator::paint(QPainter& painter, const QRectF& frame, StepState state) const {
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF centre = frame.center();
  const QColor outline = state == StepState::done     ? MurmelaTheme::sageDeep
                         : state == StepState::active ? MurmelaTheme::rose
                                                      : MurmelaTheme::inkSoft;
  // The outline is stroked along the frame's circle, over the fill.
  const QPainterPath circle = circlePath(centre, diameter / 2.0);
  if (state == StepState::done) painter.fillPath(circle, MurmelaTheme::sageDeep);
  QPen pen(outline, lineWidth);
  painter.strokePath(circle, pen);
  switch (state) {
    case StepState::done:
      drawSymbol(painter, Symbol::checkmark, centre, checkmarkSize, SymbolWeight::bold, MurmelaTheme::cream);
      break;
    case StepState::active:
      painter.fillPath(circlePath(centre, dotDiameter / 2.0), MurmelaTheme::rose);
      break;
    case StepState::pending:
      break;
  }
}

}  // namespace murmela
