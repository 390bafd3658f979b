#pragma once
// Test support: scratch files and directories in the system's temporary directory, named after
// the test that makes them and removed when it ends.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// A file name in the temporary directory, unique to this process and test; removed at the end.
class TempPath {
public:
    explicit TempPath(const std::string& suffix)
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("rootfinder-") + info->test_suite_name() + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()) + suffix);
        std::filesystem::remove(path_);
    }
    ~TempPath() { std::filesystem::remove(path_); }
    const std::filesystem::path& Path() const { return path_; }
    std::string String() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// A directory of its own for a test that checks what else appears beside its files.
class TempDir {
public:
    explicit TempDir(const std::string& suffix = "-dir") : path_(TempPath(suffix).Path())
    {
        std::filesystem::create_directory(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // The names in the directory, sorted: a leftover temporary file shows up here.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

// The working directory moved into a fresh directory of the test's own while it lives, so that a
// file named relatively, written by a run that should have refused it, cannot outlive the test
// and fail the next run: the directory goes, with whatever is in it, whether the test passes or not.
class ScratchWorkingDirectory {
public:
    ScratchWorkingDirectory() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(dir_ / ""); }
    ~ScratchWorkingDirectory() { std::filesystem::current_path(previous_); }
    ScratchWorkingDirectory(const ScratchWorkingDirectory&) = delete;
    ScratchWorkingDirectory& operator=(const ScratchWorkingDirectory&) = delete;
    std::vector<std::string> Entries() const { return dir_.Entries(); }

private:
    TempDir dir_{"-cwd"}; // removed after the working directory is back
    std::filesystem::path previous_;
};
