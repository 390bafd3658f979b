#pragma once
// Shared libraries loaded at run time (dlopen, LoadLibrary), kept until the process ends.
#include <string>

// The directory holding the running executable; empty where it cannot be told.
std::string ExecutableDirectory();

// Loads the library at `path` and returns the address of its `symbol`; returns nullptr and
// puts the system's explanation in `error` when either cannot be found.
void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error);

// A module the programs load only when asked: `file`, looked for in `directory` (relative to the
// executable's folder: its installed place) and beside the executable (the build tree). Returns
// the address of its `symbol`; throws an Exception naming the module as `what` when it cannot be
// loaded, and saying what the user goes without (`unavailable`) when it is not found.
void* LoadModuleSymbol(const char* file, const char* directory, const char* symbol, const std::string& what,
                       const std::string& unavailable);
