#pragma once

#include "LayoutTable.h"

#include <QFont>

// The QFont for a font of the layout. A face that is not installed is
// replaced by one that is and that covers the character set it asks for.
QFont fontFromSpec(const FontSpec &wanted);
