#pragma once

#include <filesystem>
#include <string>

namespace vadozoz {

// The log folder and how the messages name it and the temporary log in it.
struct LogLocation {
    std::filesystem::path folder;
    std::string shownFolder;
    std::string shownTempLog;

    std::filesystem::path TempLog() const { return folder / "log.ziz"; }

    // A location whose messages name the folder's real path.
    static LogLocation At(const std::filesystem::path& folder);
};

// "C:\adif" on Windows, the folder "adif" in the home folder elsewhere.
LogLocation DefaultLogLocation();

// A path as UTF-8 text, for messages.
std::string ShownPath(const std::filesystem::path& path);

}  // namespace vadozoz
