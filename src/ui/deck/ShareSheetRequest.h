#pragma once

#include "deck/SlideShareContext.h"

#include <functional>

class QWidget;

namespace murmela {

class ToastManager;

// What the deck hands the share sheet it shows over a slide.
struct ShareSheetRequest {
  // A share action that needs no link: it runs with the context the sheet
  // was opened with and the deck's toasts.
  using Action = std::function<void(const SlideShareContext& context, ToastManager& toast)>;

  SlideShareContext context;      // the slide that asked, its report and contact handle
  ToastManager* toast = nullptr;  // the deck's, for the sheet's own messages
  std::function<void()> dismiss;  // closes the sheet (it fades out)
  // Runs a chosen action, then closes the sheet.
  std::function<void(const Action& action)> select;
};

// Builds the sheet for a request, as a child of `parent` filling it.
using ShareSheetFactory = std::function<QWidget*(const ShareSheetRequest& request, QWidget* parent)>;

}  // namespace murmela
