// The tablet menu's backup of AutoCAD's menu files.
#include "dialogs/MenuBackup.h"

#include "frame/FileSystem.h"

namespace kiv::dialogs {

namespace {

// AutoCAD's menu files, in the order they are moved.
constexpr const char* kMenuFiles[] = {"\\Acad.Mnu", "\\Acad.Mns", "\\Acad.Mnr", "\\Acad.Mnc"};

}  // namespace

bool BackUpMenuFiles(const std::string& acadFolder) {
    const std::string support = acadFolder + "\\Support";
    const std::string backup = file::FirstFreeNumberedName(support + "\\SaveMenu");
    if (!file::CreateFolder(backup)) return false;
    for (const char* name : kMenuFiles) {
        const std::string source = support + name;
        if (file::Exists(source)) file::Move(source, backup + name);
    }
    return true;
}

}  // namespace kiv::dialogs
