#pragma once

#include "data/WrappedReport.h"

#include <QString>

#include <optional>

namespace murmela {

// What a share of one slide carries to the share sheet: the report, the
// slide's index and the conversation partner's handle when it is known.
struct SlideShareContext {
  WrappedReport report;
  int slideIndex = 0;
  std::optional<QString> contactHandle;
};

}  // namespace murmela
