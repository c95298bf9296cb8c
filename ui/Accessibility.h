#pragma once

// Names and roles for assistive technology where Qt's defaults fall short:
// caption labels are named by their text as shown (no "&" marker), and the
// frame lines are separators. Installing it more than once is harmless.
void installAccessibility();
