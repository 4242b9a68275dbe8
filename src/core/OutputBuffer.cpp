// Bounded writes into the setup script's 260-byte buffers.
#include "core/OutputBuffer.h"

#include <cstring>

namespace kiv {

bool WriteOutput(char* buffer, const std::string& text) {
    if (buffer == nullptr || text.size() + 1 > kOutputBufferSize) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace kiv
