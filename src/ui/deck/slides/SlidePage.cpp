#include "deck/slides/SlidePage.h"

#include "deck/chrome/SlideFrame.h"

namespace murmela::SlidePage {
namespace {

constexpr qreal kFooterClearance = 10.0;

}  // namespace

QRectF bounds() { return QRectF(0.0, 0.0, kWidth, kHeight); }

qreal contentBottom() { return SlideFrame{}.layout().footer.row.top() - kFooterClearance; }

qreal freeLength(const Stack& stack, qreal length) { return length - stack.idealLength(); }

}  // namespace murmela::SlidePage
