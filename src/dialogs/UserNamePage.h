// The user-name page of ShowTerviloUserName: shows the name it is given, read-only.
#pragma once

#include "dialogs/WizardPage.h"

#include <string>

namespace kiv::dialogs {

class UserNamePage : public WizardPage {
public:
    // greyed picks the template with the text, label and name box disabled.
    UserNamePage(HWND owner, bool greyed, std::string userName);

private:
    bool LoadControls() override;

    std::string userName_;
};

}  // namespace kiv::dialogs
