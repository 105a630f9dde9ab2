#include "analysis/IntelligenceProvider.h"

#include "common/MurmelaError.h"

namespace murmela {

IntelligenceProvider::~IntelligenceProvider() = default;

QString describeProviderError(const std::exception& error) {
  if (const auto* known = dynamic_cast<const MurmelaError*>(&error)) return known->description();
  return QString::fromUtf8(error.what());
}

}  // namespace murmela
