#pragma once
// Output files that are never seen half-written: a file is written under a temporary name in
// its destination's directory and put in place by a rename only when everything has succeeded.
// A failed run or write, or SIGINT, SIGTERM, SIGHUP, SIGPIPE or SIGQUIT ending the process,
// leaves no partial file, and an existing destination untouched. The file that replaces another
// keeps its permission bits, and its group where the user may set it. Paths are used byte for byte.
#include <cstdio>
#include <string>
#include <string_view>

class TSaveFile {
public:
    // Creates the temporary file beside `destination`, which checks that its directory exists
    // and can be written; raises Exception naming the destination otherwise. What the final
    // rename needs is checked here too: a name the file system takes, an existing file the user
    // may write, and the sticky bit's rule. A symbolic link, dangling or not, is kept and the file
    // it names written. A destination that exists but is no regular file (a device, a pipe) is
    // opened and written in place.
    explicit TSaveFile(std::string destination);
    // Removes the temporary file unless Commit has put it in place.
    ~TSaveFile();
    TSaveFile(const TSaveFile&) = delete;
    TSaveFile& operator=(const TSaveFile&) = delete;

    // Raises Exception when the write fails.
    void Write(std::string_view data);
    // Flushes the file to the disk and closes it; raises Exception when that fails.
    void Finish();
    // Renames the finished file over its destination; raises Exception when that fails. Returns
    // whether a file was put in place (false for a destination written in place).
    bool Commit();

    const std::string& Destination() const { return destination_; }

private:
    [[noreturn]] void RaiseWriteError(int error) const;

    std::string destination_; // as given, for messages
    std::string target_;      // what the rename replaces: the destination, or the file a symbolic link names
    std::string temporary_;   // empty when written in place or once committed
    std::FILE* file_ = nullptr;
    int slot_ = -1; // where the temporary file's name is kept for the signal handler
};

// Whether two paths name the same file: compared as files where both exist, else by the
// normalised absolute paths they would be written at (symbolic links followed, dangling or not).
bool SameFile(const std::string& first, const std::string& second);

// Whether `path` names the regular file that `stream` is open on (a file stdin, stdout or stderr
// was redirected to, under any name: /dev/stdout, /dev/fd/1, its own).
bool IsFileOfStream(const std::string& path, std::FILE* stream);
