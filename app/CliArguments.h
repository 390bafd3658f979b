#pragma once
// The command line's arguments, rootfinder-cli [ПАРАМЕТР]... A B H EPS, read as words, and the
// help that describes them.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

// The files the command line writes, in the order the run opens, finishes and puts them in place.
enum class OutputFile { Points, Roots, Plot, AllRoots };
inline constexpr std::size_t kOutputFileCount = 4;

// Each output file's option, in the help's order of the options.
struct OutputFileOption {
    OutputFile file;
    std::string_view name;
};
extern const std::array<OutputFileOption, kOutputFileCount> kOutputFileOptions;

struct CliArguments {
    enum class Action { Run, Help, Version } action = Action::Run;
    std::array<std::string_view, 4> inputs;                         // A, B, H, EPS
    std::array<std::optional<std::string>, kOutputFileCount> files; // by OutputFile; none when not asked for

    const std::optional<std::string>& File(OutputFile file) const { return files[static_cast<std::size_t>(file)]; }
    // The files named, each with the option that names it, in the help's order of the options.
    std::vector<std::pair<std::string_view, const std::string*>> Files() const;
};

// What --help prints.
extern const char* const kCliUsage;

// Returns the arguments (the program's name excluded), or an explanation of what is wrong with
// them. Options are read from left to right; --help and --version act where they stand.
std::variant<CliArguments, std::string> ParseCliArguments(const std::vector<std::string_view>& arguments);
