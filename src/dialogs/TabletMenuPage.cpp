// Tablet-menu page: one check box offering the tablet menu.
#include "dialogs/TabletMenuPage.h"

#include "resource.h"

namespace kiv::dialogs {

namespace {

// Cancel needs no confirmation here: nothing has been changed yet.
constexpr PageSettings kTabletMenuSettings{IDB_SIDE_NARROW, /*confirmCancel*/ false, /*hideBack*/ true,
                                           /*answersBack*/ true, /*transferOnNext*/ true};

}  // namespace

TabletMenuPage::TabletMenuPage(HWND owner) : WizardPage(IDD_TABLET_MENU, owner, kTabletMenuSettings) {}

bool TabletMenuPage::LoadControls() {
    return ::CheckDlgButton(Window(), IDC_TABLET_CHOICE, tabletChoice_ ? BST_CHECKED : BST_UNCHECKED) != FALSE;
}

void TabletMenuPage::SaveControls() {
    tabletChoice_ = ::IsDlgButtonChecked(Window(), IDC_TABLET_CHOICE) == BST_CHECKED ? 1 : 0;
}

PageResult AskForTabletMenu(HWND parentWindow, bool& tabletChosen) {
    TabletMenuPage page(parentWindow);
    const PageResult result = page.Run();
    tabletChosen = result == PageResult::Next && page.TabletChosen();
    return result;
}

}  // namespace kiv::dialogs
