#pragma once

#include "data/WrappedReport.h"
#include "deck/SlideShareContext.h"
#include "deck/cards/CardFrame.h"
#include "deck/cards/PlacedText.h"
#include "deck/cards/SlideTitle.h"
#include "kit/controls/PaintedButton.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace murmela {

class ShareSheetPresenter;

// The last slide: "That's a wrap.", the report's closing paragraph in an
// outlined box, the signature, and the two buttons that end the deck: Share
// (only with sharing on) above Done. The paragraph is fitted to the room the
// buttons leave (shrunk to 0.85, then cut with an ellipsis), so both buttons
// always stay inside the frame however long it is.
struct CloserSlide {
  static constexpr int kSlideIndex = 13;

  const WrappedReport& report;
  bool enableShare = false;
  std::optional<QString> contactHandle{};

  enum class Element { share, done };
  struct Interaction {
    std::optional<Element> hovered, pressed;
  };

  struct Button {
    Element element = Element::done;
    ButtonStyle style;    // a 132 x 44 capsule with its symbol and word
    ButtonLayout layout;  // its frame is also the hit area
  };

  struct Layout {
    SlideTitleLayout title;
    CardFrame paragraphBox;
    PlacedText paragraph;
    PlacedText signature;
    QList<Button> buttons;  // Share (when shown) above Done

    const Button* button(Element element) const;
    // The elements' rectangles, top to bottom.
    QList<QRectF> elementFrames() const;  // top to bottom
  };

  Layout layout() const;
  void paint(QPainter& painter, const Interaction& interaction = {}) const;
  std::optional<Element> hitTest(QPointF point) const;

  // What Share hands to the share sheet: the report, the closer's index and the handle.
  SlideShareContext shareContext() const { return {report, kSlideIndex, contactHandle}; }
  // Share sets the presenter's pending context (only when it is shown); Done
  // calls onDone when it is set.
  void activate(Element element, ShareSheetPresenter& presenter, const std::function<void()>& onDone) const;
};

}  // namespace murmela
