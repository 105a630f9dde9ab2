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
// only when there is one, the last failure in rose, wrapped and never cut (a
// backend's answer can be a whole page): given a height limit, the failure
// shows in a box of that height and scrolls inside it, so the sheet never
// outgrows the window. The button ignores clicks while generating.
struct GenerateLinkRow {
  static constexpr qreal kPadding = 12.0;
  static constexpr qreal kIconSize = 36.0;
  static constexpr qreal kIconRadius = 10.0;
  static constexpr qreal kSpacing = 14.0;
  static constexpr qreal kTextSpacing = 3.0;
  static constexpr qreal kCornerRadius = 10.0;
  static constexpr qreal kErrorSpacing = 6.0;
  static constexpr qreal kErrorInset = 4.0;
  static constexpr qreal kErrorThumbWidth = 3.0;  // the scroll thumb beside a long failure
  static constexpr qreal kErrorThumbMinimum = 16.0;
  static constexpr qreal kBottomPadding = 6.0;
  static constexpr qreal kSpinnerDiameter = 32.0 * 0.55;

  bool isGenerating = false;
  std::optional<QString> errorMessage;
  std::optional<qreal> errorHeightLimit{};  // the most the failure's box may take
  qreal errorScroll = 0.0;                  // how far the failure is scrolled in its box

  QString title() const;
  static QString subtitle() { return QStringLiteral("Share anywhere \u00b7 30-day expiry"); }

  struct Layout {
    QRectF frame;   // the whole row, the padding below included
    QRectF button;  // the hit area
    QRectF icon;
    TextLayout title, subtitle, chevron;
    QPointF titleOrigin, subtitleOrigin, chevronOrigin;
    std::optional<TextLayout> error;  // the whole failure
    QPointF errorOrigin;              // where it is drawn, scrolled
    QRectF errorBox;                  // the part of it shown
    qreal errorScrollRange = 0.0;     // how far it scrolls (0: all of it shows)
  };
  Layout layout(QPointF topLeft, qreal width) const;
  // `spinnerTurn` (0 ... 1) turns the spinner while generating.
  void paint(QPainter& painter, const Layout& layout, const ButtonState& state = {}, qreal spinnerTurn = 0.0) const;
  static void paintSpinner(QPainter& painter, QPointF centre, qreal diameter, const QColor& color, qreal turn);
};

}  // namespace murmela
