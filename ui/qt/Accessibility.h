#pragma once

// What assistive technology is shown of the window, where Qt's defaults fall
// short: the window is a frame whose children come in reading order (task,
// formula, each instruction before its button, the answer after Calculate)
// with the frame lines left out as decoration; caption labels are named by
// their text as shown (no "&" marker). Installing it more than once is harmless.
void installAccessibility();
