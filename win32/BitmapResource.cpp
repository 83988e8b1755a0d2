#include "win32/BitmapResource.h"

#include "win32/Gdi.h"

namespace quillet::win32 {

Bitmap LoadBitmapResource(int id) {
    static_assert(sizeof(Color) == 4, "read straight from 32-bit pixels");
    const GdiBitmap loaded(static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!loaded || !GetObjectA(loaded.get(), sizeof info, &info)) return {};

    Bitmap bitmap{int(info.bmWidth), int(info.bmHeight),
                  std::vector<Color>(std::size_t(info.bmWidth) * std::size_t(info.bmHeight))};
    BITMAPINFO format = TopDownFormat(info.bmWidth, info.bmHeight);
    const MemoryDc dc(nullptr);
    if (!GetDIBits(dc.get(), loaded.get(), 0, UINT(info.bmHeight), bitmap.pixels.data(), &format,
                   DIB_RGB_COLORS))
        return {};
    for (Color& pixel : bitmap.pixels) pixel.rgb &= 0xFFFFFF;
    return bitmap;
}

} // namespace quillet::win32
