// The AutoCAD product page: the user picks one of several products by name.
#pragma once

#include "dialogs/WizardPage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kiv::dialogs {

// A product the page offers: its registry key and the name it is listed by.
struct ProductEntry {
    std::string key;
    std::string name;
};

class ProductSelectionPage : public WizardPage {
public:
    // daPage picks the template that names "Dorva AT" instead of TERVILO.
    ProductSelectionPage(HWND owner, bool daPage, std::vector<ProductEntry> products);

    // Index into the products of the entry selected when Next was pressed; none otherwise.
    const std::optional<std::size_t>& Selected() const noexcept { return selected_; }

private:
    bool LoadControls() override;
    void SaveControls() override;
    void OnStart() override;
    void RecordAnswer(response::Values& values) const override;
    // The recorded key when it is listed here, else the one product listed by the recorded name.
    bool PlayAnswer(const response::Answer& answer) override;

    std::vector<ProductEntry> products_;
    std::optional<std::size_t> selected_;
};

}  // namespace kiv::dialogs
