#pragma once

#include <QRectF>
#include <QString>

namespace murmela {

// The foot of an onboarding step: "← Back" as a ghost button at the left
// edge and "Continue →" as the primary button at the right, both centred on
// the height of the row, 706 points from the top and 28 in from the sides.
struct OnboardingButtonRow {
  static constexpr qreal kTop = 706.0;
  static constexpr qreal kSides = 28.0;
  static inline const QString kBack = QStringLiteral("← Back");
  static inline const QString kContinue = QStringLiteral("Continue →");

  QRectF back;
  QRectF next;

  static OnboardingButtonRow layout();
};

}  // namespace murmela
