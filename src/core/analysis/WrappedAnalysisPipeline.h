#pragma once

#include "analysis/ProcessingProgress.h"
#include "data/ImportedChat.h"
#include "data/WrappedReport.h"

#include <functional>
#include <optional>
#include <stop_token>

namespace murmela {

// Turns one imported conversation into a report on the device: every analyzer
// in a fixed order, each generative step asked first and its heuristic used
// when it gives nothing. The report carries no insight copy; the hosted
// analysis completes it. Keeps no state between calls.
class WrappedAnalysisPipeline {
 public:
  // Called synchronously on the pipeline's thread; the pipeline goes on when it returns.
  using ProgressCallback = std::function<void(const ProcessingProgress&)>;

  struct Options {
    // The photos shared, when the caller knows better than the messages' own
    // photo flags (a Messages database conversation passes its attachment count).
    std::optional<qint64> photosShared;
  };

  // Runs on the calling (worker) thread. Reports aggregating 0.25, analyzingTone
  // 0.7, generatingSummary 0.92 and 1.0. Checks `stop` after the photo count,
  // after the firsts and after the arguments, and throws CancellationError
  // there when a stop was requested; throws nothing else.
  WrappedReport buildReport(const ImportedChat& chat, const ProgressCallback& progress, std::stop_token stop = {},
                            Options options = {}) const;
};

}  // namespace murmela
