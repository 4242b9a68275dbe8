// The calls a kivhost script can make: the DLL's exports and the host's own commands (no Windows API).
#pragma once

#include "Script.h"

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace kivhost {

// The size of every output buffer, the public header's KIV_BUFFER_SIZE (the runner
// asserts that they agree; this file also builds natively, without windows.h).
constexpr std::size_t kBufferSize = 260;

enum class Param {
    Window,  // hwnd or null
    Text,    // input string: literals and buffer names joined with +, or null
    Buffer,  // output buffer: a name, or null
    Number,  // 32-bit integer
};

enum class HostCommand {
    None,      // an export of the DLL
    CopyTree,  // stands in for the setup's own file transfer
};

struct CallSpec {
    const char* name;
    std::vector<Param> params;
    HostCommand host = HostCommand::None;
    int page = 0;      // the dialog template of the page the call shows, if any
    int pageArg = -1;  // the number argument that picks pageIfSet instead when nonzero
    int pageIfSet = 0;
    const char* note = nullptr;  // said after a "did you mean" for this name
};

const std::vector<CallSpec>& Calls();
const CallSpec* FindCall(const std::string& name);

// "KivShowTargeDir(window, text, text)"
std::string Signature(const CallSpec& signature);

// The template of the page the statement's call shows, or 0.
int PageShown(const CallSpec& call, const Statement& statement);

// Every statement names a known call with arguments of the right kinds, every
// quoted text fits a buffer, and every buffer read as a text has been defined
// before: by --define, by an assignment or by being passed as an output buffer.
// definedNames holds the --define names. Adds one error per bad statement.
bool CheckScript(const std::vector<Statement>& statements, const std::set<std::string>& definedNames,
                 std::vector<ScriptError>& errors);

}  // namespace kivhost
