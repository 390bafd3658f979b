#pragma once
// Test support: the rootfinder-cli executable started through a POSIX shell.
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#ifndef ROOTFINDER_CLI_PATH
#error "ROOTFINDER_CLI_PATH must name the rootfinder-cli executable"
#endif

#ifndef ROOTFINDER_CLI_LAUNCHER
#define ROOTFINDER_CLI_LAUNCHER "" // an emulator, when the tests run under one
#endif

inline std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs the executable through the shell with `redirections` (e.g. ">&-", ">> log").
inline int RunWithRedirections(const std::vector<std::string>& arguments, const std::string& redirections,
                               const std::string& environment = "")
{
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string&&.
    std::string command = environment;
    command += ' ';
    command += ROOTFINDER_CLI_LAUNCHER;
    command += ShellQuote(ROOTFINDER_CLI_PATH);
    for (const auto& argument : arguments) {
        command += ' ';
        command += ShellQuote(argument);
    }
    const int wait = std::system((command + " " + redirections).c_str());
    return wait != -1 && WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
}
