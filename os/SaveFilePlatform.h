#pragma once
// What each platform's half of SaveFile provides (posix/, windows/): the steps of writing a file
// under a temporary name that differ between the systems.
#include <cstdio>
#include <filesystem>
#include <string>

namespace platform {

// Has `handler` run on the signals that end a process, except those already ignored. The
// handler removes the temporary files and then ends the process with EndBySignal.
void InstallRemovalOnSignals(void (*handler)(int));
// Removes a file; safe in a signal handler.
void RemoveInSignalHandler(const char* path);
// Ends the process by `signal`, the handler having run.
void EndBySignal(int signal);

// Opens a file that must not exist yet, for writing; nullptr with errno set otherwise.
std::FILE* CreateNewFile(const std::string& path);
// Flushes the file's data to the disk; false with errno set when that fails.
bool SyncToDisk(std::FILE* file);

// Raises Exception naming `destination` when the rename that will put the file at `target`, in
// `directory`, is bound to fail; checked before the writing so that a long run is not wasted.
void CheckReplaceable(const std::string& destination, const std::filesystem::path& target,
                      const std::filesystem::path& directory);
// Gives the new file what the file at `target` it replaces had; false with errno set when that fails.
bool TakeModeOf(const std::filesystem::path& target, std::FILE* file);

} // namespace platform
