#pragma once

#include "app/PastWrap.h"
#include "kit/widgets/HostSignal.h"
#include "sharelinks/ShareCacheEntry.h"
#include "sheets/myshares/MySharesHost.h"

#include <QList>

#include <functional>
#include <optional>

namespace murmela {

// What the home screen reads and asks of the application; its "My shares"
// sheet has a host of its own.
struct HomeHost {
  std::function<const QList<PastWrap>&()> pastWraps;  // the saved reports, newest first
  std::function<void()> reloadPastWraps;              // lists the saved reports afresh
  std::function<void()> beginNewMurmela;
  std::function<void(const PastWrap& wrap)> openPastWrap;
  std::function<void(const ShareCacheEntry& entry)> revokeShare;
  std::function<void()> resetAppToFirstRun;
  HostSignal changed;  // the saved reports or the share links changed
  MySharesHost shares;
  // The last run's error (a report that could not be saved, for one): shown
  // over the screen until the user dismisses it.
  std::function<std::optional<QString>()> processingError;
  std::function<void()> dismissProcessingError;
  HostSignal processingErrorChanged;
};

}  // namespace murmela
