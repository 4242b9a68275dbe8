// The target-folder page of KivShowTargeDir: the install message and the folder, both read-only.
#pragma once

#include "dialogs/WizardPage.h"

#include <string>

namespace kiv::dialogs {

class TargetFolderPage : public WizardPage {
public:
    TargetFolderPage(HWND owner, std::string message, std::string folder);

private:
    bool LoadControls() override;

    std::string message_;
    std::string folder_;
};

}  // namespace kiv::dialogs
