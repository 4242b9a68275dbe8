// The two update managers: CreateUpdateManager and CreateUpdateManagerATP.
#pragma once

namespace kiv::core {

enum class UpdateVariant {
    Standard,  // opening tables per kind in their own sub-folders, plus the library entries
    Atp,       // all tables in the opening-data folder, and every other ".cfg" rewritten too
};

}  // namespace kiv::core
