#include "data/ContactSummary.h"

namespace murmela {

size_t qHash(const ContactSummary& summary, size_t seed) {
  QtPrivate::QHashCombine combine;
  seed = combine(seed, summary.handle);
  // The presence of a name is hashed too, so absent and empty differ.
  seed = combine(seed, summary.displayName.has_value());
  seed = combine(seed, summary.displayName.value_or(QString()));
  seed = combine(seed, summary.messageCount);
  seed = combine(seed, summary.firstMessage.secondsSinceReference());
  seed = combine(seed, summary.lastMessage.secondsSinceReference());
  return seed;
}

}  // namespace murmela
