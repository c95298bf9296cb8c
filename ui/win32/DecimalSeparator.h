#pragma once

#include "WindowView.h"

// The decimal separators of the user's locale: as the user set it, and the
// locale's own. The window decides which it writes with.
form::DecimalSeparators userDecimalSeparators();
