#pragma once
// Shared libraries loaded at run time (dlopen, LoadLibrary), kept until the process ends.
#include <string>

// The directory holding the running executable; empty where it cannot be told.
std::string ExecutableDirectory();

// Loads the library at `path` and returns the address of its `symbol`; returns nullptr and
// puts the system's explanation in `error` when either cannot be found.
void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error);
