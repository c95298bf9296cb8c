#include "FixedDecimal.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>

// Where the standard library can print doubles, its text is the reference:
// the same bytes for every double, whatever the exponent.

namespace {

std::string standardFixed(double value, int decimals)
{
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return {buffer.data(), result.ptr};
}

} // namespace

TEST(FixedDecimalAgreement, AgreesWithToCharsOnRandomDoubles)
{
    std::mt19937_64 random(20261208); // fixed: a failure can be replayed
    std::uniform_int_distribution<std::uint64_t> anyBits;
    std::uniform_real_distribution<double> small(0.0, 1000.0);
    std::uniform_int_distribution<int> decimals(0, 9);
    std::uniform_int_distribution<std::int64_t> hundredThousandths(0, 10'000'000'000);
    int disagreements = 0;
    for (int i = 0; i < 300'000 && disagreements < 10; ++i) {
        double value = 0;
        switch (i % 4) {
        case 0: // any bit pattern: huge, tiny, subnormal, infinite, NaN
            value = std::bit_cast<double>(anyBits(random));
            break;
        case 1: // the answer's own range
            value = small(random);
            break;
        case 2: // near or on a tie at five decimals
            value = (static_cast<double>(hundredThousandths(random)) + 0.5) / 100000.0;
            break;
        default: // small multiples of a power of two: exact ties at many places
            value = std::ldexp(static_cast<double>(hundredThousandths(random) % 4096),
                               -static_cast<int>(hundredThousandths(random) % 24));
            break;
        }
        const int places = i % 2 == 0 ? 5 : decimals(random);
        const std::string expected = standardFixed(value, places);
        const std::string actual = calc::fixedDecimal(value, places);
        if (actual != expected) {
            ++disagreements;
            ADD_FAILURE() << std::hexfloat << value << " at " << places << " places: " << actual
                          << " instead of " << expected;
        }
    }
}
