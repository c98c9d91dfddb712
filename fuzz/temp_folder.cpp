#include "temp_folder.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

namespace vadozoz::fuzz {

namespace fs = std::filesystem;

FuzzFolder::FuzzFolder() {
    std::error_code ignored;
    const fs::path base = fs::is_directory("/dev/shm", ignored) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "vadozoz-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
}

FuzzFolder::~FuzzFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void FuzzFolder::Clear() const {
    for (const auto& entry : fs::directory_iterator(path_)) fs::remove_all(entry.path());
}

std::size_t FuzzFolder::EntryCount() const {
    std::size_t n = 0;
    for (auto it = fs::directory_iterator(path_); it != fs::directory_iterator(); ++it) ++n;
    return n;
}

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

std::string ReadBytes(const fs::path& path) {
    const File f(std::fopen(path.c_str(), "rb"));
    if (!f) std::abort();
    std::string bytes;
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0;) bytes.append(buffer, n);
    return bytes;
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    const File f(std::fopen(path.c_str(), "wb"));
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) std::abort();
}

}  // namespace vadozoz::fuzz
