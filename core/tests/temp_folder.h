#pragma once

#include <filesystem>
#include <string>

namespace vadozoz::testing {

// A fresh folder under the system's temporary folder, removed with its content.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Creates `folder` and mounts a tmpfs of `size` ("64k") on it, in a mount
// namespace of this test process alone. Empty on success, else the reason
// the machine does not allow it, for the test to skip with.
std::string MountSmallDisk(const std::filesystem::path& folder, const char* size);

// The shared fixture folder, or empty when this checkout has none.
std::filesystem::path SharedFixture(const std::string& name);

}  // namespace vadozoz::testing
