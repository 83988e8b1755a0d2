#pragma once
// Pictures of the program's resources, read into memory for the canvas.
#include "base/Canvas.h"

namespace quillet::win32 {

// The bitmap resource `id` of the executable; an empty picture when there is none.
Bitmap LoadBitmapResource(int id);

} // namespace quillet::win32
