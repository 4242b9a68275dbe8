// Tablet-menu page: one check box offering the tablet menu.
#include "dialogs/TabletMenuPage.h"

#include "core/ExportName.h"
#include "resource.h"

#include <string>

namespace kiv::dialogs {

namespace {

// Cancel needs no confirmation here: nothing has been changed yet.
constexpr PageSettings kTabletMenuSettings{KIV_EXPORT_NAME(KivIsWithinTablet),
                                           IDB_SIDE_NARROW,
                                           /*confirmCancel*/ false,
                                           /*hideBack*/ true,
                                           /*answersBack*/ true,
                                           /*transferOnNext*/ true};

constexpr const char* kTabletKey = "Tablet";

}  // namespace

TabletMenuPage::TabletMenuPage(HWND owner) : WizardPage(IDD_TABLET_MENU, owner, kTabletMenuSettings) {}

bool TabletMenuPage::LoadControls() {
    return ::CheckDlgButton(Window(), IDC_TABLET_CHOICE, tabletChoice_ ? BST_CHECKED : BST_UNCHECKED) != FALSE;
}

void TabletMenuPage::SaveControls() {
    tabletChoice_ = ::IsDlgButtonChecked(Window(), IDC_TABLET_CHOICE) == BST_CHECKED ? 1 : 0;
}

void TabletMenuPage::RecordAnswer(response::Values& values) const {
    values.emplace_back(kTabletKey, std::to_string(tabletChoice_));
}

bool TabletMenuPage::PlayAnswer(const response::Answer& answer) {
    const std::string value = answer.Value(kTabletKey);
    if (value != "0" && value != "1") {
        answer.TellInvalid(kTabletKey);
        return false;
    }
    tabletChoice_ = value == "1" ? 1 : 0;
    return true;
}

PageResult AskForTabletMenu(HWND parentWindow, bool& tabletChosen) {
    TabletMenuPage page(parentWindow);
    const PageResult result = page.Run();
    tabletChosen = result == PageResult::Next && page.TabletChosen();
    return result;
}

}  // namespace kiv::dialogs
