// An export's name as text, which compiles only for an export that the public header declares.
#pragma once

namespace kiv {

// decltype keeps it a constant expression also where the export is imported from the DLL.
template <typename Export>
constexpr const char* ExportName(const char* name) {
    return name;
}

}  // namespace kiv

#define KIV_EXPORT_NAME(name) ::kiv::ExportName<decltype(&::name)>(#name)
