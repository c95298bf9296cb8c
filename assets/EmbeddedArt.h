#pragma once

// The formula picture and the icon's two images, compiled into the program
// as pixels (generated at build time from the text pixel maps), so that
// showing them decodes no file.

#include <cstdint>

namespace art {

struct Image
{
    int width;
    int height;
    const std::uint32_t *argb; // row-major from the top; alpha 0 is transparent
};

extern const Image formula; // 77 x 45
extern const Image icon32;  // 32 x 32
extern const Image icon16;  // 16 x 16

} // namespace art
