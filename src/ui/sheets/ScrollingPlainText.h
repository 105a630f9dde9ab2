#pragma once

#include <QFont>
#include <QPlainTextEdit>

namespace murmela {

// A read-only block of plain text that the user can select and copy and
// that scrolls when it is longer than its box, with a thin painted scroll
// indicator at its right edge instead of a scroll bar. It draws no
// background: the box behind it belongs to whoever places it.
class ScrollingPlainText : public QPlainTextEdit {
  Q_OBJECT

 public:
  static constexpr qreal kIndicatorWidth = 3.0;
  static constexpr qreal kIndicatorInset = 3.0;
  static constexpr qreal kIndicatorOpacity = 0.35;

  ScrollingPlainText(const QFont& font, const QColor& color, qreal padding, QWidget* parent = nullptr);

  // The indicator's rectangle in the viewport; empty while everything shows.
  QRectF indicatorRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The monospaced system font at a size in points.
QFont monospacedFont(qreal points);

}  // namespace murmela
