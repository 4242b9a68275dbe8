// Target-folder page of KivShowTargeDir: the install message with the product, and the folder.
#include "dialogs/TargetFolderPage.h"

#include "core/ExportName.h"
#include "core/Text.h"
#include "dialogs/Entries.h"
#include "dialogs/WindowPlacement.h"
#include "resource.h"
#include "win32/CallOutcome.h"

#include <string>
#include <utility>

namespace kiv::dialogs {

namespace {

// Nothing to read back on Next: both boxes are read-only.
constexpr PageSettings kTargetFolderSettings{KIV_EXPORT_NAME(KivShowTargeDir),
                                             IDB_SIDE_NARROW,
                                             /*confirmCancel*/ true,
                                             /*hideBack*/ false,
                                             /*answersBack*/ true,
                                             /*transferOnNext*/ false};

// A string of the library's string table in the ANSI code page; empty when it is missing.
std::string LoadResourceString(UINT id) {
    // With no buffer, LoadStringW hands out the resource itself: no length limit.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(LibraryModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return std::string();
    int size = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, length, &ansi[0], size, nullptr, nullptr);
    return ansi;
}

// format with name in place of every "%s"; the name is copied as it is, never read as a format.
std::string InsertName(const std::string& format, const std::string& name) {
    std::string text;
    std::size_t from = 0;
    for (std::size_t at; (at = format.find("%s", from)) != std::string::npos; from = at + 2)
        text.append(format, from, at - from).append(name);
    return text.append(format, from, std::string::npos);
}

}  // namespace

TargetFolderPage::TargetFolderPage(HWND owner, std::string message, std::string folder)
    : WizardPage(IDD_TARGET_FOLDER, owner, kTargetFolderSettings),
      message_(std::move(message)),
      folder_(std::move(folder)) {}

bool TargetFolderPage::LoadControls() {
    return ::SetDlgItemTextA(Window(), IDC_TARGET_MESSAGE, message_.c_str()) &&
           ::SetDlgItemTextA(Window(), IDC_TARGET_FOLDER, folder_.c_str());
}

PageResult ShowTargetFolder(HWND parentWindow, const char* targetFolder, const char* productName) {
    if (text::IsEmpty(targetFolder) || text::IsEmpty(productName)) {
        outcome::Refused("Kein Zielordner oder kein Produktname angegeben");
        return PageResult::Cancel;
    }
    TargetFolderPage page(parentWindow, InsertName(LoadResourceString(IDS_TARGET_FOLDER_MESSAGE), productName),
                          targetFolder);
    return page.Run();
}

}  // namespace kiv::dialogs
