#pragma once

#include "common/Date.h"

#include <QHashFunctions>
#include <QString>

#include <optional>

namespace murmela {

// One conversation partner offered for selection. Its identity is the handle;
// equality and hashing cover all five fields (an absent name differs from an
// empty one), so a summary whose name was filled in no longer equals its copy.
struct ContactSummary {
  QString handle;
  std::optional<QString> displayName;
  qint64 messageCount = 0;
  Date firstMessage;
  Date lastMessage;

  const QString& id() const { return handle; }

  friend bool operator==(const ContactSummary& a, const ContactSummary& b) {
    return a.handle == b.handle && a.displayName == b.displayName && a.messageCount == b.messageCount &&
           a.firstMessage == b.firstMessage && a.lastMessage == b.lastMessage;
  }
};

size_t qHash(const ContactSummary& summary, size_t seed = 0);

}  // namespace murmela
