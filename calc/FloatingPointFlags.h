#pragma once

#include <atomic>
#include <cfenv>
#include <cmath>

#if defined(__SSE2_MATH__) || defined(_M_X64)
#include <xmmintrin.h>
#define VANTREL_SSE_FLAGS 1
#endif

// WebAssembly has no exception flags, and its C library defines none.
#if defined(FE_INVALID) && defined(FE_DIVBYZERO) && defined(FE_OVERFLOW)
#define VANTREL_FENV_FLAGS 1
#endif

namespace calc {

// The faults are an invalid operation, a division by zero and an overflow
// (inexact and underflow are ordinary in a series of shrinking terms).
//
// Each way of finding them below has the same members: clearFaults() before
// a run, faultRaised() at its tests, and the calculation's three operations,
// sum, product and quotient, through which every floating-point operation of
// the series loop goes. A way sees only the operations routed through it.
// `FloatingPoint` is the way this build uses.

#if defined(VANTREL_SSE_FLAGS) || defined(VANTREL_FENV_FLAGS)

// The compiler does not model the flags: without this it may fold, drop or
// move an operation past the flag test that is meant to see its effect.
// Passing the result through an opaque barrier pins the operation before it.
// It clobbers no memory: that would cost the factorial's loop its registers
// (a third more time for the whole sum); flagsFence does it where the flags
// are read instead.
inline double evaluated(double value) noexcept
{
#if defined(__GNUC__) && defined(__SSE2_MATH__)
    asm volatile("" : "+x"(value));
#elif defined(__GNUC__)
    asm volatile("" : "+m"(value)::"memory");
#else
    volatile double pinned = value;
    value = pinned;
#endif
    return value;
}

// Before the flags are read or cleared. The compiler may treat reading them
// as reading memory: without a fence it could reuse an earlier read, or read
// them before the operations pinned above.
inline void flagsFence() noexcept
{
#if defined(__GNUC__)
    asm volatile("" ::: "memory");
#else
    std::atomic_signal_fence(std::memory_order_seq_cst);
#endif
}

// The hardware raises the IEEE exception flags as it computes; they are
// sticky, so a run clears them first and then sees only what its own
// arithmetic raised.
struct HardwareArithmetic
{
    static double sum(double a, double b) noexcept { return evaluated(a + b); }
    static double product(double a, double b) noexcept { return evaluated(a * b); }
    static double quotient(double a, double b) noexcept { return evaluated(a / b); }
};

#endif

#ifdef VANTREL_FENV_FLAGS
// The flags through the C library: every hardware target has it, at the cost
// of saving and reloading the whole x87 environment on every clear.
struct CLibraryFlags : HardwareArithmetic
{
    static void clearFaults() noexcept
    {
        flagsFence();
        std::feclearexcept(FE_ALL_EXCEPT);
    }

    static bool faultRaised() noexcept
    {
        flagsFence();
        return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
    }
};
#endif

#ifdef VANTREL_SSE_FLAGS
// Where doubles are computed in SSE registers their flags live in MXCSR
// alone, which is read and written directly in a few cycles.
struct SseFlags : HardwareArithmetic
{
    static constexpr unsigned kFaultFlags =
        _MM_EXCEPT_INVALID | _MM_EXCEPT_DIV_ZERO | _MM_EXCEPT_OVERFLOW;

    static void clearFaults() noexcept
    {
        flagsFence();
        _mm_setcsr(_mm_getcsr() & ~unsigned{_MM_EXCEPT_MASK});
    }

    static bool faultRaised() noexcept
    {
        flagsFence();
        return (_mm_getcsr() & kFaultFlags) != 0;
    }
};
#endif

// Where there are no flags to read, each operation's result shows its fault:
// a finite pair giving an infinity overflowed or divided a non-zero number by
// zero, and a NaN from operands that are not NaN is an invalid operation.
// This agrees with the hardware for every pair but those with a signalling
// NaN, which the calculation never makes.
class ResultChecks
{
public:
    static void clearFaults() noexcept { raised_ = false; }
    static bool faultRaised() noexcept { return raised_; }

    static double sum(double a, double b) noexcept { return checked(a, b, a + b); }
    static double product(double a, double b) noexcept { return checked(a, b, a * b); }
    static double quotient(double a, double b) noexcept { return checked(a, b, a / b); }

private:
    static double checked(double a, double b, double result) noexcept
    {
        const bool fault = std::isnan(result)
                               ? !std::isnan(a) && !std::isnan(b)
                               : std::isinf(result) && std::isfinite(a) && std::isfinite(b);
        raised_ = raised_ || fault;
        return result;
    }

    // It stands in for the flags, so it behaves like them: sticky until
    // cleared, and one per thread.
    static inline thread_local bool raised_ = false;
};

#if defined(VANTREL_SSE_FLAGS)
using FloatingPoint = SseFlags;
#elif defined(VANTREL_FENV_FLAGS)
using FloatingPoint = CLibraryFlags;
#else
using FloatingPoint = ResultChecks;
#endif

} // namespace calc
