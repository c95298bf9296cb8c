#pragma once

#include "WindowView.h"

// The decimal separator of the user's numeric locale, as the C library
// defines it for numbers written in Latin digits: the locale is the first of
// LC_ALL, LC_NUMERIC and LANG that is set, as for `locale decimal_point`.
// Empty where that locale is not installed (the window's rule then takes a
// point). The process's own locale is neither read nor changed.
form::DecimalSeparators userDecimalSeparators();
