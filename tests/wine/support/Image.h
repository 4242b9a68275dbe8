// Reads picture files back with the system's own decoder (GDI+), independent of the PNG writer under test.
#pragma once

#include "pagekit/Image.h"

#include <string>

namespace kivtest {

// An empty image when the file cannot be decoded.
pagekit::Image DecodeImageFile(const std::string& path);

}  // namespace kivtest
