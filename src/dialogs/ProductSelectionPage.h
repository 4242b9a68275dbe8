// The AutoCAD product page: the user picks one of several products by name.
#pragma once

#include "dialogs/WizardPage.h"

#include <string>
#include <vector>

namespace kiv::dialogs {

class ProductSelectionPage : public WizardPage {
public:
    // daPage picks the template that names "Dorva AT" instead of TERVILO.
    ProductSelectionPage(HWND owner, bool daPage, std::vector<std::string> names);

    // The entry selected when Next was pressed; empty otherwise.
    const std::string& SelectedName() const noexcept { return selectedName_; }

private:
    bool LoadControls() override;
    void SaveControls() override;
    void OnStart() override;

    std::vector<std::string> names_;
    std::string selectedName_;
};

}  // namespace kiv::dialogs
