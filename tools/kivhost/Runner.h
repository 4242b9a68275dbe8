// Runs a checked call script against the loaded DLL and prints each call, its result and its buffers.
#pragma once

#include "AutoAnswer.h"
#include "Calls.h"
#include "Output.h"
#include "Script.h"

#include <windows.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace kivhost {

// Every export the script calls, looked up before the first line runs.
bool ResolveExports(HMODULE dll, const std::vector<Statement>& statements, std::map<std::string, FARPROC>& procs,
                    std::string& missing);

class Runner {
public:
    Runner(std::map<std::string, FARPROC> procs, HWND mainWindow, AutoAnswer& answers,
           const std::map<std::string, std::string>& defines);
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Runs the statements in order; stops at the first that cannot be completed.
    ExitStatus Run(const std::vector<Statement>& statements);

private:
    static constexpr std::size_t kGuardSize = 64;
    using Buffer = std::array<char, kBufferSize + kGuardSize>;

    Buffer& BufferNamed(const std::string& name);
    std::string Content(const Buffer& buffer) const;
    std::string TextOf(const Arg& arg);
    bool Assign(const Statement& statement);
    bool Call(const Statement& statement, const CallSpec& signature);
    bool CheckBuffers(const Statement& statement, const std::vector<std::string>& names,
                      const std::map<std::string, std::string>& before);

    std::map<std::string, FARPROC> procs_;
    HWND mainWindow_;
    AutoAnswer& answers_;
    bool unexpected_ = false;                // the run stopped at a result that its expectation did not name
    std::map<std::string, Buffer> buffers_;  // nodes never move, so their bytes can be passed out
};

}  // namespace kivhost
