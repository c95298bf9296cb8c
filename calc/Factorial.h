#pragma once

#include "Variant.h"

#include <cstdint>

namespace calc {

// The factorial 1 * 2 * ... * k as a widening Variant; every k below 1 gives
// Integer 1. k is taken by reference, as the window's method passes the
// caller's variable, and is read exactly once.
// Throws RuntimeError(Overflow) from k = 171 on.
Variant f(const std::int16_t &k);

} // namespace calc
