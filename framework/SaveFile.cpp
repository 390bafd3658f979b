#include "SaveFile.h"

#include "Conversions.h"
#include "Exception.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& path) { return QuoteForMessage(path); }

// The names of the temporary files that exist, for the signal handler: each slot holds a
// string owned by a TSaveFile, set before the file is created and cleared before it is freed.
std::array<std::atomic<const char*>, 8> temporaries{};
static_assert(std::atomic<const char*>::is_always_lock_free, "the signal handler reads the slots");

constexpr int kRemovalSignals[] = {
    SIGINT, SIGTERM,
#ifndef _WIN32
    SIGHUP, SIGPIPE, SIGQUIT,
#endif
};

extern "C" void RemoveTemporariesAndDie(int signal)
{
    for (auto& slot : temporaries)
        if (const char* path = slot.load()) {
#ifdef _WIN32
            _unlink(path);
#else
            unlink(path);
#endif
        }
    // The handler was reset to the default on entry: the signal now ends the process as usual.
#ifdef _WIN32
    std::signal(signal, SIG_DFL);
#endif
    std::raise(signal);
}

void InstallRemovalOnSignals()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (int signal : kRemovalSignals) {
#ifdef _WIN32
            if (std::signal(signal, RemoveTemporariesAndDie) == SIG_IGN) std::signal(signal, SIG_IGN);
#else
            struct sigaction action {}, previous{};
            sigaction(signal, nullptr, &previous);
            if (previous.sa_handler == SIG_IGN) continue; // ignored by whoever started us: stays so
            action.sa_handler = RemoveTemporariesAndDie;
            action.sa_flags = SA_RESETHAND;
            sigemptyset(&action.sa_mask);
            sigaction(signal, &action, nullptr);
#endif
        }
#ifndef _WIN32
        // Beyond the file-size limit a write fails with EFBIG, reported and cleaned up as any other.
        std::signal(SIGXFSZ, SIG_IGN);
#endif
    });
}

int TakeSlot(const char* path)
{
    for (std::size_t i = 0; i < temporaries.size(); ++i) {
        const char* empty = nullptr;
        if (temporaries[i].compare_exchange_strong(empty, path)) return static_cast<int>(i);
    }
    throw Exception("Слишком много файлов записывается одновременно.");
}

void ReleaseSlot(int slot)
{
    if (slot >= 0) temporaries[static_cast<std::size_t>(slot)] = nullptr;
}

// A name no other file in the directory is likely to have; creation still checks.
std::string TemporaryName(const fs::path& directory)
{
    static std::mt19937 random{std::random_device{}()};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".rootfinder-";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return (directory / (name + ".tmp")).string();
}

// Opens a file that must not exist yet, for writing; nullptr with errno set otherwise.
std::FILE* CreateNewFile(const std::string& path)
{
#ifdef _WIN32
    const int descriptor = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    std::FILE* file = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
    if (descriptor >= 0 && !file) _close(descriptor);
#else
    // Created as any new file is, with the permissions the umask leaves.
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (descriptor >= 0 && !file) close(descriptor);
#endif
    return file;
}

bool SyncToDisk(std::FILE* file)
{
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0 || errno == EINVAL; // EINVAL: a file that cannot be synced
#endif
}

// Follows symbolic links, a dangling one included, to the path a rename must replace so that
// the links stay as they are. Raises Exception after too many links.
std::string WriteTarget(const std::string& path)
{
    fs::path target = path;
    for (int links = 0;; ++links) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(target, error))) return target.string();
        const fs::path next = fs::read_symlink(target, error);
        if (error || links == 40) {
            const auto reason = error ? error : std::make_error_code(std::errc::too_many_symbolic_link_levels);
            throw Exception("Не удалось создать файл " + Quoted(path) + ": " + DescribeSystemError(reason) + ".");
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
}

