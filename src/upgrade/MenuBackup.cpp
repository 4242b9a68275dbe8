// KivIsWithinTablet: the tablet-menu page, then the backup of AutoCAD's menu files.
#include "upgrade/MenuBackup.h"

#include "core/OutputBuffer.h"
#include "core/Path.h"
#include "core/Text.h"
#include "dialogs/TabletMenuPage.h"
#include "win32/CallOutcome.h"
#include "win32/FileSystem.h"
#include "win32/Journal.h"

#include <string>
#include <vector>

namespace kiv::upgrade {

namespace {

// AutoCAD's menu files, in the order they are copied.
constexpr const char* kMenuFiles[] = {"\\Acad.Mnu", "\\Acad.Mns", "\\Acad.Mnr", "\\Acad.Mnc"};

enum class MenuBackup {
    NoFolder,    // the backup folder could not be created; nothing touched
    Incomplete,  // a present menu file could not be copied; nothing removed from Support
    Complete,    // every present menu file copied, then removed from Support
};

// Creates the first free acadFolder\Support\SaveMenu<n> and copies the menu
// files present there into it; only when every copy succeeded are the
// originals removed. Each failure is told with its paths.
MenuBackup BackUpMenuFiles(const std::string& acadFolder) {
    const std::string support = acadFolder + "\\Support";
    const std::string backup = file::FirstFreeNumberedName(support + "\\SaveMenu");
    if (!outcome::Tell(file::CreateFolder(backup), "Anlegen von " + backup + " fehlgeschlagen"))
        return MenuBackup::NoFolder;
    journal::SaveFolderMade(backup);
    // All copies before any removal: a menu file that a running AutoCAD holds open
    // must not leave the set half moved for the tablet menu to overwrite.
    std::vector<const char*> copied;
    for (const char* name : kMenuFiles) {
        const std::string source = support + name;
        if (!file::Exists(source)) continue;
        if (!outcome::Tell(file::Copy(source, backup + name),
                           "Sichern von " + source + " nach " + backup + " fehlgeschlagen"))
            return MenuBackup::Incomplete;
        copied.push_back(name);
    }
    // A copy is in the backup, so a menu file that stays is lost to nobody; the script hears of it.
    for (const char* name : copied)
        outcome::Tell(journal::Delete(support + name, backup + name),
                      "Entfernen von " + support + name + " fehlgeschlagen");
    return MenuBackup::Complete;
}

}  // namespace

PageResult IsWithinTablet(HWND parentWindow, const char* acadFolder, char* resultBuffer, PageResult& settled) {
    bool tabletChosen = false;
    settled = dialogs::AskForTabletMenu(parentWindow, tabletChosen);
    if (!tabletChosen) return settled;
    if (text::IsEmpty(acadFolder)) {
        outcome::Refused("Kein AutoCAD-Ordner angegeben");
        return PageResult::Cancel;
    }
    const MenuBackup backup = BackUpMenuFiles(path::WithoutTrailingSeparators(acadFolder));
    if (backup == MenuBackup::NoFolder) return PageResult::Cancel;
    // Without a whole backup the script must not install the tablet menu over the originals.
    if (backup == MenuBackup::Complete) WriteOutput(resultBuffer, "Tablet");
    return PageResult::Next;
}

}  // namespace kiv::upgrade
