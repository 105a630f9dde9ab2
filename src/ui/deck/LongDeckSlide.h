#pragma once

#include "data/WrappedReport.h"
#include "deck/SlideShareContext.h"
#include "deck/chrome/SlideFrame.h"

#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace murmela {

class ShareSheetPresenter;

// One slide of the deck by its index: the slide's content in the slide frame
// with the progress bar of fourteen, and the footer's Share only when sharing
// is on and the slide is not the closer. The deck paints it with sharing on;
// the image export paints the same value with sharing off into a 1170 x 2340
// image. Painting and hit-testing use one geometry.
struct LongDeckSlide {
  static constexpr int kCount = 14;
  static constexpr int kCloserIndex = kCount - 1;

  const WrappedReport& report;
  int index = 0;  // out of range shows the closer
  bool enableShare = false;
  std::optional<QString> contactHandle{};

  enum class Element { footerShare, closerShare, closerDone };
  struct Interaction {
    std::optional<Element> hovered, pressed;
  };

  // The slide whose content is shown: the index itself for 0 ... 12, the closer otherwise.
  static int contentIndex(int index);
  bool showsCloser() const { return contentIndex(index) == kCloserIndex; }

  // What the footer's Share hands over: the report, this index and the
  // contact handle; absent with sharing off and on the closer.
  std::optional<SlideShareContext> shareContext() const;
  SlideFrame frame() const { return SlideFrame{index, kCount, shareContext()}; }

  // The slide in its frame, 390 x 780 logical points from (0, 0), into any
  // painter (a window at its device pixel ratio, or an image at 3x).
  void paint(QPainter& painter, const Interaction& interaction = {}) const;
  std::optional<Element> hitTest(QPointF point) const;
  // The slide's buttons in reading order and the rectangles they take clicks in.
  struct Button {
    Element element;
    QRectF rect;
  };
  QList<Button> buttons() const;
  // The footer's and the closer's Share set the presenter's pending context;
  // Done calls onDone when it is set.
  void activate(Element element, ShareSheetPresenter& presenter, const std::function<void()>& onDone) const;

  // The slide as an image of 390 x 780 points at `scale` (1170 x 2340 pixels
  // at 3), transparent outside the frame's rounded corners.
  QImage image(qreal scale = 3.0) const;
};

}  // namespace murmela
