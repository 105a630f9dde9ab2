#include "sheets/ScrollingPlainText.h"

#include "kit/paint/Shapes.h"
#include "theme/FontFactory.h"
#include "theme/MurmelaTheme.h"

#include <QFontDatabase>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>

#include <algorithm>

namespace murmela {

QFont monospacedFont(qreal points) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::Monospace);
  return FontFactory::resized(font, points);
}

ScrollingPlainText::ScrollingPlainText(const QFont& font, const QColor& color, qreal padding, QWidget* parent)
    : QPlainTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setFont(font);
  document()->setDocumentMargin(padding);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::transparent);
  colours.setColor(QPalette::Text, color);
  colours.setColor(QPalette::Highlight, withOpacity(MurmelaTheme::sage, 0.45));
  colours.setColor(QPalette::HighlightedText, color);
  setPalette(colours);
  viewport()->setAutoFillBackground(false);
  setBackgroundVisible(false);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] { viewport()->update(); });
  connect(verticalScrollBar(), &QScrollBar::rangeChanged, viewport(), [this] { viewport()->update(); });
}

QRectF ScrollingPlainText::indicatorRect() const {
  const QScrollBar* bar = verticalScrollBar();
  if (bar->maximum() <= bar->minimum()) return {};
  const qreal track = viewport()->height() - 2.0 * kIndicatorInset;
  const qreal total = bar->maximum() - bar->minimum() + bar->pageStep();
  const qreal length = std::max(track * bar->pageStep() / total, 2.0 * kIndicatorWidth);
  const qreal offset = (track - length) * (bar->value() - bar->minimum()) / (bar->maximum() - bar->minimum());
  return {viewport()->width() - kIndicatorInset - kIndicatorWidth, kIndicatorInset + offset, kIndicatorWidth, length};
}

void ScrollingPlainText::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  const QRectF indicator = indicatorRect();
  if (indicator.isEmpty()) return;
  QPainter painter(viewport());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(capsulePath(indicator), withOpacity(MurmelaTheme::inkSoft, kIndicatorOpacity));
}

}  // namespace murmela
