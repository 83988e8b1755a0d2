#pragma once
// Pictures of the program's resources. Each is drawn in four sizes (res/resource.h); a window
// takes the one drawn for the scale nearest its density.
#include "base/Canvas.h"
#include "win32/Gdi.h"

#include <vector>

namespace quillet::win32 {

// The bitmap resource `id` of the executable; an empty picture when there is none.
Bitmap LoadBitmapResource(int id);
// Every size of the picture `id` (its 100 % id), smallest first.
std::vector<Bitmap> LoadPictureSizes(int id);
// The picture `id`, designSize pixels square at 100 %, exactly as large as that at `dpi`:
// the size drawn for the nearest scale, stretched where the density lies between them.
GdiBitmap LoadPicture(int id, int designSize, int dpi);

} // namespace quillet::win32
