// Captured window pixels and their PNG encoding.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace pagekit {

// Pixels as COLORREF, rows top to bottom; empty when nothing could be captured.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// 8-bit RGB PNG, deflated with zlib; empty for an empty image or when zlib fails.
std::vector<unsigned char> EncodePng(const Image& image);
bool SavePng(const Image& image, const std::string& path);

}  // namespace pagekit
