// Response file of unattended installs: the mode in the setup state, INI sections read and written.
#include "dialogs/ResponseFile.h"

#include "KivForIS55.h"
#include "core/SetupState.h"
#include "core/Text.h"
#include "win32/CallOutcome.h"

#include <windows.h>

namespace kiv::dialogs::response {

static_assert(static_cast<int>(ResponseMode::Normal) == KIV_MODE_NORMAL &&
                  static_cast<int>(ResponseMode::Record) == KIV_MODE_RECORD &&
                  static_cast<int>(ResponseMode::Silent) == KIV_MODE_SILENT,
              "the modes are the ones the script passes");

namespace {

ResponseSetting& Setting() { return State().response; }

std::string SectionOf(const std::string& exportName) {
    return exportName + "-" + std::to_string(Setting().shown[exportName]);
}

std::string Where(const std::string& section) { return "Antwortdatei " + Setting().file + " [" + section + "]"; }

// The full path, so that the INI functions never look for a bare name in the Windows folder.
bool FullPath(const char* file, std::string& full) {
    char buffer[MAX_PATH];
    DWORD length = ::GetFullPathNameA(file, sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return false;
    full.assign(buffer, length);
    return true;
}

}  // namespace

bool SetResponseFile(const char* file, int mode) {
    if (mode < KIV_MODE_NORMAL || mode > KIV_MODE_SILENT) {
        outcome::Refused("Unbekannte Betriebsart " + std::to_string(mode) + " der Antwortdatei");
        return false;
    }
    std::string full;
    if (mode != KIV_MODE_NORMAL) {
        const std::string given = text::FromArg(file);
        if (given.empty() || given.size() >= MAX_PATH || !FullPath(file, full)) {
            outcome::Refused("Antwortdatei fehlt oder ist zu lang: \"" + given + "\"");
            return false;
        }
        const DWORD attributes = ::GetFileAttributesA(full.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            outcome::Refused("Antwortdatei " + full + " ist ein Ordner");
            return false;
        }
        if (mode == KIV_MODE_SILENT && attributes == INVALID_FILE_ATTRIBUTES) {
            outcome::Fail(::GetLastError(), "Antwortdatei " + full + " nicht lesbar");
            return false;
        }
    }
    Setting() = ResponseSetting{static_cast<ResponseMode>(mode), full, {}};
    return true;
}

bool Recording() noexcept { return Setting().mode == ResponseMode::Record; }
bool Silent() noexcept { return Setting().mode == ResponseMode::Silent; }

void Record(const char* exportName, PageResult result, const Values& values) {
    const std::string section = SectionOf(exportName);
    ++Setting().shown[exportName];
    const char* file = Setting().file.c_str();
    // Deleting the section first drops the keys of an earlier recording that this answer lacks.
    bool written = ::WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file) &&
                   ::WritePrivateProfileStringA(section.c_str(), "Result", std::to_string(ToInt(result)).c_str(), file);
    for (const auto& [key, value] : values)
        written = written && ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file);
    if (!written) outcome::Fail(::GetLastError(), "Schreiben von " + Where(section) + " fehlgeschlagen");
}

Answer::Answer(const char* exportName) : exportName_(exportName), section_(SectionOf(exportName)) {}

std::string Answer::Value(const char* key) const {
    char value[1024] = "";
    DWORD length = ::GetPrivateProfileStringA(section_.c_str(), key, "", value, sizeof value, Setting().file.c_str());
    return std::string(value, length);
}

void Answer::TellInvalid(const std::string& key) const {
    outcome::NotFound(Where(section_) + ": \"" + key + "\" fehlt oder ist ungueltig");
}

void Answer::Taken() const { ++Setting().shown[exportName_]; }

}  // namespace kiv::dialogs::response