#ifndef _WIN32
// What the rename at the end will need, checked now so that a long run is not wasted: a name the
// file system takes, an existing file the user may write, and in a directory with the sticky bit,
// a file the user owns (or a directory the user owns).
void CheckReplaceable(const std::string& destination, const fs::path& target, const fs::path& directory)
{
    const auto refuse = [&](const char* what, int error) {
        throw Exception(std::string(what) + Quoted(destination) + ": " + DescribeSystemError(error) + ".");
    };
    const long nameMax = pathconf(directory.c_str(), _PC_NAME_MAX);
    if ((nameMax > 0 && target.filename().native().size() > static_cast<std::size_t>(nameMax)) ||
        target.native().size() >= PATH_MAX)
        refuse("Не удалось создать файл ", ENAMETOOLONG);
    struct stat file{}, folder{};
    if (stat(target.c_str(), &file) != 0) return;
    if (access(target.c_str(), W_OK) != 0) refuse("Не удалось записать файл ", errno);
    const uid_t user = geteuid();
    if (stat(directory.c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) && user != 0 && file.st_uid != user &&
        folder.st_uid != user)
        throw Exception("Не удалось заменить файл " + Quoted(destination) +
                        ": он принадлежит другому пользователю, а в этой папке можно заменять только свои файлы.");
}

// The replaced file's permission bits, and its group where the user may set it.
bool TakeModeOf(const fs::path& target, std::FILE* file)
{
    struct stat old{};
    if (stat(target.c_str(), &old) != 0) return true; // a new file: as the umask leaves it
    if (fchown(fileno(file), static_cast<uid_t>(-1), old.st_gid) != 0) { /* the user's own group stays */ }
    return fchmod(fileno(file), old.st_mode & 07777) == 0;
}
#endif

} // namespace

std::string DescribeSystemError(int error)
{
    switch (error) {
    case ENOENT: return "нет такой папки";
    case ENOTDIR: return "часть пути — не папка";
    case EACCES:
    case EPERM: return "нет прав на запись";
    case EROFS: return "файловая система доступна только для чтения";
    case ENOSPC: return "на диске нет места";
#ifdef EDQUOT
    case EDQUOT: return "превышена дисковая квота";
#endif
    case EFBIG: return "файл слишком велик";
    case ENAMETOOLONG: return "слишком длинное имя";
    case EISDIR: return "это папка";
    case EPIPE: return "получатель закрыл канал";
    case EIO: return "ошибка ввода-вывода";
    case EBADF: return "поток закрыт или не открыт для записи";
    case EMFILE:
    case ENFILE: return "открыто слишком много файлов";
    case ENOMEM: return "недостаточно памяти";
    case ELOOP: return "слишком много символических ссылок";
    case EBUSY:
    case ETXTBSY: return "файл занят";
    case EXDEV: return "файл нельзя переместить на другую файловую систему";
    case EEXIST: return "файл уже существует";
    case EINVAL: return "недопустимое имя или операция";
    case ENXIO:
    case ENODEV: return "нет такого устройства";
    case EAGAIN: return "ресурс временно недоступен";
    case EINTR: return "прервано сигналом";
    default: return "системная ошибка " + std::to_string(error);
    }
}

std::string DescribeSystemError(const std::error_code& error)
{
#ifdef _WIN32
    // The library's own calls report Windows' error codes, which are no errno values.
    if (error.category() == std::system_category()) {
        switch (error.value()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return "нет такой папки";
        case ERROR_ACCESS_DENIED: return "нет прав на запись";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return "файл занят другой программой";
        case ERROR_WRITE_PROTECT: return "диск защищён от записи";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "на диске нет места";
        case ERROR_FILENAME_EXCED_RANGE: return "слишком длинное имя";
        case ERROR_INVALID_NAME: return "недопустимое имя файла";
        case ERROR_DIRECTORY: return "часть пути — не папка";
        case ERROR_NOT_SAME_DEVICE: return "файл нельзя переместить на другой диск";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return "недостаточно памяти";
        default: return "системная ошибка Windows " + std::to_string(error.value());
        }
    }
#endif
    return DescribeSystemError(error.value());
}

