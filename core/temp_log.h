#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "log_location.h"
#include "message.h"

namespace vadozoz {

// Creates the log folder when it is missing. A message when it cannot.
std::optional<Message> EnsureLogFolder(const LogLocation& location);

enum class SaveStatus { NothingToSave, Written, Failed };

struct SaveOutcome {
    SaveStatus status;
    Message message;  // Written: the confirmation shown on leaving; Failed: why
};

// Stores the log text and one CR LF as the temporary log, atomically. An
// empty text writes nothing and leaves an earlier file as it is.
SaveOutcome SaveTempLog(const LogLocation& location, std::string_view text);

enum class LoadStatus { NoTempLog, Loaded, Failed };

struct LoadOutcome {
    LoadStatus status;
    std::string text;  // Loaded: the log text
    Message message;   // Failed: why
};

// Reads the temporary log back in one pass; the file is left as it is.
LoadOutcome LoadTempLog(const LogLocation& location);

}  // namespace vadozoz
