#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "clock.h"
#include "log_location.h"
#include "message.h"

namespace vadozoz {

inline constexpr std::string_view NoTempLogMessage = "Nessun log temporaneo da elaborate";

// The name of a day's export number `index` (1 = the first):
// "log_05Dec2014.adi", then "log_05Dec2014_2.adi" and so on.
std::string ExportName(const ClockReading& day, const MonthAbbreviations& months, int index);

// Which of the day's names the next export takes: one past the highest of
// the first three that exists as an ordinary file, else the first.
int NextExportIndex(const std::filesystem::path& folder, const ClockReading& day,
                    const MonthAbbreviations& months);

enum class ExportStatus { SaveFailed, NoTempLog, Exported, Failed };

struct ExportOutcome {
    ExportStatus status;
    Message message;
    std::filesystem::path file;  // Exported: the new file
};

// Saves the log text, copies the temporary log to the day's next free name
// (a hard link where the file system has them: the same bytes, no second
// write, no room needed) and deletes it. Never overwrites a file; on any
// failure the temporary log stays. On Exported the caller shows the message
// and then empties the log.
ExportOutcome ExportAdif(const LogLocation& location, std::string_view logText,
                         const ClockReading& today, const MonthAbbreviations& months);

}  // namespace vadozoz
