// AutoCAD product page: a sorted list of product names, the first one preselected.
#include "dialogs/ProductSelectionPage.h"

#include "resource.h"

#include <utility>

namespace kiv::dialogs {

namespace {

constexpr PageSettings kProductSettings{IDB_SIDE_WIDE, /*confirmCancel*/ true, /*hideBack*/ false,
                                        /*answersBack*/ false, /*transferOnNext*/ true};

}  // namespace

ProductSelectionPage::ProductSelectionPage(HWND owner, bool daPage, std::vector<std::string> names)
    : WizardPage(daPage ? IDD_PRODUCT_SELECTION_AT : IDD_PRODUCT_SELECTION, owner, kProductSettings),
      names_(std::move(names)) {}

bool ProductSelectionPage::LoadControls() {
    HWND list = Item(IDC_PRODUCT_LIST);
    // The list box sorts, so an entry's position says nothing about its product:
    // each entry carries its index, and equal names stay apart.
    for (std::size_t index = 0; index < names_.size(); ++index) {
        LRESULT at = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names_[index].c_str()));
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
    if (index == LB_ERR || static_cast<std::size_t>(index) >= names_.size()) return;
    selected_ = static_cast<std::size_t>(index);
}

// The Cancel button is hidden; Escape still reaches the Cancel handler.
void ProductSelectionPage::OnStart() { ::ShowWindow(Item(IDCANCEL), SW_HIDE); }

}  // namespace kiv::dialogs
