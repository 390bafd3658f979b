#pragma once
// What a command-line run left behind, read back whole: a captured stream and a file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifdef _WIN32
#include <process.h>
#endif

// A scratch stream for a run's output, gone when closed. On Windows it is not tmpfile(): under
// wine, two processes' tmpfile() can pick the same name, and the tests run in two processes.
inline std::FILE* ScratchStream()
{
#ifdef _WIN32
    static int count = 0;
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("rootfinder-test-" + std::to_string(_getpid()) + "-" + std::to_string(++count));
    return _wfopen(path.c_str(), L"w+bD"); // D: deleted when closed
#else
    return std::tmpfile();
#endif
}

// The text written to `file` (a scratch stream standing in for stdout or stderr), which is then closed.
inline std::string ReadAndClose(std::FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
