#include "log_location.h"

#include <cstdlib>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace vadozoz {
#ifndef _WIN32
namespace {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return ".";
}

}  // namespace
#endif

std::string ShownPath(const std::filesystem::path& path) {
    const auto utf8 = path.u8string();
    return {utf8.begin(), utf8.end()};
}

LogLocation LogLocation::At(const std::filesystem::path& folder) {
    return {folder, ShownPath(folder), ShownPath(folder / "log.ziz")};
}

LogLocation DefaultLogLocation() {
#ifdef _WIN32
    // Windows users know these paths from the messages, letter for letter.
    return {std::filesystem::path(L"C:\\adif"), "C:\\adif", "c:\\adif\\log.ziz"};
#else
    return LogLocation::At(HomeFolder() / "adif");
#endif
}

}  // namespace vadozoz
