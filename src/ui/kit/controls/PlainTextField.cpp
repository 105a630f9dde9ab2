#include "kit/controls/PlainTextField.h"

#include "kit/paint/FocusRing.h"
#include "theme/MurmelaTheme.h"

#include <QFontMetricsF>

#include <cmath>

namespace murmela {

PlainTextField::PlainTextField(const QFont& font, const QColor& color, const QString& placeholder, QWidget* parent)
    : QLineEdit(parent) {
  setFrame(false);
  setFont(font);
  setPlaceholderText(placeholder);
  setTextMargins(0, 0, 0, 0);
  setAutoFillBackground(false);
  setAttribute(Qt::WA_MacShowFocusRect, false);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::transparent);
  colours.setColor(QPalette::Window, Qt::transparent);
  colours.setColor(QPalette::Text, color);
  colours.setColor(QPalette::PlaceholderText, withOpacity(color, kPlaceholderOpacity));
  colours.setColor(QPalette::Highlight, withOpacity(MurmelaTheme::sage, 0.45));
  colours.setColor(QPalette::HighlightedText, color);
  setPalette(colours);
}

void PlainTextField::paintFocusRing(QPainter& painter, const QPainterPath& box) const {
  if (hasFocus()) murmela::paintFocusRing(painter, box);
}

void PlainTextField::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (parentWidget()) parentWidget()->update();
}

void PlainTextField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (parentWidget()) parentWidget()->update();
}

qreal PlainTextField::lineHeight(const QFont& font) { return std::ceil(QFontMetricsF(font).height()); }

}  // namespace murmela
