// The tablet-menu page of KivIsWithinTablet: one check box offering the tablet menu.
#pragma once

#include "dialogs/WizardPage.h"

namespace kiv::dialogs {

class TabletMenuPage : public WizardPage {
public:
    explicit TabletMenuPage(HWND owner);

    // The check box as it was when Next was pressed.
    bool TabletChosen() const { return tabletChoice_ != 0; }

private:
    bool LoadControls() override;
    void SaveControls() override;
    void RecordAnswer(response::Values& values) const override;
    bool PlayAnswer(const response::Answer& answer) override;

    int tabletChoice_ = 0;
};

// Shows the page; tabletChosen tells whether Next was pressed with the box ticked.
PageResult AskForTabletMenu(HWND parentWindow, bool& tabletChosen);

}  // namespace kiv::dialogs
