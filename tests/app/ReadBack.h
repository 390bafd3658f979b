#pragma once
// What a command-line run left behind, read back whole: a captured stream and a file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The text written to `file` (a tmpfile standing in for a stream), which is then closed.
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
