#include "sheets/share/SheetLook.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "kit/widgets/ButtonHost.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela::SheetLook {

TextStyle rowTitle(const QColor& color) {
  return TextStyle{.typeface = Typeface::dmSerifDisplay, .size = 16, .tracking = -0.3, .color = color};
}

TextStyle rowSubtitle(const QColor& color) {
  return TextStyle{.typeface = Typeface::inter,
                   .size = 10,
                   .weight = QFont::Medium,
                   .tracking = 1.2,
                   .upperCase = true,
                   .color = color};
}

TextStyle rowChevron(const QColor& color) {
  return TextStyle{.typeface = Typeface::dmSerifDisplay, .size = 18, .color = color};
}

TextStyle sheetTitle() {
  return TextStyle{.typeface = Typeface::dmSerifDisplay, .size = 22, .tracking = -0.5, .color = MurmelaTheme::ink};
}

TextStyle footer() {
  return TextStyle{.typeface = Typeface::inter,
                   .size = 10,
                   .weight = QFont::Medium,
                   .tracking = 1.6,
                   .upperCase = true,
                   .color = withOpacity(MurmelaTheme::ink, 0.42)};
}

TextStyle headerSubtitle() {
  return TextStyle{.typeface = Typeface::inter,
                   .size = 9.5,
                   .weight = QFont::Medium,
                   .tracking = 1.6,
                   .upperCase = true,
                   .color = MurmelaTheme::inkSoft};
}

ButtonStyle roundIconButton(Symbol symbol) {
  ButtonStyle style;
  style.label.symbol = symbol;
  style.label.symbolSize = 11;
  style.label.symbolWeight = SymbolWeight::semibold;
  style.content = MurmelaTheme::inkSoft;
  style.fill = MurmelaTheme::creamDeep;
  style.cornerRadius = -1.0;
  style.fixedSize = QSizeF(26.0, 26.0);
  style.pressedOpacity = kPressedOpacity;
  return style;
}

QRectF grabberRect(qreal centreX, qreal top) {
  return QRectF(QPointF(centreX - kGrabberSize.width() / 2.0, top + kGrabberTop), kGrabberSize);
}

void paintGrabber(QPainter& painter, const QRectF& rect) {
  const PainterStateScope state(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(capsulePath(rect), withOpacity(MurmelaTheme::ink, 0.22));
}

void paintFocusRing(QPainter& painter, const QRectF& rect, qreal cornerRadius) {
  // The kit's ring, as on every other screen (it stands out 3:1 on cream).
  murmela::paintFocusRing(painter, cornerRadius < 0 ? capsulePath(rect) : roundedRectPath(rect, cornerRadius));
}

}  // namespace murmela::SheetLook
