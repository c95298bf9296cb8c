#pragma once

#include <string>

// The user's decimal separator from the system's locale settings, by the
// window's rule (form::usableDecimalSeparator).
std::u16string decimalSeparator();
