#pragma once

#include <QIcon>
#include <QImage>

// The artwork embedded in the program, loaded once by the window.

// The formula picture, 77 x 45 pixels at 96 dpi.
QImage formulaPicture();

// The program icon with both of its images, 32 x 32 and 16 x 16.
QIcon programIcon();
