#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace vadozoz::fileio {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTemporaryPrefix = ".log.ziz.";

std::error_code LastError() { return {errno, std::generic_category()}; }

// Closes on scope exit unless released; close errors are checked where they matter.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    std::error_code Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? std::error_code{} : LastError();
    }

private:
    int fd_;
};

std::error_code WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

std::error_code SyncAndClose(Fd& fd) {
    if (::fsync(fd.get()) != 0) {
        const auto error = LastError();
        fd.Close();
        return error;
    }
    return fd.Close();
}

// A rename or a new file is durable only once its folder is synced.
std::error_code SyncFolder(const fs::path& folder) {
    Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok()) return LastError();
    if (::fsync(dir.get()) != 0 && errno != EINVAL) return LastError();
    return {};
}

std::error_code CopyBytes(int from, int to) {
#ifdef __linux__
    // In-kernel copy first; fall back to read/write where it is not offered.
    for (;;) {
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, std::size_t{1} << 30, 0);
        if (n == 0) return {};
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
        return LastError();
    }
#endif
    std::vector<char> buffer(std::size_t{1} << 20);
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n == 0) return {};
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (auto error = WriteAll(to, {buffer.data(), static_cast<std::size_t>(n)})) return error;
    }
}

}  // namespace

bool IsOrdinaryFile(const fs::path& path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

std::error_code ReadFile(const fs::path& path, std::string& out) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.ok()) return LastError();
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return LastError();
    if (S_ISDIR(st.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    out.clear();
    out.reserve(static_cast<std::size_t>(st.st_size) + 65536);
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
        if (got == out.size()) out.resize(out.size() + 65536);  // the file grew, or has no size
        const ssize_t n = ::read(fd.get(), out.data() + got, out.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return {};
}

namespace {

// True when `path` is an ordinary file holding exactly `bytes`; then it is
// flushed as well, so it is as durable as a fresh write would be.
bool HoldsAndFlushed(const fs::path& path, std::string_view bytes) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.ok()) return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) != bytes.size()) {
        return false;
    }
    std::vector<char> buffer(std::min<std::size_t>(bytes.size(), std::size_t{1} << 20));
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::read(fd.get(), buffer.data(), std::min(buffer.size(), bytes.size() - at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || std::memcmp(buffer.data(), bytes.data() + at, static_cast<std::size_t>(n)) != 0) {
            return false;
        }
        at += static_cast<std::size_t>(n);
    }
    return ::fsync(fd.get()) == 0;
}

// A new empty file in `folder` for bytes on their way to their real name; a
// crash leaves it under a name that start-up clears away.
std::error_code CreateTemporary(const fs::path& folder, fs::path& temporary, int& fd) {
    for (int attempt = 0;; ++attempt) {
        temporary = folder / (std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "." +
                              std::to_string(attempt));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return {};
        if (errno != EEXIST || attempt > 1000) return LastError();
    }
}

// Renames, failing with file_exists where anything stands at `to`.
std::error_code RenameToNewName(const fs::path& from, const fs::path& to) {
#ifdef __linux__
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return LastError();
#endif
    // A hard link is just as exclusive; where there is neither, look first.
    if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0 ? std::error_code{} : LastError();
    if (errno == EEXIST) return LastError();
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return std::make_error_code(std::errc::file_exists);
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code{} : LastError();
}

// Writes the temporary in full and flushes it, then gives it its name, so
// that `to` never names a cut file.
template <class Fill, class Name>
std::error_code WriteThenName(const fs::path& to, Fill fill, Name name) {
    const fs::path folder = to.parent_path();
    fs::path temporary;
    int raw = -1;
    if (auto error = CreateTemporary(folder, temporary, raw)) return error;
    Fd fd(raw);
    std::error_code error = fill(fd.get());
    if (!error) error = SyncAndClose(fd);
    if (!error) error = name(temporary, to);
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    return SyncFolder(folder);
}

}  // namespace

std::error_code WriteFileAtomically(const fs::path& target, std::string_view bytes) {
    // The window saves after every contact, so the log on disk is usually
    // already the one asked for: reading it back costs far less than a write.
    if (HoldsAndFlushed(target, bytes)) return {};
    return WriteThenName(
        target, [bytes](int fd) { return WriteAll(fd, bytes); },
        [](const fs::path& from, const fs::path& to) {
            return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code{} : LastError();
        });
}

std::error_code CopyToNewFile(const fs::path& from, const fs::path& to) {
    Fd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source.ok()) return LastError();
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return std::make_error_code(std::errc::file_exists);
    return WriteThenName(to, [&source](int fd) { return CopyBytes(source.get(), fd); }, RenameToNewName);
}

std::error_code LinkOrCopyToNewFile(const fs::path& from, const fs::path& to) {
    if (::link(from.c_str(), to.c_str()) == 0) return SyncFolder(to.parent_path());
    // FAT and some network file systems have no hard links.
    if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS || errno == EMLINK || errno == EXDEV) {
        return CopyToNewFile(from, to);
    }
    return LastError();
}

std::error_code RemoveFile(const fs::path& path) {
    if (::unlink(path.c_str()) != 0) return LastError();
    return SyncFolder(path.parent_path());
}

void RemoveStaleTemporaries(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        const auto name = it->path().filename().string();
        if (name.starts_with(kTemporaryPrefix) && it->is_regular_file(ignored)) {
            fs::remove(it->path(), ignored);
        }
    }
}

std::string Reason(const std::error_code& error) { return error.message(); }

}  // namespace vadozoz::fileio
