#pragma once

#include <QPainter>
#include <QPointF>

namespace murmela {

// Saves the painter's state and restores it at the end of the scope.
class PainterStateScope {
 public:
  explicit PainterStateScope(QPainter& painter) : painter_(painter) { painter_.save(); }
  ~PainterStateScope() { painter_.restore(); }
  PainterStateScope(const PainterStateScope&) = delete;
  PainterStateScope& operator=(const PainterStateScope&) = delete;

 protected:
  QPainter& painter_;
};

// Multiplies the painter's opacity for the scope (opacities nest).
class OpacityScope : public PainterStateScope {
 public:
  OpacityScope(QPainter& painter, qreal opacity) : PainterStateScope(painter) {
    painter_.setOpacity(painter_.opacity() * opacity);
  }
};

// Turns what is drawn in the scope by `degrees` (negative: anticlockwise on
// screen) about a centre point.
class RotationScope : public PainterStateScope {
 public:
  RotationScope(QPainter& painter, QPointF centre, qreal degrees) : PainterStateScope(painter) {
    painter_.translate(centre);
    painter_.rotate(degrees);
    painter_.translate(-centre);
  }
};

}  // namespace murmela
