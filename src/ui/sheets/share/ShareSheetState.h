#pragma once

#include "sharelinks/ShareWireRecords.h"
#include "sharing/ShareDestination.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

namespace murmela {

// What the share sheet holds while it is shown. Every opening starts as
// below: the whole deck, no link, no error, nothing being made.
struct ShareSheetState {
  ShareMode mode = ShareMode::slideshow;
  bool isGeneratingLink = false;
  std::optional<ShareLinkGenerationResult> generatedLink;  // a value shows the link page
  std::optional<QString> generationError;
  qreal errorScroll = 0.0;                  // how far a long failure is scrolled in its box
  std::optional<qreal> errorHeightLimit{};  // set by the layout: the failure's box, when the card would not fit
  int focusedSocial = 0;                    // the social tile the chevrons last moved to
  qreal socialOffset = 0.0;                 // how far the social row is scrolled
  bool shareMenuOpen = false;
};

// Everything on the sheet that takes a click or the keyboard focus.
enum class SheetElement {
  backdrop,
  close,
  back,
  modeThisSlide,
  modeSlideshow,
  chevronLeft,
  chevronRight,
  tile,  // with the tile's position in the social row
  generateLink,
  download,
  copy,
  copyLink,
  shareLink,
  menuCopyLink,
  menuOpenInBrowser,
  menuEmailLink,
};

struct SheetTarget {
  SheetElement element;
  int index = -1;
  friend bool operator==(const SheetTarget&, const SheetTarget&) = default;
};

struct SheetTargetRect {
  SheetTarget target;
  QRectF rect;
  qreal cornerRadius = 0.0;  // for the focus ring (negative: a capsule)
};

// The pointer and keyboard over the sheet.
struct SheetInteraction {
  std::optional<SheetTarget> hovered{}, pressed{}, focused{};
};

}  // namespace murmela
