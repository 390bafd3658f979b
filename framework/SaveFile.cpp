#include "SaveFile.h"

#include "Conversions.h"
#include "Exception.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Paths are long; they are quoted whole unless absurdly so.
constexpr std::size_t kQuotedPathLength = 300;

std::string Quoted(const std::string& path) { return QuoteForMessage(path, kQuotedPathLength); }

// The names of the temporary files that exist, for the signal handler: each slot holds a
// string owned by a TSaveFile, set before the file is created and cleared before it is freed.
std::array<std::atomic<const char*>, 8> temporaries{};
static_assert(std::atomic<const char*>::is_always_lock_free, "the signal handler reads the slots");

constexpr int kRemovalSignals[] = {
    SIGINT, SIGTERM,
#ifndef _WIN32
    SIGHUP, SIGPIPE,
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
    default: return "системная ошибка " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

TSaveFile::TSaveFile(std::string destination) : destination_(std::move(destination)), target_(destination_)
{
    std::error_code error;
    const fs::file_status status = fs::status(target_, error);
    if (fs::is_directory(status)) throw Exception("Не удалось записать файл " + Quoted(destination_) + ": это папка.");
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        file_ = std::fopen(target_.c_str(), "wb");
        if (!file_) throw Exception("Не удалось открыть " + Quoted(destination_) + ": " + DescribeSystemError(errno) + ".");
        return;
    }
    // A symbolic link keeps pointing where it did: the file it names is replaced.
    if (fs::is_symlink(fs::symlink_status(target_, error)) && fs::exists(status)) {
        const fs::path resolved = fs::canonical(target_, error);
        if (!error) target_ = resolved.string();
    }

    InstallRemovalOnSignals();
    fs::path directory = fs::path(target_).parent_path();
    if (directory.empty()) directory = ".";
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

void TSaveFile::Commit()
{
    Finish();
    if (temporary_.empty()) return;
    std::error_code error;
    fs::rename(temporary_, target_, error);
    if (error)
        throw Exception("Не удалось заменить файл " + Quoted(destination_) + ": " + DescribeSystemError(error.value()) + ".");
    // Renamed: until the slot is free, the handler's unlink of the old name finds nothing.
    ReleaseSlot(slot_);
    slot_ = -1;
    temporary_.clear();
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
    if (fs::exists(first, error) && fs::exists(second, error)) return fs::equivalent(first, second, error);
    return Normalised(first) == Normalised(second);
}
