// What one file system or registry operation came to: done, missing (a name that
// is not there, often a normal answer) or failed, with the Win32 error either way.
#pragma once

#include <windows.h>

namespace kiv {

class [[nodiscard]] Outcome {
public:
    enum class Kind { Done, Missing, Failed };

    static Outcome Done() noexcept { return Outcome(Kind::Done, ERROR_SUCCESS); }
    static Outcome Missing(DWORD error = ERROR_FILE_NOT_FOUND) noexcept { return Outcome(Kind::Missing, error); }
    static Outcome Failed(DWORD error) noexcept {
        // A failure must carry a code: a caller turns it into the script's error.
        return Outcome(Kind::Failed, error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
    }
    // A Win32 call just made: done when ok, else missing or failed by its error.
    static Outcome OfCall(bool ok, DWORD error) noexcept { return ok ? Done() : OfError(error); }
    static Outcome OfError(DWORD error) noexcept { return IsMissingError(error) ? Missing(error) : Failed(error); }

    bool done() const noexcept { return kind_ == Kind::Done; }
    bool missing() const noexcept { return kind_ == Kind::Missing; }
    bool failed() const noexcept { return kind_ == Kind::Failed; }
    DWORD error() const noexcept { return error_; }
    explicit operator bool() const noexcept { return done(); }

private:
    Outcome(Kind kind, DWORD error) noexcept : kind_(kind), error_(error) {}

    // The codes with which the file system and the registry answer "no such name".
    static bool IsMissingError(DWORD error) noexcept {
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }

    Kind kind_;
    DWORD error_;
};

}  // namespace kiv
