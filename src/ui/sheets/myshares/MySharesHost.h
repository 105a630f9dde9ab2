#pragma once

#include "kit/widgets/HostSignal.h"
#include "sharelinks/ShareCacheEntry.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// What the "My shares" sheet reads and asks of the application.
struct MySharesHost {
  std::function<const QList<ShareCacheEntry>&()> activeShares;  // the live share links
  std::function<std::optional<QString>()> shareRevocationError;
  std::function<void()> refreshActiveShares;
  HostSignal changed;  // the links or the revocation error changed
};

}  // namespace murmela
