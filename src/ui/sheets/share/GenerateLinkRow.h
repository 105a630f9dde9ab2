#pragma once

#include "kit/controls/PaintedButton.h"
#include "kit/text/TextLayout.h"

#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace murmela {

// The dark row that makes a share link: a sageDeep button with the link
// symbol (a spinner while a link is being made), "Generate link" or
// "Generating link...", "Share anywhere · 30-day expiry" and a "›"; under it,
// only when there is one, the last failure in rose, wrapped (a backend's
// answer can be a whole page: past six lines it is cut with an ellipsis, so
// the sheet never outgrows the deck). The button ignores clicks while generating.
struct GenerateLinkRow {
  static constexpr qreal kPadding = 12.0;
  static constexpr qreal kIconSize = 36.0;
  static constexpr qreal kIconRadius = 10.0;
  static constexpr qreal kSpacing = 14.0;
  static constexpr qreal kTextSpacing = 3.0;
  static constexpr qreal kCornerRadius = 10.0;
  static constexpr qreal kErrorSpacing = 6.0;
  static constexpr qreal kErrorInset = 4.0;
  static constexpr qreal kBottomPadding = 6.0;
  static constexpr qreal kSpinnerDiameter = 32.0 * 0.55;

  bool isGenerating = false;
  std::optional<QString> errorMessage;

  QString title() const;
  static QString subtitle() { return QStringLiteral("Share anywhere \u00b7 30-day expiry"); }

  struct Layout {
    QRectF frame;   // the whole row, the padding below included
    QRectF button;  // the hit area
    QRectF icon;
    TextLayout title, subtitle, chevron;
    QPointF titleOrigin, subtitleOrigin, chevronOrigin;
    std::optional<TextLayout> error;
    QPointF errorOrigin;
  };
  Layout layout(QPointF topLeft, qreal width) const;
  // `spinnerTurn` (0 ... 1) turns the spinner while generating.
  void paint(QPainter& painter, const Layout& layout, const ButtonState& state = {}, qreal spinnerTurn = 0.0) const;
  static void paintSpinner(QPainter& painter, QPointF centre, qreal diameter, const QColor& color, qreal turn);
};

}  // namespace murmela
