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
    // The list box sorts: index 0 is the alphabetically first name.
    for (const std::string& name : names_) ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    return true;
}

void ProductSelectionPage::SaveControls() {
    HWND list = Item(IDC_PRODUCT_LIST);
    selectedName_.clear();
    LRESULT index = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return;
    // LB_GETTEXTLEN may count more than the ANSI text needs, never less.
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = ::SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    if (copied == LB_ERR) return;
    text.resize(static_cast<std::size_t>(copied));
    selectedName_ = std::move(text);
}

// The Cancel button is hidden; Escape still reaches the Cancel handler.
void ProductSelectionPage::OnStart() { ::ShowWindow(Item(IDCANCEL), SW_HIDE); }

}  // namespace kiv::dialogs
