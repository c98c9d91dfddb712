#include "temp_folder.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vadozoz::testing {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vadozoz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string MountSmallDisk(const std::filesystem::path& folder, const char* size) {
    if (unshare(CLONE_NEWNS) != 0) return std::string("no private mount namespace: ") + std::strerror(errno);
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("cannot make mounts private: ") + std::strerror(errno);
    std::filesystem::create_directories(folder);
    const std::string options = std::string("size=") + size;
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    return {};
}

std::filesystem::path SharedFixture(const std::string& name) {
    const std::filesystem::path path = std::filesystem::path(VADOZOZ_SHARED_FIXTURES) / name;
    return std::filesystem::exists(path) ? path : std::filesystem::path{};
}

}  // namespace vadozoz::testing
