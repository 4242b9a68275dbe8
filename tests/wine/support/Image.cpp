// GDI+ decoding of test screenshots.
#include "support/Image.h"

#include <windows.h>

#include <gdiplus.h>

namespace kivtest {

pagekit::Image DecodeImageFile(const std::string& path) {
    using namespace Gdiplus;
    pagekit::Image image;
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return image;
    std::wstring wide(path.begin(), path.end());
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromFile(wide.c_str(), &bitmap) == Ok) {
        UINT width = 0, height = 0;
        DllExports::GdipGetImageWidth(bitmap, &width);
        DllExports::GdipGetImageHeight(bitmap, &height);
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) {
                ARGB argb = 0;
                DllExports::GdipBitmapGetPixel(bitmap, static_cast<INT>(x), static_cast<INT>(y), &argb);
                image.pixels.push_back(RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF));
            }
        }
        DllExports::GdipDisposeImage(bitmap);
    }
    GdiplusShutdown(token);
    return image;
}

}  // namespace kivtest
