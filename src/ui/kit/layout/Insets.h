#pragma once

#include <QMarginsF>
#include <QRectF>
#include <QSizeF>

namespace murmela {

// Padding around an element, in points.
struct Insets {
  qreal top = 0.0;
  qreal left = 0.0;
  qreal bottom = 0.0;
  qreal right = 0.0;

  static constexpr Insets all(qreal value) { return {value, value, value, value}; }
  static constexpr Insets horizontal(qreal value) { return {0.0, value, 0.0, value}; }
  static constexpr Insets vertical(qreal value) { return {value, 0.0, value, 0.0}; }
  static constexpr Insets symmetric(qreal horizontalValue, qreal verticalValue) {
    return {verticalValue, horizontalValue, verticalValue, horizontalValue};
  }
  constexpr Insets operator+(const Insets& other) const {
    return {top + other.top, left + other.left, bottom + other.bottom, right + other.right};
  }
  constexpr qreal width() const { return left + right; }
  constexpr qreal height() const { return top + bottom; }

  QRectF inset(const QRectF& rect) const { return rect.adjusted(left, top, -right, -bottom); }
  QRectF outset(const QRectF& rect) const { return rect.adjusted(-left, -top, right, bottom); }
  QSizeF grown(const QSizeF& size) const { return {size.width() + width(), size.height() + height()}; }
};

}  // namespace murmela
