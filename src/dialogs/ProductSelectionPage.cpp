// AutoCAD product page: a sorted list of product names, the first one preselected.
#include "dialogs/ProductSelectionPage.h"

#include "core/ExportName.h"
#include "core/Path.h"
#include "resource.h"

#include <utility>

namespace kiv::dialogs {

namespace {

constexpr const char* kProductKey = "Product";
constexpr const char* kProductNameKey = "ProductName";

constexpr PageSettings kProductSettings{KIV_EXPORT_NAME(KivGetMainAcadData),
                                        IDB_SIDE_WIDE,
                                        /*confirmCancel*/ true,
                                        /*hideBack*/ false,
                                        /*answersBack*/ false,
                                        /*transferOnNext*/ true};

}  // namespace

ProductSelectionPage::ProductSelectionPage(HWND owner, bool daPage, std::vector<ProductEntry> products)
    : WizardPage(daPage ? IDD_PRODUCT_SELECTION_AT : IDD_PRODUCT_SELECTION, owner, kProductSettings),
      products_(std::move(products)) {}

bool ProductSelectionPage::LoadControls() {
    HWND list = Item(IDC_PRODUCT_LIST);
    // The list box sorts, so an entry's position says nothing about its product:
    // each entry carries its index, and equal names stay apart.
    for (std::size_t index = 0; index < products_.size(); ++index) {
        LRESULT at = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(products_[index].name.c_str()));
        if (at >= 0) ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(index));
    }
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    return true;
}

void ProductSelectionPage::SaveControls() {
    HWND list = Item(IDC_PRODUCT_LIST);
    selected_.reset();
    LRESULT at = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (at == LB_ERR) return;
    LRESULT index = ::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(at), 0);
    if (index == LB_ERR || static_cast<std::size_t>(index) >= products_.size()) return;
    selected_ = static_cast<std::size_t>(index);
}

// The Cancel button is hidden; Escape still reaches the Cancel handler.
void ProductSelectionPage::OnStart() { ::ShowWindow(Item(IDCANCEL), SW_HIDE); }

void ProductSelectionPage::RecordAnswer(response::Values& values) const {
    if (!selected_) return;
    values.emplace_back(kProductKey, products_[*selected_].key);
    values.emplace_back(kProductNameKey, products_[*selected_].name);
}

bool ProductSelectionPage::PlayAnswer(const response::Answer& answer) {
    const std::string key = answer.Value(kProductKey);
    const std::string name = answer.Value(kProductNameKey);
    std::optional<std::size_t> byName;
    int namesMatching = 0;
    for (std::size_t index = 0; index < products_.size(); ++index) {
        if (!key.empty() && path::EqualsIgnoringCase(products_[index].key, key)) {
            selected_ = index;
            return true;
        }
        if (!name.empty() && products_[index].name == name && namesMatching++ == 0) byName = index;
    }
    // Keys differ between machines; a name fits only when exactly one product has it.
    if (namesMatching != 1) {
        answer.TellInvalid(std::string(kProductKey) + "\" / \"" + kProductNameKey);
        return false;
    }
    selected_ = byName;
    return true;
}

}  // namespace kiv::dialogs
