#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vadozoz::fuzz {

// A private folder for the life of the fuzzer process. Memory-backed where the
// system has /dev/shm: every save syncs to disk, and the fuzzer saves
// thousands of times a second.
class FuzzFolder {
public:
    FuzzFolder();
    ~FuzzFolder();
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void Clear() const;               // empties it between inputs
    std::size_t EntryCount() const;

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vadozoz::fuzz
