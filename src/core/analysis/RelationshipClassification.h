#pragma once

#include "data/RelationshipType.h"

namespace murmela {

// A relationship type with a confidence from 0 to 1, as the on-device
// classifier (and a generative provider, when one is configured) decides it.
struct RelationshipClassification {
  RelationshipType type = RelationshipType::casual;
  double confidence = 0.0;
  friend bool operator==(const RelationshipClassification&, const RelationshipClassification&) = default;
};

}  // namespace murmela
