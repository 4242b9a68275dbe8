// The call table of kivhost and the static check of a script against it.
#include "Calls.h"

namespace kivhost {

namespace {

constexpr Param W = Param::Window;
constexpr Param T = Param::Text;
constexpr Param B = Param::Buffer;
constexpr Param N = Param::Number;

const char* ParamWord(Param param) {
    switch (param) {
        case Param::Window: return "window";
        case Param::Text: return "text";
        case Param::Buffer: return "buffer";
        case Param::Number: return "number";
    }
    return "?";
}

const char* Expected(Param param) {
    switch (param) {
        case Param::Window: return "hwnd or null";
        case Param::Text: return "a quoted text, a buffer name or null";
        case Param::Buffer: return "a buffer name or null";
        case Param::Number: return "a number";
    }
    return "?";
}

bool Accepts(Param param, ArgKind kind) {
    switch (param) {
        case Param::Window: return kind == ArgKind::Window || kind == ArgKind::Null;
        case Param::Text: return kind == ArgKind::Text || kind == ArgKind::Name || kind == ArgKind::Null;
        case Param::Buffer: return kind == ArgKind::Name || kind == ArgKind::Null;
        case Param::Number: return kind == ArgKind::Number;
    }
    return false;
}

std::string UnknownCall(const std::string& name) {
    std::string message = "unknown export \"" + name + "\"";
    for (const CallSpec& signature : Calls())
        if (Lowered(name) == Lowered(signature.name)) return message + " (export names are case-sensitive: " + signature.name + ")";
    return message;
}

// Text parts that name buffers must already be defined.
bool CheckNamesDefined(const Arg& arg, const std::set<std::string>& defined, std::string& message) {
    for (const TextPart& part : arg.parts) {
        if (part.isName && defined.count(part.text) == 0) {
            message = "buffer " + part.text + " is read before anything defines it";
            return false;
        }
    }
    return true;
}

bool CheckStatement(const Statement& statement, std::set<std::string>& defined, std::string& message) {
    if (statement.assignment) {
        if (!IsName(statement.name)) {
            message = statement.name + " cannot be a buffer name";
            return false;
        }
        if (!CheckNamesDefined(statement.args[0], defined, message)) return false;
        defined.insert(statement.name);
        return true;
    }
    const CallSpec* signature = FindCall(statement.name);
    if (signature == nullptr) {
        message = UnknownCall(statement.name);
        return false;
    }
    if (statement.args.size() != signature->params.size()) {
        message = Signature(*signature) + " takes " + std::to_string(signature->params.size()) + " argument" +
                  (signature->params.size() == 1 ? "" : "s") + ", not " + std::to_string(statement.args.size());
        return false;
    }
    std::set<std::string> written;
    for (std::size_t i = 0; i < signature->params.size(); ++i) {
        const Arg& arg = statement.args[i];
        Param param = signature->params[i];
        if (!Accepts(param, arg.kind)) {
            message = "argument " + std::to_string(i + 1) + " of " + Signature(*signature) + " must be " + Expected(param);
            return false;
        }
        if (param == Param::Text && !CheckNamesDefined(arg, defined, message)) return false;
        if (param == Param::Buffer && arg.kind == ArgKind::Name) written.insert(arg.parts[0].text);
    }
    defined.insert(written.begin(), written.end());
    return true;
}

}  // namespace

const std::vector<CallSpec>& Calls() {
    static const std::vector<CallSpec> calls = {
        {"CreateUpdateManager", {T, N}},
        {"CreateUpdateManagerATP", {T, N}},
        {"DeleteOldAppsReg", {T}},
        {"DeleteOldFiles", {T}},
        {"KivExistFile", {T}},
        {"KivGetMainAcadData", {W, B, B, N, N}},
        {"KivGetUserName", {B}},
        {"KivIsWithinTablet", {W, T, B}},
        {"KivRegProgDestroy", {}},
        {"KivRegProgSetCurrName", {T}},
        {"KivRegProgSetCurrPos", {N}},
        {"KivShowTargeDir", {W, T, T}},
        {"KivStartRegProgress", {W, T, N}},
        {"SaveAfterFilesCopy", {T}},
        {"SaveBeforeFilesCopy", {T, T}},
        {"SetBlocksSubDir", {T}},
        {"SetNewManagerDir", {T}},
        {"SetNewProgramDir", {T}},
        {"SetOldManagerDir", {T}},
        {"SetOldProgramDir", {T}},
        {"SetToDeleteAfterSave", {N}},
        {"ShowTerviloUserName", {W, T, N}},
        {"CopyTree", {T, T}, HostCommand::CopyTree},
    };
    return calls;
}

const CallSpec* FindCall(const std::string& name) {
    for (const CallSpec& signature : Calls())
        if (name == signature.name) return &signature;
    return nullptr;
}

std::string Signature(const CallSpec& signature) {
    std::string text = std::string(signature.name) + "(";
    for (std::size_t i = 0; i < signature.params.size(); ++i)
        text += std::string(i > 0 ? ", " : "") + ParamWord(signature.params[i]);
    return text + ")";
}

bool CheckScript(const std::vector<Statement>& statements, const std::set<std::string>& definedNames,
                 ScriptError& error) {
    std::set<std::string> defined = definedNames;
    for (const Statement& statement : statements) {
        std::string message;
        if (!CheckStatement(statement, defined, message)) {
            error = ScriptError{statement.line, message};
            return false;
        }
    }
    return true;
}

}  // namespace kivhost
