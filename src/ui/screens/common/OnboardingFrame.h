#pragma once

#include "kit/text/TextLayout.h"
#include "kit/text/TextStyle.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace murmela {

// The screen every onboarding step stands in: 390 x 780 points of cream with
// the speckle texture at 0.55, the screen's own content from the top-left
// corner, and, when there is a step, the step header over it (it does not
// push the content down): "STEP n OF m" above one capsule per step, centred,
// 20 points from the top. Past and current steps are solid sage-deep, later
// ones at 0.25; the current one is wide. Everything is clipped to the frame.
struct OnboardingFrame {
  static constexpr QSizeF kSize{390.0, 780.0};
  static constexpr int kOnboardingSteps = 4;  // welcome, intelligence, permissions, contacts
  static constexpr qreal kSpeckleOpacity = 0.55;
  static constexpr qreal kHeaderTop = 20.0;
  static constexpr qreal kHeaderSpacing = 8.0;
  static constexpr qreal kCapsuleSpacing = 6.0;
  static constexpr qreal kCapsuleHeight = 6.0;
  static constexpr qreal kCapsuleWidth = 6.0;
  static constexpr qreal kCurrentCapsuleWidth = 18.0;
  static constexpr qreal kLaterStepOpacity = 0.25;

  std::optional<int> step;  // counted from 1; none: no header
  int total = kOnboardingSteps;

  // The number of capsules: the total, a negative one counting as none.
  int stepCount() const { return std::max(total, 0); }

  struct Capsule {
    QRectF rect;
    bool current = false;  // the wide one
    bool reached = false;  // solid: a past or the current step
  };
  struct Layout {
    bool hasHeader = false;
    QString stepText;  // as written ("Step 2 of 4"); shown upper-cased
    TextLayout stepLabel;
    QRectF stepLabelRect;
    QList<Capsule> capsules;
    QRectF capsuleRow;
  };
  Layout layout() const;

  using Content = std::function<void(QPainter&)>;
  // Paints background, content and header into the painter's 390 x 780 points from (0, 0).
  void paint(QPainter& painter, const Content& content) const;

  static TextStyle stepStyle();
};

}  // namespace murmela
