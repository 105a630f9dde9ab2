#pragma once

#include <QString>

namespace murmela {

// A double with exactly `decimals` digits after the point, in the C library's
// rounding (exact binary ties go to even: 0.625 -> "0.62") and always with a
// "." whatever the user's locale. Non-finite values give "nan", "inf" or "-inf".
QString fixedDecimal(double value, int decimals);

}  // namespace murmela
