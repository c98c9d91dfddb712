#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// The few file operations the log needs, each safe against a crash midway.
// An empty error_code means success.
namespace vadozoz::fileio {

// True for an ordinary file (not a folder), following symbolic links.
bool IsOrdinaryFile(const std::filesystem::path& path);

// Reads the whole file into `out`.
std::error_code ReadFile(const std::filesystem::path& path, std::string& out);

// Replaces `target` by a file holding `bytes`: written to a new file in the
// same folder, flushed to disk, then renamed over the target. On failure the
// target is untouched and the new file removed. A target that already holds
// exactly these bytes is only flushed, not written again.
std::error_code WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Copies `from` to the new file `to`, flushed to disk. Fails with
// std::errc::file_exists when anything stands at `to`; a failed copy leaves
// nothing behind.
std::error_code CopyToNewFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Gives the flushed file `from` the second name `to` (a hard link: the same
// bytes, nothing written), or copies it where the file system has no hard
// links. Fails like CopyToNewFile.
std::error_code LinkOrCopyToNewFile(const std::filesystem::path& from,
                                    const std::filesystem::path& to);

// Deletes a file, and makes the deletion durable.
std::error_code RemoveFile(const std::filesystem::path& path);

// Deletes what an interrupted WriteFileAtomically left in `folder`.
void RemoveStaleTemporaries(const std::filesystem::path& folder);

// The system's text for an error, for messages.
std::string Reason(const std::error_code& error);

}  // namespace vadozoz::fileio
