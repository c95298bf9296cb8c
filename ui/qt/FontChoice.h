#pragma once

#include "WindowTable.h"

#include <QFont>

// The QFont for a font of the layout. A Windows face that Debian lacks is
// replaced by installed stand-ins with its metrics, handed to the font system
// as one list of families so that it resolves them in a single lookup.
QFont fontFromSpec(const form::FontSpec &wanted);
