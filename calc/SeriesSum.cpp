#include "SeriesSum.h"

#include "Factorial.h"

namespace calc {

double seriesTerm(std::int16_t k)
{
    const Variant a = f(k);
    const std::int16_t k4 = addChecked(k, 4);
    const Variant b = f(k4);
    return a / b;
}

SeriesSum sumSeries()
{
    return sumSeriesFrom(SeriesState{}, seriesTerm);
}

} // namespace calc
