#pragma once

#include "GdiHandles.h"
#include "LayoutTable.h"

#include <windows.h>

// `wanted` at `dpi` dots per inch: its own face where that face has the size
// (a bitmap face such as MS Sans Serif has cells of only a few sizes), else a
// scalable face of the same widths, rather than a smaller cell.
UniqueFont createFont(const form::FontSpec &wanted, int dpi);

// What the system made of `font`.
TEXTMETRICW textMetrics(HFONT font);
