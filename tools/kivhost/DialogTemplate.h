// Reads a dialog template resource, plain or extended: its caption and its controls (no Windows API).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kivhost {

struct DialogItem {
    std::u16string className;  // "Button", "Static", ... for the predefined classes
    std::uint16_t id = 0;      // the low word, as a control's id reads back
    std::uint32_t style = 0;
    std::u16string text;  // empty for a resource ordinal
};

struct DialogTemplate {
    std::u16string caption;
    std::vector<DialogItem> items;
};

// False when the bytes are not a whole template.
bool ParseDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate& dialog);

}  // namespace kivhost
