// Separators in ANSI paths, also in East Asian double-byte code pages.
#include "core/Path.h"

namespace kiv::path {

std::size_t LastSeparator(std::string_view path, std::string_view separators, LeadByteTest isLeadByte) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(path[i])))
            ++i;  // the second byte belongs to the character, whatever its value
        else if (separators.find(path[i]) != std::string_view::npos)
            last = i;
    }
    return last;
}

std::size_t NextSeparator(std::string_view path, std::size_t from, LeadByteTest isLeadByte) {
    for (std::size_t i = from; i < path.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
        else if (path[i] == '\\')
            return i;
    }
    return std::string_view::npos;
}

std::string WithoutTrailingSeparators(std::string_view folder, LeadByteTest isLeadByte) {
    for (;;) {
        const bool isRoot = folder == "\\" || (folder.size() == 3 && folder[1] == ':');
        if (isRoot || folder.empty() || LastSeparator(folder, "\\", isLeadByte) != folder.size() - 1)
            return std::string(folder);
        folder.remove_suffix(1);
    }
}

}  // namespace kiv::path
