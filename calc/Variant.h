#pragma once

#include "FloatingPointFlags.h"
#include "RuntimeError.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace calc {

// A number tagged with its kind. The running product of the factorial starts
// as a 16-bit Integer and widens to Long, then Double, as it grows; it never
// narrows again. The multiplication is inline: the factorial loop calls it for
// every factor, and the kind test then costs no more than a branch.
class Variant
{
public:
    enum class Kind
    {
        Integer, // 16-bit signed
        Long,    // 32-bit signed
        Double,  // IEEE 754 binary64, always finite
    };

    constexpr explicit Variant(std::int16_t value) noexcept : kind_(Kind::Integer), integer_(value)
    {}

    constexpr Kind kind() const noexcept { return kind_; }

    // Exact for Integer and Long.
    constexpr double toDouble() const noexcept
    {
        return kind_ == Kind::Double ? real_ : static_cast<double>(integer_);
    }

    // The exact product in the narrowest kind the widening rule allows.
    // Throws RuntimeError(Overflow) when a Double product leaves the double
    // range; *this is not changed then.
    constexpr Variant times(std::int16_t factor) const
    {
        switch (kind_) {
        case Kind::Integer: {
            // Two 16-bit values always multiply within 32 bits.
            const std::int32_t product = integer_ * factor;
            return Variant(fits<std::int16_t>(product) ? Kind::Integer : Kind::Long, product);
        }
        case Kind::Long: {
            const std::int64_t product = std::int64_t{integer_} * factor;
            if (fits<std::int32_t>(product))
                return Variant(Kind::Long, static_cast<std::int32_t>(product));
            return Variant(FloatingPoint::product(static_cast<double>(integer_), factor));
        }
        case Kind::Double:
            break;
        }
        const double product = FloatingPoint::product(real_, factor);
        if (!(std::fabs(product) <= std::numeric_limits<double>::max()))
            raise(ErrorKind::Overflow);
        return Variant(product);
    }

private:
    constexpr Variant(Kind kind, std::int32_t value) noexcept : kind_(kind), integer_(value) {}
    constexpr explicit Variant(double value) noexcept : kind_(Kind::Double), real_(value) {}

    template <typename Narrow, typename Wide> static constexpr bool fits(Wide value) noexcept
    {
        return value >= std::numeric_limits<Narrow>::min() &&
               value <= std::numeric_limits<Narrow>::max();
    }

    Kind kind_;
    std::int32_t integer_ = 0; // Integer and Long
    double real_ = 0.0;        // Double
};

// Both operands converted to double and divided.
inline double operator/(const Variant &a, const Variant &b) noexcept
{
    return FloatingPoint::quotient(a.toDouble(), b.toDouble());
}

} // namespace calc
