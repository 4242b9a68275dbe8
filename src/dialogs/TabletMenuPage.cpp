// Tablet-menu page and the KivIsWithinTablet entry point with its menu backup.
#include "dialogs/TabletMenuPage.h"

#include "dialogs/Exports.h"
#include "dialogs/MenuBackup.h"
#include "frame/OutputBuffer.h"
#include "frame/Text.h"
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

int IsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer) {
    int result = kPageCancel;
    try {
        TabletMenuPage page(parentWindow);
        result = page.Run();
        if (result != kPageNext || !page.TabletChosen()) return result;
        if (text::IsEmpty(acadFolder)) return kPageCancel;
        const MenuBackup backup = BackUpMenuFiles(acadFolder);
        if (backup == MenuBackup::NoFolder) return kPageCancel;
        // Without a whole backup the script must not install the tablet menu over the originals.
        if (backup == MenuBackup::Complete) WriteOutput(resultBuffer, "Tablet");
        return kPageNext;
    } catch (...) {
        // Once the page has ended its answer stands; before that the call counts as cancelled.
        return result;
    }
}

}  // namespace kiv::dialogs
