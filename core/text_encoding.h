#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vadozoz {

// The bytes of a log file as UTF-8: valid UTF-8 stays as it is; anything else
// was written by an older Windows program and is read as Windows-1252 (the
// ANSI code page on Windows), so that no character is lost.
std::string DecodeLogBytes(std::string bytes);

// UTF-8 text in the system's code page for writing, or nothing when a
// character cannot be held by it (it must never become "?").
std::optional<std::string> EncodeForSystem(std::string utf8);

bool IsValidUtf8(std::string_view bytes);

}  // namespace vadozoz
