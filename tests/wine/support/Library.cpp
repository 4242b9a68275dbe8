// Loading the DLL under test and binding its exports by undecorated name.
#include "support/Library.h"

#include <gtest/gtest.h>

namespace kivtest {

namespace {

template <typename F>
void Bind(HMODULE module, F& slot, const char* name) {
    slot = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    if (slot == nullptr) ADD_FAILURE() << "export missing: " << name;
}

}  // namespace

std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

Library::Library() { Load(); }
Library::~Library() { Unload(); }

void Library::Reload() {
    Unload();
    Load();
}

void Library::Load() {
    std::string path = ProgramFolder() + "\\KivForIS55.dll";
    module_ = ::LoadLibraryA(path.c_str());
    if (module_ == nullptr) {
        ADD_FAILURE() << "cannot load " << path << ", error " << ::GetLastError();
        return;
    }
#define KIV_BIND(name) Bind(module_, name, #name);
    KIV_EXPORTS(KIV_BIND)
#undef KIV_BIND
}

void Library::Unload() {
    if (module_ != nullptr) ::FreeLibrary(module_);
    module_ = nullptr;
}

}  // namespace kivtest
