#include "deck/LongDeckSlide.h"

#include "deck/ShareSheetPresenter.h"
#include "deck/slides/ApologySlide.h"
#include "deck/slides/ArgumentMapSlide.h"
#include "deck/slides/CloserSlide.h"
#include "deck/slides/ColdOpenSlide.h"
#include "deck/slides/DialectSlide.h"
#include "deck/slides/HeatmapSlide.h"
#include "deck/slides/InitiationSlide.h"
#include "deck/slides/ReceiptsSlide.h"
#include "deck/slides/ResponseTimeSlide.h"
#include "deck/slides/ShapeSlide.h"
#include "deck/slides/StreakSlide.h"
#include "deck/slides/VibeShiftSlide.h"
#include "deck/slides/VocabularySlide.h"
#include "deck/slides/WordDebutSlide.h"

#include <QPainter>

#include <array>

namespace murmela {
namespace {

using ContentPainter = void (*)(QPainter&, const WrappedReport&);

template <typename Slide>
void paintSlide(QPainter& painter, const WrappedReport& report) {
  Slide{report}.paint(painter);
}

// The content of slides 0 ... 12 by index; every other index is the closer.
constexpr std::array<ContentPainter, LongDeckSlide::kCloserIndex> kContent = {
    &paintSlide<ColdOpenSlide>,     &paintSlide<ReceiptsSlide>,    &paintSlide<VocabularySlide>,
    &paintSlide<HeatmapSlide>,      &paintSlide<ShapeSlide>,       &paintSlide<WordDebutSlide>,
    &paintSlide<ApologySlide>,      &paintSlide<InitiationSlide>,  &paintSlide<DialectSlide>,
    &paintSlide<ResponseTimeSlide>, &paintSlide<ArgumentMapSlide>, &paintSlide<VibeShiftSlide>,
    &paintSlide<StreakSlide>,
};

CloserSlide closerOf(const LongDeckSlide& slide) {
  return CloserSlide{slide.report, slide.enableShare, slide.contactHandle};
}

std::optional<CloserSlide::Element> closerElement(std::optional<LongDeckSlide::Element> element) {
  if (element == LongDeckSlide::Element::closerShare) return CloserSlide::Element::share;
  if (element == LongDeckSlide::Element::closerDone) return CloserSlide::Element::done;
  return std::nullopt;
}

}  // namespace

int LongDeckSlide::contentIndex(int index) { return index >= 0 && index < kCloserIndex ? index : kCloserIndex; }

std::optional<SlideShareContext> LongDeckSlide::shareContext() const {
  if (!enableShare || showsCloser()) return std::nullopt;
  return SlideShareContext{report, index, contactHandle};
}

void LongDeckSlide::paint(QPainter& painter, const Interaction& interaction) const {
  const SlideFrame::Interaction frameInteraction{.sharePressed = interaction.pressed == Element::footerShare};
  const int content = contentIndex(index);
  frame().paint(
      painter,
      [&](QPainter& contentPainter) {
        if (content == kCloserIndex) {
          closerOf(*this).paint(contentPainter,
                                {closerElement(interaction.hovered), closerElement(interaction.pressed)});
        } else {
          kContent[static_cast<size_t>(content)](contentPainter, report);
        }
      },
      frameInteraction);
}

std::optional<LongDeckSlide::Element> LongDeckSlide::hitTest(QPointF point) const {
  if (frame().hitTest(point) == SlideFrameElement::share) return Element::footerShare;
  if (!showsCloser()) return std::nullopt;
  const std::optional<CloserSlide::Element> hit = closerOf(*this).hitTest(point);
  if (!hit) return std::nullopt;
  return *hit == CloserSlide::Element::share ? Element::closerShare : Element::closerDone;
}

QList<LongDeckSlide::Button> LongDeckSlide::buttons() const {
  QList<Button> result;
  if (showsCloser()) {
    const CloserSlide::Layout closer = closerOf(*this).layout();
    for (const CloserSlide::Button& button : closer.buttons)
      result.append({button.element == CloserSlide::Element::share ? Element::closerShare : Element::closerDone,
                     button.layout.frame});
  }
  const FooterMark::Layout footer = frame().layout().footer;
  if (footer.hasShare) result.append({Element::footerShare, footer.shareHitArea});
  return result;
}

void LongDeckSlide::activate(Element element, ShareSheetPresenter& presenter,
                             const std::function<void()>& onDone) const {
  switch (element) {
    case Element::footerShare:
      if (shareContext()) frame().activate(SlideFrameElement::share, presenter);
      break;
    case Element::closerShare:
      if (showsCloser()) closerOf(*this).activate(CloserSlide::Element::share, presenter, onDone);
      break;
    case Element::closerDone:
      if (showsCloser()) closerOf(*this).activate(CloserSlide::Element::done, presenter, onDone);
      break;
  }
}

QImage LongDeckSlide::image(qreal scale) const {
  QImage result((SlideFrame::kSize * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
  result.setDevicePixelRatio(scale);
  result.fill(Qt::transparent);
  QPainter painter(&result);
  paint(painter);
  painter.end();
  return result;
}

}  // namespace murmela
