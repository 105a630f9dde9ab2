#include "screens/common/OnboardingFrame.h"

#include "brand/SpeckleBackground.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {

TextStyle OnboardingFrame::stepStyle() {
  return {.typeface = Typeface::inter,
          .size = 9.0,
          .weight = QFont::Medium,
          .tracking = 2.6,
          .upperCase = true,
          .color = MurmelaTheme::inkSoft};
}

OnboardingFrame::Layout OnboardingFrame::layout() const {
  Layout result;
  if (!step) return result;
  result.hasHeader = true;
  const int count = stepCount();
  result.stepText = QStringLiteral("Step %1 of %2").arg(*step).arg(count);
  result.stepLabel = layoutText(result.stepText, stepStyle());
  const qreal centreX = kSize.width() / 2.0;
  result.stepLabelRect =
      QRectF(centreX - result.stepLabel.width() / 2.0, kHeaderTop, result.stepLabel.width(), result.stepLabel.height());

  qreal rowWidth = 0.0;
  for (int index = 0; index < count; ++index)
    rowWidth += (index == *step - 1 ? kCurrentCapsuleWidth : kCapsuleWidth) + (index > 0 ? kCapsuleSpacing : 0.0);
  const qreal rowTop = result.stepLabelRect.bottom() + kHeaderSpacing;
  result.capsuleRow = QRectF(centreX - rowWidth / 2.0, rowTop, rowWidth, count > 0 ? kCapsuleHeight : 0.0);
  qreal x = result.capsuleRow.left();
  for (int index = 0; index < count; ++index) {
    const bool current = index == *step - 1;
    const qreal width = current ? kCurrentCapsuleWidth : kCapsuleWidth;
    result.capsules.append({QRectF(x, rowTop, width, kCapsuleHeight), current, index <= *step - 1});
    x += width + kCapsuleSpacing;
  }
  return result;
}

void OnboardingFrame::paint(QPainter& painter, const Content& content) const {
  PainterStateScope scope(painter);
  const QRectF bounds(QPointF(0.0, 0.0), kSize);
  painter.setClipRect(bounds, Qt::IntersectClip);
  painter.fillRect(bounds, MurmelaTheme::cream);
  {
    OpacityScope speckle(painter, kSpeckleOpacity);
    SpeckleBackground::paint(painter, kSize);
  }
  if (content) {
    PainterStateScope contentScope(painter);
    content(painter);
  }
  const Layout header = layout();
  if (!header.hasHeader) return;
  header.stepLabel.draw(painter, header.stepLabelRect.topLeft());
  painter.setRenderHint(QPainter::Antialiasing);
  for (const Capsule& capsule : header.capsules) {
    const QColor colour =
        capsule.reached ? MurmelaTheme::sageDeep : withOpacity(MurmelaTheme::sageDeep, kLaterStepOpacity);
    painter.fillPath(roundedRectPath(capsule.rect, kCapsuleHeight / 2.0), colour);
  }
}

}  // namespace murmela
