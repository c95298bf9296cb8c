#pragma once

#include <cfenv>

#if defined(__SSE2_MATH__) || defined(_M_X64)
#include <xmmintrin.h>
#define VANTREL_SSE_FLAGS 1
#endif

namespace calc {

// The IEEE exception flags are sticky, so a run clears them first and then
// sees only what its own arithmetic raised.
//
// Where doubles are computed in SSE registers, their flags live in MXCSR
// alone; reading and writing it directly costs a few cycles, while the C
// library also saves and reloads the whole x87 environment on every clear.

// Through the C library: every target has it, at the cost of the x87 state.
namespace portable {

inline void clearFloatingPointFlags() noexcept
{
    std::feclearexcept(FE_ALL_EXCEPT);
}

// Invalid operation, division by zero or overflow (inexact and underflow are
// ordinary in a series of shrinking terms).
inline bool floatingPointFaultRaised() noexcept
{
    return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
}

} // namespace portable

#ifdef VANTREL_SSE_FLAGS
namespace sse {

inline constexpr unsigned kFaultFlags =
    _MM_EXCEPT_INVALID | _MM_EXCEPT_DIV_ZERO | _MM_EXCEPT_OVERFLOW;

inline void clearFloatingPointFlags() noexcept
{
    _mm_setcsr(_mm_getcsr() & ~unsigned{_MM_EXCEPT_MASK});
}

inline bool floatingPointFaultRaised() noexcept
{
    return (_mm_getcsr() & kFaultFlags) != 0;
}

} // namespace sse

using sse::clearFloatingPointFlags;
using sse::floatingPointFaultRaised;
#else
using portable::clearFloatingPointFlags;
using portable::floatingPointFaultRaised;
#endif

// The compiler does not model the flags: without this it may fold, drop or
// move an operation past the flag test that is meant to see its effect.
// Passing the result through an opaque barrier pins the operation before it.
inline double evaluated(double value) noexcept
{
#if defined(__GNUC__) && defined(__SSE2_MATH__)
    asm volatile("" : "+x"(value)::"memory");
#elif defined(__GNUC__)
    asm volatile("" : "+m"(value)::"memory");
#else
    volatile double pinned = value;
    value = pinned;
#endif
    return value;
}

} // namespace calc
