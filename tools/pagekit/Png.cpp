// PNG encoding on zlib: one IDAT chunk, each row with the filter that leaves the smallest residues.
#include "pagekit/Image.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace pagekit {

namespace {

void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char type[4], const std::vector<unsigned char>& body) {
    PutBigEndian(out, static_cast<std::uint32_t>(body.size()));
    std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    uLong crc = ::crc32(0L, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    PutBigEndian(out, static_cast<std::uint32_t>(crc));
}

// Filters None, Sub and Up, whichever leaves the smallest residues (read as signed bytes): screenshots
// are mostly flat areas, where Sub or Up leave runs of zeros that deflate well.
void PutFilteredRow(std::vector<unsigned char>& out, const unsigned char* row, const unsigned char* above,
                    std::size_t stride) {
    auto residue = [&](int filter, std::size_t i) {
        int predicted = filter == 1 ? (i >= 3 ? row[i - 3] : 0) : filter == 2 ? (above != nullptr ? above[i] : 0) : 0;
        return static_cast<unsigned char>(row[i] - predicted);
    };
    int best = 0;
    long bestCost = -1;
    for (int filter = 0; filter < 3; ++filter) {
        long cost = 0;
        for (std::size_t i = 0; i < stride; ++i) cost += std::abs(static_cast<signed char>(residue(filter, i)));
        if (bestCost < 0 || cost < bestCost) {
            best = filter;
            bestCost = cost;
        }
    }
    out.push_back(static_cast<unsigned char>(best));
    for (std::size_t i = 0; i < stride; ++i) out.push_back(residue(best, i));
}

}  // namespace

std::vector<unsigned char> EncodePng(const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        return {};
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    std::vector<unsigned char> rgb;
    rgb.reserve(stride * image.height);
    for (COLORREF pixel : image.pixels) rgb.insert(rgb.end(), {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)});
    std::vector<unsigned char> filtered;
    filtered.reserve((stride + 1) * image.height);
    for (int y = 0; y < image.height; ++y)
        PutFilteredRow(filtered, &rgb[stride * y], y > 0 ? &rgb[stride * (y - 1)] : nullptr, stride);

    uLongf packedSize = ::compressBound(static_cast<uLong>(filtered.size()));
    std::vector<unsigned char> packed(packedSize);
    if (::compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()),
                    Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::vector<unsigned char> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBigEndian(header, static_cast<std::uint32_t>(image.width));
    PutBigEndian(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

bool SavePng(const Image& image, const std::string& path) {
    std::vector<unsigned char> png = EncodePng(image);
    if (png.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return out.good();
}

}  // namespace pagekit
