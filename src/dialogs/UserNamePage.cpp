// User-name page and the ShowTerviloUserName entry point.
#include "dialogs/UserNamePage.h"

#include "core/ExportName.h"
#include "core/Text.h"
#include "dialogs/Entries.h"
#include "resource.h"
#include "win32/LogonName.h"

#include <utility>

namespace kiv::dialogs {

namespace {

// The box is read-only, so Next has nothing to read back: the name accepted is the one shown.
constexpr PageSettings kUserNameSettings{KIV_EXPORT_NAME(ShowTerviloUserName),
                                         IDB_SIDE_WIDE,
                                         /*confirmCancel*/ true,
                                         /*hideBack*/ true,
                                         /*answersBack*/ false,
                                         /*transferOnNext*/ false};

}  // namespace

UserNamePage::UserNamePage(HWND owner, bool greyed, std::string userName)
    : WizardPage(greyed ? IDD_USER_NAME_GREYED : IDD_USER_NAME, owner, kUserNameSettings),
      userName_(std::move(userName)) {}

bool UserNamePage::LoadControls() { return ::SetDlgItemTextA(Window(), IDC_USER_NAME, userName_.c_str()) != FALSE; }

bool ShowUserName(HWND parentWindow, const char* userNameText, bool greyed) {
    std::string name = text::FromArg(userNameText);
    UserNamePage page(parentWindow, greyed, name);
    if (page.Run() != PageResult::Next) return false;
    RememberUserName(std::move(name));
    return true;
}

}  // namespace kiv::dialogs
