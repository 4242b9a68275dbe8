// The tablet menu's backup of AutoCAD's menu files.
#include "dialogs/MenuBackup.h"

#include "frame/FileSystem.h"

#include <vector>

namespace kiv::dialogs {

namespace {

// AutoCAD's menu files, in the order they are copied.
constexpr const char* kMenuFiles[] = {"\\Acad.Mnu", "\\Acad.Mns", "\\Acad.Mnr", "\\Acad.Mnc"};

}  // namespace

MenuBackup BackUpMenuFiles(const std::string& acadFolder) {
    const std::string support = acadFolder + "\\Support";
    const std::string backup = file::FirstFreeNumberedName(support + "\\SaveMenu");
    if (!file::CreateFolder(backup)) return MenuBackup::NoFolder;
    // All copies before any removal: a menu file that a running AutoCAD holds open
    // must not leave the set half moved for the tablet menu to overwrite.
    std::vector<std::string> copied;
    for (const char* name : kMenuFiles) {
        const std::string source = support + name;
        if (!file::Exists(source)) continue;
        if (!file::Copy(source, backup + name)) return MenuBackup::Incomplete;
        copied.push_back(source);
    }
    for (const std::string& source : copied) file::Delete(source);
    return MenuBackup::Complete;
}

}  // namespace kiv::dialogs
