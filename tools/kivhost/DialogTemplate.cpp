// Caption of a DLGTEMPLATE or DLGTEMPLATEEX, read byte by byte (little-endian, unaligned).
#include "DialogTemplate.h"

#include <cstdint>

namespace kivhost {

namespace {

class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool Word(std::uint16_t& value) {
        if (pos_ + 2 > size_) return false;
        value = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }

    bool Skip(std::size_t bytes) {
        if (pos_ + bytes > size_) return false;
        pos_ += bytes;
        return true;
    }

    // A zero-terminated UTF-16 string.
    bool String(std::u16string* text) {
        for (std::uint16_t unit;;) {
            if (!Word(unit)) return false;
            if (unit == 0) return true;
            if (text != nullptr) text->push_back(static_cast<char16_t>(unit));
        }
    }

    // Menu and class fields: nothing (0), an ordinal (0xFFFF, id) or a string.
    bool NameOrOrdinal() {
        std::uint16_t first;
        if (!Word(first)) return false;
        if (first == 0) return true;
        if (first == 0xFFFF) return Skip(2);
        return String(nullptr);
    }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

bool DialogCaption(const unsigned char* data, std::size_t size, std::u16string& caption) {
    caption.clear();
    Reader reader(data, size);
    std::uint16_t version, signature;
    if (!reader.Word(version) || !reader.Word(signature)) return false;
    bool extended = version == 1 && signature == 0xFFFF;
    // Extended: help id, extended style, style; plain: style, extended style (already 4 bytes in).
    if (!reader.Skip(extended ? 12 : 4)) return false;
    // Item count, x, y, cx, cy.
    if (!reader.Skip(10)) return false;
    return reader.NameOrOrdinal() && reader.NameOrOrdinal() && reader.String(&caption);
}

}  // namespace kivhost
