#include "FixedDecimal.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>

namespace calc {

namespace {

// An unsigned integer wide enough for the largest double times 10^9:
// 2^1024 * 10^9 < 2^1054, so 34 limbs of 32 bits.
class WideUnsigned
{
public:
    explicit WideUnsigned(std::uint64_t value) noexcept
    {
        limbs_[0] = static_cast<std::uint32_t>(value);
        limbs_[1] = static_cast<std::uint32_t>(value >> 32);
        used_ = limbs_[1] != 0 ? 2 : (limbs_[0] != 0 ? 1 : 0);
    }

    void multiplyBy(std::uint32_t factor) noexcept
    {
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < used_; ++i) {
            const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
            limbs_[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
            limbs_[used_++] = static_cast<std::uint32_t>(carry);
        trim();
    }

    void shiftLeft(unsigned bits) noexcept
    {
        const std::size_t whole = bits / 32;
        const unsigned part = bits % 32;
        if (used_ == 0)
            return;
        used_ += whole + 1;
        for (std::size_t i = used_; i-- > 0;) {
            const std::uint32_t high = i >= whole ? limbs_[i - whole] : 0;
            const std::uint32_t low = i >= whole + 1 ? limbs_[i - whole - 1] : 0;
            limbs_[i] = part == 0 ? high : (high << part) | (low >> (32 - part));
        }
        trim();
    }

    // Divides by 2^bits and rounds the quotient half to even, looking at
    // every bit shifted out.
    void shiftRightRounded(unsigned bits) noexcept
    {
        if (bits == 0)
            return;
        const bool halfBit = bit(bits - 1);
        bool belowHalf = false;
        for (unsigned i = 0; i + 1 < bits && !belowHalf; ++i)
            belowHalf = bit(i);
        shiftRight(bits);
        if (halfBit && (belowHalf || bit(0)))
            addOne();
    }

    bool isZero() const noexcept { return used_ == 0; }

    // Divides by `divisor` and returns the remainder.
    std::uint32_t divideBy(std::uint32_t divisor) noexcept
    {
        std::uint64_t remainder = 0;
        for (std::size_t i = used_; i-- > 0;) {
            const std::uint64_t current = (remainder << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        trim();
        return static_cast<std::uint32_t>(remainder);
    }

private:
    bool bit(unsigned index) const noexcept
    {
        const std::size_t limb = index / 32;
        return limb < used_ && ((limbs_[limb] >> (index % 32)) & 1u) != 0;
    }

    void shiftRight(unsigned bits) noexcept
    {
        const std::size_t whole = bits / 32;
        const unsigned part = bits % 32;
        for (std::size_t i = 0; i < used_; ++i) {
            const std::uint32_t low = i + whole < used_ ? limbs_[i + whole] : 0;
            const std::uint32_t high = i + whole + 1 < used_ ? limbs_[i + whole + 1] : 0;
            limbs_[i] = part == 0 ? low : (low >> part) | (high << (32 - part));
        }
        trim();
    }

    void addOne() noexcept
    {
        for (std::size_t i = 0; i < used_; ++i)
            if (++limbs_[i] != 0)
                return;
        limbs_[used_++] = 1;
    }

    void trim() noexcept
    {
        while (used_ > 0 && limbs_[used_ - 1] == 0)
            --used_;
    }

    std::array<std::uint32_t, 34> limbs_{};
    std::size_t used_ = 0;
};

constexpr std::array<std::uint32_t, 10> kPowersOfTen = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// The decimal digits of `number`, most significant first; "0" for zero.
std::string decimalDigits(WideUnsigned number)
{
    std::array<char, 320> buffer{}; // 2^1054 has 318 decimal digits
    char *first = buffer.data() + buffer.size();
    do {
        std::uint32_t chunk = number.divideBy(kPowersOfTen[9]);
        for (int i = 0; i < 9 && (chunk != 0 || !number.isZero()); ++i) {
            *--first = static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    } while (!number.isZero());
    if (first == buffer.data() + buffer.size())
        *--first = '0';
    return {first, buffer.data() + buffer.size()};
}

} // namespace

std::string fixedDecimal(double value, int decimals)
{
    assert(decimals >= 0 && decimals <= 9);
    std::uint64_t bits = 0; // as std::bit_cast, which not every standard library has yet
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const auto biasedExponent = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);

    std::string text = negative ? "-" : "";
    if (biasedExponent == 0x7ff) {
        text += fraction == 0 ? "inf" : "nan";
        return text;
    }
    // value = significand * 2^exponent exactly; subnormals have no hidden bit.
    const std::uint64_t significand =
        biasedExponent == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int exponent = (biasedExponent == 0 ? 1 : biasedExponent) - 1075;

    // The value in units of 10^-decimals, rounded: significand * 10^decimals
    // * 2^exponent.
    WideUnsigned scaled(significand);
    scaled.multiplyBy(kPowersOfTen[static_cast<std::size_t>(decimals)]);
    if (exponent >= 0)
        scaled.shiftLeft(static_cast<unsigned>(exponent));
    else
        scaled.shiftRightRounded(static_cast<unsigned>(-exponent));

    std::string digits = decimalDigits(scaled);
    const auto width = static_cast<std::size_t>(decimals) + 1;
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    text += std::string_view(digits).substr(0, digits.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) {
        text += '.';
        text += std::string_view(digits).substr(digits.size() - static_cast<std::size_t>(decimals));
    }
    return text;
}

} // namespace calc
