#include "win32/BitmapResource.h"

#include "win32/Gdi.h"

namespace quillet::win32 {

quillet::Bitmap LoadBitmapResource(int id) {
    static_assert(sizeof(Color) == 4, "read straight from 32-bit pixels");
    const win32::Bitmap loaded(static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!loaded || !GetObjectA(loaded.get(), sizeof info, &info)) return {};

    quillet::Bitmap bitmap{
        int(info.bmWidth), int(info.bmHeight),
        std::vector<Color>(std::size_t(info.bmWidth) * std::size_t(info.bmHeight))};
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight; // rows from the top
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    const MemoryDc dc(nullptr);
    // A 32-bit pixel in memory is blue, green, red, unused: as a number, 0x00RRGGBB.
    if (!GetDIBits(dc.get(), loaded.get(), 0, UINT(info.bmHeight), bitmap.pixels.data(), &format,
                   DIB_RGB_COLORS))
        return {};
    for (Color& pixel : bitmap.pixels) pixel.rgb &= 0xFFFFFF;
    return bitmap;
}

} // namespace quillet::win32