TSaveFile::TSaveFile(std::string destination) : destination_(std::move(destination))
{
    std::error_code error;
    const fs::file_status status = fs::status(destination_, error);
    if (fs::is_directory(status)) throw Exception("Не удалось записать файл " + Quoted(destination_) + ": это папка.");
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        file_ = std::fopen(destination_.c_str(), "wb");
        if (!file_) throw Exception("Не удалось открыть " + Quoted(destination_) + ": " + DescribeSystemError(errno) + ".");
        return;
    }
    // A symbolic link keeps pointing where it did: the file it names is replaced, or created.
    target_ = WriteTarget(destination_);

    InstallRemovalOnSignals();
    fs::path directory = fs::path(target_).parent_path();
    if (directory.empty()) directory = ".";
#ifndef _WIN32
    CheckReplaceable(destination_, target_, directory);
#endif
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        temporary_ = TemporaryName(directory);
        slot_ = TakeSlot(temporary_.c_str());
        file_ = CreateNewFile(temporary_);
        const int openError = errno;
        if (file_) break;
        ReleaseSlot(slot_);
        slot_ = -1;
        if (openError != EEXIST)
            throw Exception("Не удалось создать файл " + Quoted(destination_) + ": " + DescribeSystemError(openError) + ".");
    }
    if (!file_) throw Exception("Не удалось создать временный файл рядом с " + Quoted(destination_) + ".");
#ifndef _WIN32
    if (!TakeModeOf(target_, file_)) RaiseWriteError(errno);
#endif
}

TSaveFile::~TSaveFile()
{
    if (file_) std::fclose(file_);
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    ReleaseSlot(slot_);
}

void TSaveFile::RaiseWriteError(int error) const
{
    throw Exception("Не удалось записать файл " + Quoted(destination_) + ": " + DescribeSystemError(error) + ".");
}

void TSaveFile::Write(std::string_view data)
{
    if (std::fwrite(data.data(), 1, data.size(), file_) != data.size()) RaiseWriteError(errno);
}

void TSaveFile::Finish()
{
    if (!file_) return;
    errno = 0;
    bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
    if (ok && !temporary_.empty()) ok = SyncToDisk(file_);
    int error = errno;
    if (std::fclose(file_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    file_ = nullptr;
    if (!ok) RaiseWriteError(error ? error : EIO);
}

bool TSaveFile::Commit()
{
    Finish();
    if (temporary_.empty()) return false;
    std::error_code error;
    fs::rename(temporary_, target_, error);
    if (error)
        throw Exception("Не удалось заменить файл " + Quoted(destination_) + ": " + DescribeSystemError(error) + ".");
    // Renamed: until the slot is free, the handler's unlink of the old name finds nothing.
    ReleaseSlot(slot_);
    slot_ = -1;
    temporary_.clear();
    return true;
}

namespace {

fs::path Normalised(const std::string& path)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error).lexically_normal();
    const fs::path resolved = fs::weakly_canonical(absolute, error);
    return error ? absolute : resolved;
}

} // namespace

bool SameFile(const std::string& first, const std::string& second)
{
    std::error_code error;
    const bool firstExists = fs::exists(first, error), secondExists = fs::exists(second, error);
    if (firstExists && secondExists) return fs::equivalent(first, second, error);
    if (firstExists != secondExists) return false;
    // Neither exists yet: a link to a name and the name itself make the same file.
    try {
        return Normalised(WriteTarget(first)) == Normalised(WriteTarget(second));
    } catch (const Exception&) {
        return Normalised(first) == Normalised(second);
    }
}

bool IsFileOfStream(const std::string& path, std::FILE* stream)
{
#ifdef _WIN32
    (void)path;
    (void)stream;
    return false; // no /dev/stdout; a console or a pipe is never a regular file to replace
#else
    struct stat file{}, streams{};
    return stat(path.c_str(), &file) == 0 && fstat(fileno(stream), &streams) == 0 && S_ISREG(streams.st_mode) &&
           file.st_dev == streams.st_dev && file.st_ino == streams.st_ino;
#endif
}
