// The one export guard: no C++ exception crosses into the setup script, domain
// results become the interface's integers, and with the log on the call is recorded.
#pragma once

#include "core/OutputBuffer.h"
#include "dialogs/PageResult.h"
#include "win32/CallOutcome.h"
#include "win32/Log.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>

namespace kiv::exports {

static_assert(kOutputBufferSize == KIV_BUFFER_SIZE, "the buffers the library fills are the ones callers allocate");

// A caller's output buffer, shown in the log as it stands after the call, or as
// unchanged when the call left it as the caller filled it.
struct Out {
    explicit Out(char* buffer) : buffer(buffer), before(Content(buffer)) {}
    // The caller promised kOutputBufferSize bytes; an unwritten one need not hold a zero.
    static std::string Content(const char* buffer) {
        if (buffer == nullptr) return std::string();
        const void* end = std::memchr(buffer, '\0', kOutputBufferSize);
        return std::string(buffer, end != nullptr ? static_cast<const char*>(end) - buffer : kOutputBufferSize);
    }
    char* buffer;
    std::string before;
};

inline std::string Describe(const char* text) { return log::Quote(text); }
inline std::string Describe(int value) { return std::to_string(value); }
inline std::string Describe(HWND window) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}
inline std::string Describe(const Out& out) {
    if (out.buffer == nullptr) return "NULL";
    const std::string after = Out::Content(out.buffer);
    return (after == out.before ? "unchanged " : "out ") + log::Quote(after.c_str());
}

// The interface's integer for each domain result.
constexpr int ToExport(int value) noexcept { return value; }
constexpr int ToExport(bool value) noexcept { return value ? 1 : 0; }
constexpr int ToExport(dialogs::PageResult value) noexcept { return dialogs::ToInt(value); }

// The arguments a guarded call records in the log.
template <typename... Args>
std::tuple<Args...> Logged(const Args&... args) {
    return std::tuple<Args...>(args...);
}

template <typename... Args>
void LogCall(const char* name, int result, LARGE_INTEGER start, const std::tuple<Args...>& args) noexcept {
    try {
        LARGE_INTEGER end, frequency;
        ::QueryPerformanceCounter(&end);
        ::QueryPerformanceFrequency(&frequency);
        std::string line = name;
        line += '(';
        std::apply(
            [&line](const auto&... arg) {
                [[maybe_unused]] const char* separator = "";
                ((line += separator, line += Describe(arg), separator = ", "), ...);
            },
            args);
        char tail[64];
        std::snprintf(tail, sizeof tail, ") = %d [%.3f ms]", result,
                      frequency.QuadPart > 0 ? (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart : 0.0);
        line += tail;
        const DWORD code = outcome::LastCode();
        if (code != ERROR_SUCCESS) {
            char text[kOutputBufferSize];
            outcome::CopyLastText(text);
            line += " error " + std::to_string(code) + ": " + text;
        }
        // A Cancel is the user's choice; no product found is worth a look; the rest is a failure.
        log::Write(line, code == ERROR_SUCCESS || code == ERROR_CANCELLED ? log::Level::Info
                         : code == ERROR_NOT_FOUND                        ? log::Level::Warning
                                                                          : log::Level::Error);
    } catch (...) {
    }
}

// An exception that no failure was told for still reaches KivGetLastError.
inline void TellException() noexcept {
    if (outcome::Failed()) return;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        outcome::Fail(ERROR_NOT_ENOUGH_MEMORY, "Interner Fehler");
    } catch (...) {
        outcome::Fail(ERROR_INTERNAL_ERROR, "Interner Fehler");
    }
}

// Runs work and answers its result, or onError when it throws. Work that takes
// a Result& may settle its answer part-way: a later exception then answers that.
// Every call but KivGetLastError's own starts a new outcome for it to tell.
template <typename Args, typename Result, typename Work>
int Guarded(const char* name, const Args& args, Result onError, Work&& work) noexcept {
    const bool logging = log::Enabled();
    LARGE_INTEGER start = {};
    if (logging) ::QueryPerformanceCounter(&start);
    outcome::Begin();
    Result settled = onError;
    int result;
    try {
        if constexpr (std::is_invocable_v<Work, Result&>)
            result = ToExport(static_cast<Result>(work(settled)));
        else
            result = ToExport(static_cast<Result>(work()));
    } catch (...) {
        TellException();
        result = ToExport(settled);
    }
    if (logging) LogCall(name, result, start, args);
    return result;
}

// The same for the exports without a status, which answer 0.
template <typename Args, typename Work>
int GuardedVoid(const char* name, const Args& args, Work&& work) noexcept {
    return Guarded(name, args, 0, [&] {
        work();
        return 0;
    });
}

}  // namespace kiv::exports
