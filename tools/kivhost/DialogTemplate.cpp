// DLGTEMPLATE and DLGTEMPLATEEX with their items, read byte by byte (little-endian, unaligned).
#include "DialogTemplate.h"

namespace kivhost {

namespace {

constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT; DS_SHELLFONT includes it

class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool Word(std::uint16_t& value) {
        if (pos_ + 2 > size_) return false;
        value = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }

    bool DoubleWord(std::uint32_t& value) {
        std::uint16_t low, high;
        if (!Word(low) || !Word(high)) return false;
        value = low | (static_cast<std::uint32_t>(high) << 16);
        return true;
    }

    bool Skip(std::size_t bytes) {
        if (pos_ + bytes > size_) return false;
        pos_ += bytes;
        return true;
    }

    // Items start on a 4-byte boundary of the resource.
    bool Align() { return Skip((4 - pos_ % 4) % 4); }

    // A zero-terminated UTF-16 string.
    bool String(std::u16string* text) {
        for (std::uint16_t unit;;) {
            if (!Word(unit)) return false;
            if (unit == 0) return true;
            if (text != nullptr) text->push_back(static_cast<char16_t>(unit));
        }
    }

    // Menu, class and title fields: nothing (0), an ordinal (0xFFFF, id) or a string.
    bool NameOrOrdinal(std::u16string* text, std::uint16_t* ordinal = nullptr) {
        std::uint16_t first;
        if (!Word(first)) return false;
        if (first == 0) return true;
        if (first == 0xFFFF) {
            std::uint16_t id;
            if (!Word(id)) return false;
            if (ordinal != nullptr) *ordinal = id;
            return true;
        }
        pos_ -= 2;
        return String(text);
    }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::u16string ClassOfOrdinal(std::uint16_t ordinal) {
    static const char16_t* const kClasses[] = {u"Button", u"Edit", u"Static", u"ListBox", u"ScrollBar", u"ComboBox"};
    if (ordinal >= 0x80 && ordinal < 0x80 + 6) return kClasses[ordinal - 0x80];
    std::u16string number;
    for (char c : "#" + std::to_string(ordinal)) number += static_cast<char16_t>(c);
    return number;
}

bool ReadItem(Reader& reader, bool extended, DialogItem& item) {
    std::uint32_t exStyle = 0, helpId = 0, id = 0;
    std::uint16_t id16 = 0;
    if (!reader.Align()) return false;
    bool header =
        extended ? reader.DoubleWord(helpId) && reader.DoubleWord(exStyle) && reader.DoubleWord(item.style) &&
                       reader.Skip(8) && reader.DoubleWord(id)
                 : reader.DoubleWord(item.style) && reader.DoubleWord(exStyle) && reader.Skip(8) && reader.Word(id16);
    if (!header) return false;
    item.id = static_cast<std::uint16_t>(extended ? id : id16);
    std::uint16_t ordinal = 0, extra = 0;
    if (!reader.NameOrOrdinal(&item.className, &ordinal)) return false;
    if (item.className.empty()) item.className = ClassOfOrdinal(ordinal);
    return reader.NameOrOrdinal(&item.text) && reader.Word(extra) && reader.Skip(extra);
}

}  // namespace

bool ParseDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate& dialog) {
    dialog = DialogTemplate();
    Reader reader(data, size);
    std::uint16_t version, signature, count;
    std::uint32_t style = 0, exStyle = 0, helpId = 0;
    if (!reader.Word(version) || !reader.Word(signature)) return false;
    bool extended = version == 1 && signature == 0xFFFF;
    if (extended) {
        if (!reader.DoubleWord(helpId) || !reader.DoubleWord(exStyle) || !reader.DoubleWord(style)) return false;
    } else {
        // The first four bytes were the style.
        style = version | (static_cast<std::uint32_t>(signature) << 16);
        if (!reader.DoubleWord(exStyle)) return false;
    }
    if (!reader.Word(count) || !reader.Skip(8)) return false;
    if (!reader.NameOrOrdinal(nullptr) || !reader.NameOrOrdinal(nullptr) || !reader.String(&dialog.caption))
        return false;
    if ((style & kSetFont) != 0) {
        // Point size; the extended form adds weight, italic and character set.
        if (!reader.Skip(extended ? 6 : 2) || !reader.String(nullptr)) return false;
    }
    dialog.items.resize(count);
    for (DialogItem& item : dialog.items)
        if (!ReadItem(reader, extended, item)) return false;
    return true;
}

}  // namespace kivhost
