// The AutoCAD product page: the user picks one of several products by name.
#pragma once

#include "dialogs/WizardPage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kiv::dialogs {

class ProductSelectionPage : public WizardPage {
public:
    // daPage picks the template that names "Dorva AT" instead of TERVILO.
    ProductSelectionPage(HWND owner, bool daPage, std::vector<std::string> names);

    // Index into the names of the entry selected when Next was pressed; none otherwise.
    const std::optional<std::size_t>& Selected() const noexcept { return selected_; }

private:
    bool LoadControls() override;
    void SaveControls() override;
    void OnStart() override;

    std::vector<std::string> names_;
    std::optional<std::size_t> selected_;
};

}  // namespace kiv::dialogs
