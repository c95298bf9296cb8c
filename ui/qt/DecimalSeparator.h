#pragma once

#include <string>

// The decimal separator of the user's numeric locale, in UTF-8, as the C
// library defines it for numbers written in Latin digits: the locale is the
// first of LC_ALL, LC_NUMERIC and LANG that is set, as for `locale
// decimal_point`. Where that locale is not installed, the C locale's ".".
// The process's own locale is neither read nor changed.
std::string userDecimalSeparator();
