#pragma once

#include "analysis/IntelligenceProvider.h"

#include <memory>

namespace murmela {

// The process-wide slot of the configured text-generation provider, empty
// from start-up. Reads and writes are atomic with respect to each other; the
// lock is never held while a provider generates or while the log is written.
namespace IntelligenceRuntime {

// Stores the provider (nullptr empties the slot), then logs
// "Intelligence provider configured: " + its name, or "none".
void configure(std::shared_ptr<IntelligenceProvider> provider);

// A copy of the slot's current value. A step works with its copy throughout,
// so a configure() during the step does not affect it.
std::shared_ptr<IntelligenceProvider> provider();

}  // namespace IntelligenceRuntime
}  // namespace murmela
