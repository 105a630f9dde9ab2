#pragma once

#include "common/Date.h"

namespace murmela {

// Whether a date can be put on the calendar at all: a finite instant within
// about 9,500 years of 2001. Charts skip a date that is not, rather than
// compute calendar fields from it.
bool isCalendarPlaceable(Date date);

}  // namespace murmela
