#include "deck/chrome/SlideFrame.h"

#include "brand/SpeckleBackground.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {

SlideFrame::Layout SlideFrame::layout() const {
  Layout result;
  result.bounds = QRectF(QPointF(0.0, 0.0), kSize);
  result.progressRow = QRectF(kSideInset, kProgressTop, kSize.width() - 2.0 * kSideInset, ProgressBar::kHeight);
  result.footer = footerMark().layout(kSize.width() / 2.0, kSize.height() - kFooterBottom);
  return result;
}

void SlideFrame::paint(QPainter& painter, const Content& content, const Interaction& interaction) const {
  const Layout geometry = layout();
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipPath(roundedRectPath(geometry.bounds, kCornerRadius, CornerStyle::continuous), Qt::IntersectClip);
  painter.fillRect(geometry.bounds, MurmelaTheme::cream);
  SpeckleBackground::paint(painter, kSize);
  progressBar().paint(painter, geometry.progressRow);
  footerMark().paint(painter, geometry.footer, interaction.sharePressed);
  if (content) {
    const PainterStateScope contentScope(painter);
    painter.setPen(MurmelaTheme::ink);
    content(painter);
  }
}

std::optional<SlideFrameElement> SlideFrame::hitTest(QPointF point) const {
  if (footerMark().hitsShare(layout().footer, point)) return SlideFrameElement::share;
  return std::nullopt;
}

void SlideFrame::activate(SlideFrameElement element, ShareSheetPresenter& presenter) const {
  switch (element) {
    case SlideFrameElement::share:
      footerMark().share(presenter);
      break;
  }
}

}  // namespace murmela
