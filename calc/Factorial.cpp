#include "Factorial.h"

#include "Int16.h"

namespace calc {

Variant f(const std::int16_t &k)
{
    Variant result(std::int16_t{1});
    const std::int16_t bound = k;
    std::int16_t i = 1;
    // One loop: test, multiply, step. It is written as three runs, one per
    // kind of the running product, so that inside each run the kind is known
    // and the multiplication compiles to a single branch-free step; the kind
    // changes at most twice, and only at the end of a run.
    const auto multiplyWhileKindIs = [&](Variant::Kind kind) {
        while (i <= bound && result.kind() == kind) {
            result = result.times(i);
            i = addChecked(i, 1);
        }
    };
    multiplyWhileKindIs(Variant::Kind::Integer);
    multiplyWhileKindIs(Variant::Kind::Long);
    multiplyWhileKindIs(Variant::Kind::Double);
    return result;
}

} // namespace calc
