// The run loop of kivhost: arguments into 32-bit words, the __stdcall call, the report.
#include "Runner.h"

#include "Output.h"

#include "KivForIS55.h"
#include "win32/FileSystem.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kivhost {

static_assert(kBufferSize == KIV_BUFFER_SIZE, "the buffers kivhost passes are the size the DLL fills");

namespace {

using Word = std::uintptr_t;
constexpr unsigned char kGuardByte = 0xA5;

// Every export takes 32-bit words, so one pointer type per arity covers them all (up to five arguments).
int Invoke(FARPROC proc, const std::vector<Word>& a) {
    void* p = reinterpret_cast<void*>(proc);
    switch (a.size()) {
        case 0:
            return reinterpret_cast<int(__stdcall*)()>(p)();
        case 1:
            return reinterpret_cast<int(__stdcall*)(Word)>(p)(a[0]);
        case 2:
            return reinterpret_cast<int(__stdcall*)(Word, Word)>(p)(a[0], a[1]);
        case 3:
            return reinterpret_cast<int(__stdcall*)(Word, Word, Word)>(p)(a[0], a[1], a[2]);
        case 4:
            return reinterpret_cast<int(__stdcall*)(Word, Word, Word, Word)>(p)(a[0], a[1], a[2], a[3]);
        case 5:
            return reinterpret_cast<int(__stdcall*)(Word, Word, Word, Word, Word)>(p)(a[0], a[1], a[2], a[3], a[4]);
    }
    return 0;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Stands in for the setup's own file transfer: the tree below from into to, overwriting.
// Plain attribute tests: the existence test of the DLL refuses drives whose volume
// cannot be queried, such as Wine's Z: for a user who may not read /.
bool CopyTree(const std::string& from, const std::string& to) {
    if (!IsFolder(from)) return false;
    if (!IsFolder(to) && !kiv::file::CreateFolder(to).done()) return false;
    std::vector<kiv::file::Entry> entries;
    bool complete = !kiv::file::List(from + "\\*", entries).failed();
    for (const kiv::file::Entry& entry : entries) {
        if (entry.name == "." || entry.name == "..") continue;
        std::string source = from + "\\" + entry.name;
        std::string target = to + "\\" + entry.name;
        complete = (entry.isDirectory ? CopyTree(source, target) : kiv::file::Copy(source, target).done()) && complete;
    }
    return complete;
}

// The DLL's log is for the DLL's own work; the stand-in copy shares its file helpers.
class LogPaused {
public:
    LogPaused() {
        char path[MAX_PATH];
        DWORD length = ::GetEnvironmentVariableA("KIVFORIS55_LOG", path, sizeof path);
        if (length == 0 || length >= sizeof path) return;
        saved_.assign(path, length);
        ::SetEnvironmentVariableA("KIVFORIS55_LOG", nullptr);
    }
    ~LogPaused() {
        if (!saved_.empty()) ::SetEnvironmentVariableA("KIVFORIS55_LOG", saved_.c_str());
    }
    LogPaused(const LogPaused&) = delete;
    LogPaused& operator=(const LogPaused&) = delete;

private:
    std::string saved_;
};

std::string CallText(const Statement& statement) {
    std::string text = statement.name + "(";
    for (std::size_t i = 0; i < statement.args.size(); ++i) text += (i > 0 ? ", " : "") + Spell(statement.args[i]);
    return ToUtf8(text + ")");
}

// The line being run, for a crash inside the DLL.
std::string g_running;

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    PrintError("kivhost: " + g_running + " crashed with exception " + code + "; nothing after it ran");
    ::ExitProcess(kExitCrashed);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

bool ResolveExports(HMODULE dll, const std::vector<Statement>& statements, std::map<std::string, FARPROC>& procs,
                    std::string& missing) {
    for (const Statement& statement : statements) {
        const CallSpec* signature = statement.assignment ? nullptr : FindCall(statement.name);
        if (signature == nullptr || signature->host != HostCommand::None || procs.count(statement.name) != 0) continue;
        FARPROC proc = ::GetProcAddress(dll, signature->name);
        if (proc == nullptr) {
            missing = signature->name;
            return false;
        }
        procs[statement.name] = proc;
    }
    return true;
}

Runner::Runner(std::map<std::string, FARPROC> procs, HWND mainWindow, AutoAnswer& answers,
               const std::map<std::string, std::string>& defines)
    : procs_(std::move(procs)), mainWindow_(mainWindow), answers_(answers) {
    for (const auto& define : defines) {
        Buffer& buffer = BufferNamed(define.first);
        std::memcpy(buffer.data(), define.second.data(), std::min(define.second.size(), kBufferSize - 1));
    }
    ::SetUnhandledExceptionFilter(&ReportCrash);
}

Runner::Buffer& Runner::BufferNamed(const std::string& name) {
    auto found = buffers_.find(name);
    if (found != buffers_.end()) return found->second;
    Buffer& buffer = buffers_[name];
    buffer.fill(static_cast<char>(kGuardByte));
    std::memset(buffer.data(), 0, kBufferSize);
    return buffer;
}

std::string Runner::Content(const Buffer& buffer) const {
    const char* zero = static_cast<const char*>(std::memchr(buffer.data(), 0, kBufferSize));
    return std::string(buffer.data(), zero != nullptr ? zero : buffer.data() + kBufferSize);
}

std::string Runner::TextOf(const Arg& arg) {
    std::string text;
    for (const TextPart& part : arg.parts) text += part.isName ? Content(BufferNamed(part.text)) : part.text;
    return text;
}

ExitStatus Runner::Run(const std::vector<Statement>& statements) {
    for (const Statement& statement : statements) {
        g_running = "line " + std::to_string(statement.line) + ": " + ToUtf8(statement.source);
        bool completed = statement.assignment ? Assign(statement) : Call(statement, *FindCall(statement.name));
        // Let a modeless window (the progress window) paint, as the setup's own loop would.
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (!completed) {
            PrintError("kivhost: stopped at line " + std::to_string(statement.line) + "; nothing after it ran");
            return unexpected_ ? kExitUnexpected : kExitStopped;
        }
    }
    return kExitDone;
}

bool Runner::Assign(const Statement& statement) {
    std::string value = TextOf(statement.args[0]);
    std::string prefix = "line " + std::to_string(statement.line) + ": ";
    if (value.size() >= kBufferSize) {
        PrintError(prefix + "a text of " + std::to_string(value.size()) + " bytes does not fit the " +
                   std::to_string(kBufferSize) + "-byte buffer " + statement.name);
        return false;
    }
    Buffer& buffer = BufferNamed(statement.name);
    std::memset(buffer.data(), 0, kBufferSize);
    std::memcpy(buffer.data(), value.data(), value.size());
    Print(prefix + statement.name + " = " + ToUtf8(Quote(value)));
    return true;
}

bool Runner::Call(const Statement& statement, const CallSpec& signature) {
    std::vector<std::string> texts;  // kept alive for the call
    texts.reserve(signature.params.size());
    std::vector<Word> words;
    std::vector<std::string> bufferNames;
    std::map<std::string, std::string> before;
    for (std::size_t i = 0; i < signature.params.size(); ++i) {
        const Arg& arg = statement.args[i];
        Word word = 0;
        switch (signature.params[i]) {
            case Param::Window:
                word = arg.kind == ArgKind::Window ? reinterpret_cast<Word>(mainWindow_) : 0;
                break;
            case Param::Number:
                word = static_cast<Word>(static_cast<std::uint32_t>(arg.number));
                break;
            case Param::Text:
                if (arg.kind != ArgKind::Null) {
                    texts.push_back(TextOf(arg));
                    word = reinterpret_cast<Word>(texts.back().c_str());
                }
                break;
            case Param::Buffer:
                if (arg.kind == ArgKind::Name) {
                    const std::string& name = arg.parts[0].text;
                    Buffer& buffer = BufferNamed(name);
                    if (before.count(name) == 0) bufferNames.push_back(name);
                    before[name] = std::string(buffer.data(), kBufferSize);
                    word = reinterpret_cast<Word>(buffer.data());
                }
                break;
        }
        words.push_back(word);
    }

    int result = 0;
    std::string failure;
    bool ended = true;
    if (signature.host == HostCommand::CopyTree) {
        LogPaused paused;
        result = CopyTree(texts[0], texts[1]) ? 1 : 0;
    } else {
        FARPROC proc = procs_.at(statement.name);
        ended = answers_.Around(
            statement.line, [&] { result = Invoke(proc, words); }, failure);
        answers_.CaptureNewWindows(statement.line);
    }

    Print("line " + std::to_string(statement.line) + ": " + CallText(statement) + " = " + std::to_string(result));
    for (const std::string& event : answers_.events()) Print("        " + event);
    answers_.ClearEvents();
    if (!ended) {
        PrintError("line " + std::to_string(statement.line) + ": " + failure);
        return false;
    }
    if (!CheckBuffers(statement, bufferNames, before)) return false;
    if (statement.expects && result != statement.expected) {
        PrintError("line " + std::to_string(statement.line) + ": expected " + std::to_string(statement.expected) +
                   ", the result was " + std::to_string(result));
        unexpected_ = true;
        return false;
    }
    return true;
}

bool Runner::CheckBuffers(const Statement& statement, const std::vector<std::string>& names,
                          const std::map<std::string, std::string>& before) {
    std::string prefix = "line " + std::to_string(statement.line) + ": ";
    for (const std::string& name : names) {
        const Buffer& buffer = BufferNamed(name);
        for (std::size_t i = kBufferSize; i < buffer.size(); ++i) {
            if (static_cast<unsigned char>(buffer[i]) != kGuardByte) {
                PrintError(prefix + statement.name + " wrote past the " + std::to_string(kBufferSize) +
                           " bytes of buffer " + name);
                return false;
            }
        }
        if (std::memchr(buffer.data(), 0, kBufferSize) == nullptr) {
            PrintError(prefix + statement.name + " left buffer " + name + " without a terminating zero");
            return false;
        }
        bool written = std::memcmp(buffer.data(), before.at(name).data(), kBufferSize) != 0;
        Print("        " + name + (written ? " = " + ToUtf8(Quote(Content(buffer))) : " unchanged"));
    }
    return true;
}

}  // namespace kivhost
