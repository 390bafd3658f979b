#include "os/SaveFile.h"
#include "os/SaveFilePlatform.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "os/SystemError.h"

#include <cerrno>
#include <climits>
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

void InstallRemovalOnSignals(void (*handler)(int))
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) {
        struct sigaction action {
        }, previous{};
        sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) continue; // ignored by whoever started us: stays so
        action.sa_handler = handler;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
    // Beyond the file-size limit a write fails with EFBIG, reported and cleaned up as any other.
    std::signal(SIGXFSZ, SIG_IGN);
}

void RemoveInSignalHandler(const char* path) { unlink(path); }

// The handler was reset to the default on entry: the signal now ends the process as usual.
void EndBySignal(int signal) { std::raise(signal); }

std::FILE* CreateNewFile(const std::string& path)
{
    // Created as any new file is, with the permissions the umask leaves.
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (descriptor >= 0 && !file) close(descriptor);
    return file;
}

bool SyncToDisk(std::FILE* file)
{
    return fsync(fileno(file)) == 0 || errno == EINVAL; // EINVAL: a file that cannot be synced
}

// A name the file system takes, an existing file the user may write, and in a directory with the
// sticky bit, a file the user owns (or a directory the user owns).
void CheckReplaceable(const std::string& destination, const fs::path& target, const fs::path& directory)
{
    const auto refuse = [&](const char* what, int error) {
        throw Exception(std::string(what) + QuoteForMessage(destination) + ": " + DescribeSystemError(error) + ".");
    };
    const long nameMax = pathconf(directory.c_str(), _PC_NAME_MAX);
    if ((nameMax > 0 && target.filename().native().size() > static_cast<std::size_t>(nameMax)) ||
        target.native().size() >= PATH_MAX)
        refuse("Не удалось создать файл ", ENAMETOOLONG);
    struct stat file {
    }, folder{};
    if (stat(target.c_str(), &file) != 0) return;
    if (access(target.c_str(), W_OK) != 0) refuse("Не удалось записать файл ", errno);
    const uid_t user = geteuid();
    if (stat(directory.c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) && user != 0 && file.st_uid != user &&
        folder.st_uid != user)
        throw Exception("Не удалось заменить файл " + QuoteForMessage(destination) +
                        ": он принадлежит другому пользователю, а в этой папке можно заменять только свои файлы.");
}

// The replaced file's permission bits, and its group where the user may set it.
bool TakeModeOf(const fs::path& target, std::FILE* file)
{
    struct stat old {};
    if (stat(target.c_str(), &old) != 0) return true;                    // a new file: as the umask leaves it
    if (fchown(fileno(file), static_cast<uid_t>(-1), old.st_gid) != 0) { /* the user's own group stays */
    }
    return fchmod(fileno(file), old.st_mode & 07777) == 0;
}

} // namespace platform

bool IsFileOfStream(const std::string& path, std::FILE* stream)
{
    struct stat file {
    }, streams{};
    return stat(path.c_str(), &file) == 0 && fstat(fileno(stream), &streams) == 0 && S_ISREG(streams.st_mode) &&
           file.st_dev == streams.st_dev && file.st_ino == streams.st_ino;
}
