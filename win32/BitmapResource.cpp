#include "win32/BitmapResource.h"

#include "base/Dpi.h"
#include "res/resource.h"

#include <cstdlib>

namespace quillet::win32 {
namespace {

// The densities the pictures are drawn for, as res/make_art.py draws them.
constexpr int PictureDpis[] = {96, 120, 144, 192};

HBITMAP LoadResourceBitmap(int id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The scale drawn nearest to dpi; between two, the larger, which shrinks rather than blurs.
int NearestScale(int dpi) {
    int best = 0;
    for (int k = 1; k < int(std::size(PictureDpis)); ++k)
        if (std::abs(PictureDpis[k] - dpi) <= std::abs(PictureDpis[best] - dpi)) best = k;
    return best;
}

} // namespace

Bitmap LoadBitmapResource(int id) {
    static_assert(sizeof(Color) == 4, "read straight from 32-bit pixels");
    const GdiBitmap loaded(LoadResourceBitmap(id));
    BITMAP info{};
    if (!loaded || !GetObjectW(loaded.get(), sizeof info, &info)) return {};

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

std::vector<Bitmap> LoadPictureSizes(int id) {
    std::vector<Bitmap> sizes;
    for (int k = 0; k < int(std::size(PictureDpis)); ++k)
        if (Bitmap b = LoadBitmapResource(id + k * PICTURE_SCALE_STEP); !b.pixels.empty())
            sizes.push_back(std::move(b));
    return sizes;
}

GdiBitmap LoadPicture(int id, int designSize, int dpi) {
    GdiBitmap drawn(LoadResourceBitmap(id + NearestScale(dpi) * PICTURE_SCALE_STEP));
    BITMAP info{};
    const int size = Scale(designSize, dpi);
    if (!drawn || !GetObjectW(drawn.get(), sizeof info, &info) ||
        (info.bmWidth == size && info.bmHeight == size))
        return drawn;
    // Pixel for pixel, never blended: the transparent colour must stay exactly that colour.
    const MemoryDc from(nullptr), to(nullptr);
    GdiBitmap stretched = CreateTopDownDib(to.get(), size, size).bitmap;
    const Selection source(from.get(), drawn.get()), target(to.get(), stretched.get());
    SetStretchBltMode(to.get(), COLORONCOLOR);
    StretchBlt(to.get(), 0, 0, size, size, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    return stretched;
}

} // namespace quillet::win32
