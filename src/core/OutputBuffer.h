// Caller-supplied output buffers of the exports.
#pragma once

#include <cstddef>
#include <string>

namespace kiv {

// Every output buffer is taken to hold the Windows path size: the public
// header's KIV_BUFFER_SIZE, which the core cannot include (it needs windows.h);
// the export guard asserts that the two agree.
constexpr std::size_t kOutputBufferSize = 260;

// Copies text with its terminating zero into buffer when it fits in
// kOutputBufferSize bytes; otherwise (or for a null buffer) writes nothing.
bool WriteOutput(char* buffer, const std::string& text);

}  // namespace kiv
