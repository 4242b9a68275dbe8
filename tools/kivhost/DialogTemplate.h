// Reads the caption of a dialog template resource, plain or extended (no Windows API).
#pragma once

#include <cstddef>
#include <string>

namespace kivhost {

// The caption as UTF-16 code units; false when the bytes are not a whole template header.
bool DialogCaption(const unsigned char* data, std::size_t size, std::u16string& caption);

}  // namespace kivhost
