#pragma once

#include "LayoutTable.h"

#include <QFont>

// The QFont for a font of the layout. A face that is not installed is
// replaced by one that is and that covers the spec's character set.
QFont fontFromSpec(const FontSpec &spec);
