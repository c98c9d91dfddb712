#include "file_io.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

namespace vadozoz::fileio {
namespace {

namespace fs = std::filesystem;

constexpr std::wstring_view kTemporaryPrefix = L".log.ziz.";

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (ok()) ::CloseHandle(h_);
    }
    HANDLE get() const { return h_; }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    std::error_code Close() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) ? std::error_code{} : LastError();
    }

private:
    HANDLE h_;
};

std::error_code WriteAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr)) return LastError();
        bytes.remove_prefix(written);
    }
    return {};
}

std::error_code FlushAndClose(Handle& h) {
    if (!::FlushFileBuffers(h.get())) {
        const auto error = LastError();
        h.Close();
        return error;
    }
    return h.Close();
}

HANDLE CreateNew(const fs::path& path) {
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool IsOrdinaryFile(const fs::path& path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

std::error_code ReadFile(const fs::path& path, std::string& out) {
    Handle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.ok()) return LastError();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(h.get(), &size)) return LastError();
    out.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t got = 0;
    while (got < out.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(out.size() - got, 1u << 30));
        DWORD n = 0;
        if (!::ReadFile(h.get(), out.data() + got, chunk, &n, nullptr)) return LastError();
        if (n == 0) break;
        got += n;
    }
    out.resize(got);
    return {};
}

namespace {

// Writes a new file in the target's folder in full and flushes it, then
// gives it its name with `flags`, so that no name ever shows a cut file.
template <class Fill>
std::error_code WriteThenName(const fs::path& to, DWORD flags, Fill fill) {
    const fs::path folder = to.parent_path();
    fs::path temporary;
    HANDLE raw = INVALID_HANDLE_VALUE;
    for (int attempt = 0; raw == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder / (std::wstring(kTemporaryPrefix) +
                              std::to_wstring(::GetCurrentProcessId()) + L"." +
                              std::to_wstring(attempt));
        raw = CreateNew(temporary);
        if (raw == INVALID_HANDLE_VALUE &&
            (::GetLastError() != ERROR_FILE_EXISTS || attempt > 1000)) {
            return LastError();
        }
    }
    Handle h(raw);
    std::error_code error = fill(h.get());
    if (!error) error = FlushAndClose(h);
    else h.Close();
    if (!error && !::MoveFileExW(temporary.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = ::GetLastError();
        error = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS
                    ? std::make_error_code(std::errc::file_exists)
                    : std::error_code(static_cast<int>(code), std::system_category());
    }
    if (error) ::DeleteFileW(temporary.c_str());
    return error;
}

}  // namespace

std::error_code WriteFileAtomically(const fs::path& target, std::string_view bytes) {
    // The window saves after every contact, so the log on disk is usually
    // already the one asked for; our own writes were flushed when made.
    std::string current;
    if (IsOrdinaryFile(target) && !ReadFile(target, current) && current == bytes) return {};
    return WriteThenName(target, MOVEFILE_REPLACE_EXISTING, [bytes](HANDLE h) { return WriteAll(h, bytes); });
}

std::error_code CopyToNewFile(const fs::path& from, const fs::path& to) {
    Handle source(::CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source.ok()) return LastError();
    if (fs::exists(to)) return std::make_error_code(std::errc::file_exists);
    // Without MOVEFILE_REPLACE_EXISTING the move fails where `to` exists.
    return WriteThenName(to, 0, [&source](HANDLE target) {
        std::vector<char> buffer(std::size_t{1} << 20);
        for (;;) {
            DWORD n = 0;
            if (!::ReadFile(source.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
                return LastError();
            }
            if (n == 0) return std::error_code{};
            if (auto error = WriteAll(target, {buffer.data(), n})) return error;
        }
    });
}

std::error_code LinkOrCopyToNewFile(const fs::path& from, const fs::path& to) {
    if (::CreateHardLinkW(to.c_str(), from.c_str(), nullptr)) return {};
    const DWORD code = ::GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) {
        return std::make_error_code(std::errc::file_exists);
    }
    // FAT and some network drives have no hard links.
    return CopyToNewFile(from, to);
}

std::error_code RemoveFile(const fs::path& path) {
    return ::DeleteFileW(path.c_str()) ? std::error_code{} : LastError();
}

void RemoveStaleTemporaries(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (it->path().filename().wstring().starts_with(kTemporaryPrefix) &&
            it->is_regular_file(ignored)) {
            fs::remove(it->path(), ignored);
        }
    }
}

std::string Reason(const std::error_code& error) { return error.message(); }

}  // namespace vadozoz::fileio
