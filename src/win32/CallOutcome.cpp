// The current export call's outcome, kept in the setup state for KivGetLastError.
#include "win32/CallOutcome.h"

#include "core/OutputBuffer.h"
#include "core/Path.h"
#include "core/SetupState.h"
#include "win32/Log.h"

#include <cstring>

namespace kiv::outcome {

namespace {

void Keep(DWORD code, const std::string& text) noexcept {
    CallRecord& record = State().lastCall;
    if (record.code != ERROR_SUCCESS) return;
    try {
        record.text = text;
    } catch (...) {
        record.text.clear();  // the code still tells the failure
    }
    record.code = code;
}

}  // namespace

void Begin() noexcept {
    CallRecord& record = State().lastCall;
    record.code = ERROR_SUCCESS;
    record.text.clear();
}

void Fail(DWORD code, const std::string& what) noexcept {
    if (code == ERROR_SUCCESS) code = ERROR_GEN_FAILURE;
    try {
        std::string message = log::SystemMessage(code);
        Keep(code, message.empty() ? what : what + ": " + message);
    } catch (...) {
        Keep(code, std::string());
    }
}

const Outcome& Tell(const Outcome& outcome, const std::string& what) noexcept {
    if (!outcome.done()) Fail(outcome.error(), what);
    return outcome;
}

void Cancelled(const std::string& page) noexcept {
    try {
        Keep(ERROR_CANCELLED, "Abgebrochen auf der Seite \"" + page + "\"");
    } catch (...) {
        Keep(ERROR_CANCELLED, std::string());
    }
}

void NotFound(const std::string& what) noexcept { Keep(ERROR_NOT_FOUND, what); }

void Refused(const std::string& what) noexcept { Keep(ERROR_INVALID_PARAMETER, what); }

bool Failed() noexcept { return State().lastCall.code != ERROR_SUCCESS; }

DWORD LastCode() noexcept { return State().lastCall.code; }

void CopyLastText(char* buffer) noexcept {
    if (buffer == nullptr) return;
    const std::string& text = State().lastCall.text;
    // Cut before a character that would not fit whole with the terminating zero.
    std::size_t length = 0;
    while (length < text.size()) {
        std::size_t next = length + (path::IsAnsiLeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1);
        if (next > text.size() || next >= kOutputBufferSize) break;
        length = next;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace kiv::outcome
