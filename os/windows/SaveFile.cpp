#include "os/SaveFile.h"
#include "os/SaveFilePlatform.h"

#include <csignal>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace platform {

void InstallRemovalOnSignals(void (*handler)(int))
{
    for (int signal : {SIGINT, SIGTERM})
        if (std::signal(signal, handler) == SIG_IGN) std::signal(signal, SIG_IGN);
}

void RemoveInSignalHandler(const char* path) { _unlink(path); }

void EndBySignal(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::FILE* CreateNewFile(const std::string& path)
{
    const int descriptor = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    std::FILE* file = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
    if (descriptor >= 0 && !file) _close(descriptor);
    return file;
}

bool SyncToDisk(std::FILE* file) { return _commit(_fileno(file)) == 0; }

// The rename itself tells: Windows has no permission bits or sticky directories to check first.
void CheckReplaceable(const std::string&, const fs::path&, const fs::path&) {}

// A new file takes its attributes from its folder.
bool TakeModeOf(const fs::path&, std::FILE*) { return true; }

} // namespace platform

// No /dev/stdout; a console or a pipe is never a regular file to replace.
bool IsFileOfStream(const std::string&, std::FILE*) { return false; }
