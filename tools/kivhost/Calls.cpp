// The call table of kivhost and the static check of a script against it.
#include "Calls.h"

#include "KivExportNames.h"
#include "KivForIS55.h"
#include "core/ExportName.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace kivhost {

namespace {

constexpr Param W = Param::Window;
constexpr Param T = Param::Text;
constexpr Param B = Param::Buffer;
constexpr Param N = Param::Number;

// The kind of each parameter type of the public header; another type is a compile error here.
template <typename Type>
constexpr Param KindOf() {
    static_assert(sizeof(Type) == 0, "an export takes a type kivhost cannot pass");
    return N;
}
template <>
constexpr Param KindOf<HWND>() {
    return W;
}
template <>
constexpr Param KindOf<const char*>() {
    return T;
}
template <>
constexpr Param KindOf<char*>() {
    return B;
}
template <>
constexpr Param KindOf<int>() {
    return N;
}

template <typename... Types>
std::vector<Param> KindsOf(int(__stdcall*)(Types...)) {
    return {KindOf<Types>()...};
}

// What kivhost adds to an export's declaration: the page it shows, and a note for near misses.
struct PageData {
    const char* name;
    int page;          // the dialog template of the page the call shows
    int pageArg = -1;  // the number argument that picks pageIfSet instead when nonzero
    int pageIfSet = 0;
    const char* note = nullptr;  // said after a "did you mean" for this name
};

constexpr PageData kPages[] = {
    {KIV_EXPORT_NAME(KivGetMainAcadData), 1008, 3, 1009},
    {KIV_EXPORT_NAME(KivIsWithinTablet), 1007},
    {KIV_EXPORT_NAME(KivShowTargeDir), 1006, -1, 0,
     "that spelling, without the t of Target, is the export's real name"},
    {KIV_EXPORT_NAME(ShowTerviloUserName), 1003, 2, 1010},
};

constexpr bool SameName(const char* a, const char* b) {
    for (; *a != '\0' && *a == *b; ++a) ++b;
    return *a == *b;
}

constexpr bool EachExportOnce() {
    for (std::size_t i = 0; i < std::size(kPages); ++i)
        for (std::size_t j = i + 1; j < std::size(kPages); ++j)
            if (SameName(kPages[i].name, kPages[j].name)) return false;
    return true;
}
static_assert(EachExportOnce(), "one page row per export");

const char* ParamWord(Param param) {
    switch (param) {
        case Param::Window:
            return "window";
        case Param::Text:
            return "text";
        case Param::Buffer:
            return "buffer";
        case Param::Number:
            return "number";
    }
    return "?";
}

const char* Expected(Param param) {
    switch (param) {
        case Param::Window:
            return "hwnd or null";
        case Param::Text:
            return "a quoted text, a buffer name or null";
        case Param::Buffer:
            return "a buffer name or null";
        case Param::Number:
            return "a number";
    }
    return "?";
}

bool Accepts(Param param, ArgKind kind) {
    switch (param) {
        case Param::Window:
            return kind == ArgKind::Window || kind == ArgKind::Null;
        case Param::Text:
            return kind == ArgKind::Text || kind == ArgKind::Name || kind == ArgKind::Null;
        case Param::Buffer:
            return kind == ArgKind::Name || kind == ArgKind::Null;
        case Param::Number:
            return kind == ArgKind::Number;
    }
    return false;
}

// Letters inserted, deleted or replaced to turn one name into the other, letter case ignored.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::string x = Lowered(a), y = Lowered(b);
    std::vector<std::size_t> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

std::string UnknownCall(const std::string& name) {
    std::string message = "unknown export \"" + name + "\"";
    const CallSpec* nearest = nullptr;
    std::size_t best = 3;  // more than two letters off is no near miss
    for (const CallSpec& signature : Calls()) {
        std::size_t distance = EditDistance(name, signature.name);
        if (distance == 0) return message + " (export names are case-sensitive: " + signature.name + ")";
        if (distance < best) {
            best = distance;
            nearest = &signature;
        }
    }
    if (nearest == nullptr) return message;
    message += "; did you mean " + std::string(nearest->name) + "?";
    return nearest->note != nullptr ? message + " (" + nearest->note + ")" : message;
}

// A quoted text must fit a 260-byte buffer with its zero; an assignment's texts together as well.
bool CheckLiterals(const Statement& statement, const Arg& arg, std::string& message) {
    std::size_t total = 0;
    for (const TextPart& part : arg.parts) {
        if (part.isName) continue;
        total += part.text.size();
        if (part.text.size() >= kBufferSize) {
            message = "a quoted text of " + std::to_string(part.text.size()) + " bytes does not fit a " +
                      std::to_string(kBufferSize) + "-byte buffer";
            return false;
        }
    }
    if (statement.assignment && total >= kBufferSize) {
        message = "the quoted texts assigned to " + statement.name + " make " + std::to_string(total) +
                  " bytes, which do not fit its " + std::to_string(kBufferSize) + " bytes";
        return false;
    }
    return true;
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
        if (!CheckLiterals(statement, statement.args[0], message)) return false;
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
            message =
                "argument " + std::to_string(i + 1) + " of " + Signature(*signature) + " must be " + Expected(param);
            return false;
        }
        if (param == Param::Text &&
            (!CheckLiterals(statement, arg, message) || !CheckNamesDefined(arg, defined, message)))
            return false;
        if (param == Param::Buffer && arg.kind == ArgKind::Name) written.insert(arg.parts[0].text);
    }
    defined.insert(written.begin(), written.end());
    return true;
}

}  // namespace

const std::vector<CallSpec>& Calls() {
    static const std::vector<CallSpec> calls = [] {
        std::vector<CallSpec> table = {
#define KIV_CALL(name) {#name, KindsOf(static_cast<decltype(&::name)>(nullptr))},
            KIV_EXPORTS(KIV_CALL)
#undef KIV_CALL
                {"CopyTree", {T, T}, HostCommand::CopyTree},
        };
        for (const PageData& data : kPages) {
            for (CallSpec& call : table) {
                if (std::strcmp(call.name, data.name) != 0) continue;
                call.page = data.page;
                call.pageArg = data.pageArg;
                call.pageIfSet = data.pageIfSet;
                call.note = data.note;
            }
        }
        return table;
    }();
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

int PageShown(const CallSpec& call, const Statement& statement) {
    if (call.pageArg >= 0 && static_cast<std::size_t>(call.pageArg) < statement.args.size() &&
        statement.args[call.pageArg].number != 0)
        return call.pageIfSet;
    return call.page;
}

bool CheckScript(const std::vector<Statement>& statements, const std::set<std::string>& definedNames,
                 std::vector<ScriptError>& errors) {
    std::set<std::string> defined = definedNames;
    bool good = true;
    for (const Statement& statement : statements) {
        std::string message;
        if (!CheckStatement(statement, defined, message)) {
            errors.push_back(ScriptError{statement.line, message});
            good = false;
        }
    }
    return good;
}

}  // namespace kivhost
