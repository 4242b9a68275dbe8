// Window screenshots for kivhost --screenshots.
#include "Screenshot.h"

#include "frame/Handles.h"

#include <cstdint>
#include <fstream>

namespace kivhost {

namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

bool SaveWindowBitmap(HWND window, const std::string& path) {
    RECT rect;
    if (!::GetWindowRect(window, &rect)) return false;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    // PrintWindow gives a blank picture under Wine; the window's own DC does not.
    HDC windowDc = ::GetWindowDC(window);
    if (windowDc == nullptr) return false;
    kiv::ScopeExit releaseDc([&] { ::ReleaseDC(window, windowDc); });

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    kiv::UniqueGdiObject dib(::CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    kiv::UniqueMemoryDc memory(::CreateCompatibleDC(windowDc));
    if (!dib || !memory || bits == nullptr) return false;
    HGDIOBJ previous = ::SelectObject(memory.get(), dib.get());
    BOOL copied = ::BitBlt(memory.get(), 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    ::SelectObject(memory.get(), previous);
    ::GdiFlush();
    if (!copied) return false;

    std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
    std::string header = "BM";
    PutLittleEndian(header, 14 + sizeof(BITMAPINFOHEADER) + imageSize, 4);
    PutLittleEndian(header, 0, 4);
    PutLittleEndian(header, 14 + sizeof(BITMAPINFOHEADER), 4);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
    out.write(static_cast<const char*>(bits), imageSize);
    return out.good();
}

}  // namespace kivhost
