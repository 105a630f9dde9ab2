#pragma once

#include "deck/SlideShareContext.h"
#include "deck/chrome/FooterMark.h"
#include "deck/chrome/ProgressBar.h"

#include <QRectF>
#include <QSizeF>

#include <functional>
#include <optional>

class QPainter;

namespace murmela {

class ShareSheetPresenter;

// What a slide frame answers for a point: only the footer's Share label takes clicks.
enum class SlideFrameElement { share };

// The chrome every slide stands in, on screen and in exported images: the
// cream background with its speckle texture, the progress bar 14 points from
// the top with 18 at the sides, the footer 18 points from the bottom, and
// then the slide's own content (which lays out its own margins), all clipped
// to the 390 x 780 page with 2-point continuous corners. Text that sets no
// colour is ink. Painting and hit-testing use the one layout.
struct SlideFrame {
  static constexpr QSizeF kSize{390.0, 780.0};
  static constexpr qreal kCornerRadius = 2.0;
  static constexpr qreal kProgressTop = 14.0;
  static constexpr qreal kSideInset = 18.0;
  static constexpr qreal kFooterBottom = 18.0;

  int index = 0;
  int total = 14;
  std::optional<SlideShareContext> shareContext;

  struct Layout {
    QRectF bounds;
    QRectF progressRow;
    FooterMark::Layout footer;
  };
  Layout layout() const;

  // What the slide's content paints, in the frame's coordinates.
  using Content = std::function<void(QPainter&)>;
  struct Interaction {
    bool sharePressed = false;
  };
  // Paints background, progress bar and footer, then the content, into the
  // painter's 390 x 780 points from (0, 0).
  void paint(QPainter& painter, const Content& content, const Interaction& interaction) const;
  void paint(QPainter& painter, const Content& content) const { paint(painter, content, Interaction{}); }

  std::optional<SlideFrameElement> hitTest(QPointF point) const;
  // Carries out a click on an element (Share: the presenter's pending context).
  void activate(SlideFrameElement element, ShareSheetPresenter& presenter) const;

  ProgressBar progressBar() const { return {index, total}; }
  FooterMark footerMark() const { return {shareContext}; }
};

}  // namespace murmela
