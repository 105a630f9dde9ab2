#pragma once

#include <QRectF>

class QPainter;

namespace murmela {

// Where a checklist step stands.
enum class StepState { pending, active, done };

// The round mark in front of a checklist step of the hybrid setup and the
// processing screens: done is a sage-deep disc with a cream checkmark,
// active a rose ring around a rose dot, pending an ink-soft ring.
struct StepIndicator {
  qreal diameter = 14.0;
  qreal lineWidth = 1.3;
  qreal checkmarkSize = 7.0;  // the symbol's point size
  qreal dotDiameter = 4.0;

  void paint(QPainter& painter, const QRectF& frame, StepState state) const;
};

}  // namespace murmela
