#pragma once

#include "RuntimeError.h"

#include <cstdint>
#include <limits>

namespace calc {

// Every integer variable of the calculation is a 16-bit signed value whose
// additions are checked. The caller assigns the result only when this returns,
// so a failed addition leaves its variable unchanged.
constexpr std::int16_t addChecked(std::int16_t a, std::int16_t b)
{
    const int sum = int{a} + int{b};
    if (sum < std::numeric_limits<std::int16_t>::min() ||
        sum > std::numeric_limits<std::int16_t>::max())
        raise(ErrorKind::Overflow);
    return static_cast<std::int16_t>(sum);
}

} // namespace calc
