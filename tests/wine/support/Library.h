// Loads KivForIS55.dll the way a setup script does and resolves its exports.
#pragma once

#include "KivExportNames.h"
#include "KivForIS55.h"

#include <windows.h>

#include <string>

namespace kivtest {

class Library {
public:
    // Loads the DLL that sits beside the test program; fails the test if it cannot.
    Library();
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE module() const { return module_; }
    // Unloads and loads again: a fresh setup state.
    void Reload();
    // Unloads as a script does when it ends.
    void Unload();

    // One pointer per export, typed by its declaration in the public header.
#define KIV_EXPORT_POINTER(name) decltype(&::name) name = nullptr;
    KIV_EXPORTS(KIV_EXPORT_POINTER)
#undef KIV_EXPORT_POINTER

private:
    void Load();
    HMODULE module_ = nullptr;
};

// Folder of the running test program, without a trailing backslash.
std::string ProgramFolder();

}  // namespace kivtest
