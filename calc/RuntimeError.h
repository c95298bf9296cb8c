#pragma once

#include <exception>
#include <string_view>

namespace calc {

// The ways a checked operation of the calculation can fail.
enum class ErrorKind
{
    Overflow,      // a 16-bit counter or the factorial left its range
    FloatingPoint, // an invalid, divide-by-zero or overflow flag was raised
};

constexpr std::string_view errorKindName(ErrorKind kind) noexcept
{
    switch (kind) {
    case ErrorKind::Overflow:
        return "Overflow";
    case ErrorKind::FloatingPoint:
        return "FloatingPoint";
    }
    return "Unknown";
}

// The one failure type of the calculation. Nothing inside the calculation
// catches it; the window's event dispatch reports it and ends the program.
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(ErrorKind kind) noexcept : kind_(kind) {}

    ErrorKind kind() const noexcept { return kind_; }
    const char *what() const noexcept override { return errorKindName(kind_).data(); }

private:
    ErrorKind kind_;
};

// Throws RuntimeError(kind). Kept out of line so that the checked operations
// that call it stay small enough to inline.
[[noreturn]] void raise(ErrorKind kind);

} // namespace calc
