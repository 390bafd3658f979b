#include "os/SaveFile.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "os/SaveFilePlatform.h"
#include "os/SystemError.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <random>

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& path) { return QuoteForMessage(path); }

// The names of the temporary files that exist, for the signal handler: each slot holds a
// string owned by a TSaveFile, set before the file is created and cleared before it is freed.
std::array<std::atomic<const char*>, 8> temporaries{};
static_assert(std::atomic<const char*>::is_always_lock_free, "the signal handler reads the slots");

extern "C" void RemoveTemporariesAndDie(int signal)
{
    for (auto& slot : temporaries)
        if (const char* path = slot.load()) platform::RemoveInSignalHandler(path);
    platform::EndBySignal(signal);
}

void InstallRemovalOnSignals()
{
    static std::once_flag installed;
    std::call_once(installed, [] { platform::InstallRemovalOnSignals(RemoveTemporariesAndDie); });
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

} // namespace

TSaveFile::TSaveFile(std::string destination) : destination_(std::move(destination))
{
    std::error_code error;
    const fs::file_status status = fs::status(destination_, error);
    if (fs::is_directory(status)) throw Exception("Не удалось записать файл " + Quoted(destination_) + ": это папка.");
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        file_ = std::fopen(destination_.c_str(), "wb");
        if (!file_)
            throw Exception("Не удалось открыть " + Quoted(destination_) + ": " + DescribeSystemError(errno) + ".");
        return;
    }
    // A symbolic link keeps pointing where it did: the file it names is replaced, or created.
    target_ = WriteTarget(destination_);

    InstallRemovalOnSignals();
    fs::path directory = fs::path(target_).parent_path();
    if (directory.empty()) directory = ".";
    platform::CheckReplaceable(destination_, target_, directory);
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        temporary_ = TemporaryName(directory);
        slot_ = TakeSlot(temporary_.c_str());
        file_ = platform::CreateNewFile(temporary_);
        const int openError = errno;
        if (file_) break;
        ReleaseSlot(slot_);
        slot_ = -1;
        // A folder that is there but takes no new file (/proc) answers "no such file".
        std::error_code noFolder;
        if (openError == ENOENT && fs::is_directory(directory, noFolder))
            throw Exception("Не удалось создать файл " + Quoted(destination_) + ": в папке " +
                            Quoted(directory.string()) + " файловая система не позволяет создавать файлы.");
        if (openError != EEXIST)
            throw Exception("Не удалось создать файл " + Quoted(destination_) + ": " + DescribeSystemError(openError) +
                            ".");
    }
    if (!file_) throw Exception("Не удалось создать временный файл рядом с " + Quoted(destination_) + ".");
    if (!platform::TakeModeOf(target_, file_)) RaiseWriteError(errno);
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
    if (ok && !temporary_.empty()) ok = platform::SyncToDisk(file_);
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
