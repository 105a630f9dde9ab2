#pragma once

#include "kit/text/TextLayout.h"
#include "kit/widgets/ButtonHost.h"

#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace murmela {

// One permission on the permissions screen: a badge for its state, a title,
// an explanation that wraps to its full height, and, when both a label and an
// action are given, a compact ghost button under the text.
struct PermissionCard {
  enum class Status { ok, todo, optional };

  static constexpr qreal kPadding = 12.0;
  static constexpr qreal kSpacing = 10.0;
  static constexpr qreal kColumnSpacing = 4.0;
  static constexpr qreal kBadgeSize = 18.0;
  static constexpr qreal kBadgeTopPadding = 1.0;
  static constexpr qreal kActionTopPadding = 8.0;
  static constexpr qreal kRadius = 6.0;
  static constexpr qreal kOkOutlineOpacity = 0.32;
  static constexpr qreal kTodoOutlineOpacity = 0.36;

  Status status = Status::todo;
  QString title;
  QString detail;
  std::optional<QString> actionLabel;
  std::function<void()> action;

  bool hasButton() const { return actionLabel.has_value() && static_cast<bool>(action); }

  struct Layout {
    QRectF card;
    QRectF badge;
    TextLayout title;
    QRectF titleRect;
    TextLayout detail;
    QRectF detailRect;
    std::optional<QRectF> button;
  };
  // The card `width` wide with its top-left corner at `topLeft`.
  Layout layout(QPointF topLeft, qreal width) const;
  void paint(QPainter& painter, const Layout& layout, const ButtonState& buttonState, bool buttonFocused) const;

  static QString badgeGlyph(Status status);
};

}  // namespace murmela
