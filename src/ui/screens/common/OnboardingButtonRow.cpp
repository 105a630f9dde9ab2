#include "screens/common/OnboardingButtonRow.h"

#include "kit/controls/MurmelaButtonStyles.h"
#include "screens/common/OnboardingFrame.h"

#include <algorithm>

namespace murmela {

OnboardingButtonRow OnboardingButtonRow::layout() {
  const QSizeF back = MurmelaGhostButtonStyle{}.size(kBack);
  const QSizeF next = MurmelaPrimaryButtonStyle{}.size(kContinue);
  const qreal height = std::max(back.height(), next.height());
  const qreal right = OnboardingFrame::kSize.width() - kSides;
  return {QRectF(QPointF(kSides, kTop + (height - back.height()) / 2.0), back),
          QRectF(QPointF(right - next.width(), kTop + (height - next.height()) / 2.0), next)};
}

}  // namespace murmela
