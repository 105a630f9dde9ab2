#include "data/ContactSummary.h"

namespace murmela {

size_t qHash(const ContactSummary& summary, size_t seed) {
  // The presence of a name is hashed too, so absent and empty differ.
  return qHashMulti(seed, summary.handle, summary.displayName.has_value(), summary.displayName.value_or(QString()),
                    summary.messageCount, summary.firstMessage.secondsSinceReference(),
                    summary.lastMessage.secondsSinceReference());
}

}  // namespace murmela
