#pragma once

#include "data/WrappedReport.h"

namespace murmela::test {

// A report with every field filled, every optional present, and text with
// slashes, quotes and characters beyond ASCII.
WrappedReport fullReport();
// The same report with the four optionals absent and every list empty.
WrappedReport minimalReport();

}  // namespace murmela::test
