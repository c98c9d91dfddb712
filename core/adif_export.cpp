#include "adif_export.h"

#include "file_io.h"
#include "temp_log.h"

namespace vadozoz {
namespace {

namespace fs = std::filesystem;

// A day never sees anywhere near this many exports; it only bounds the search.
constexpr int kMaxExportsPerDay = 10000;

}  // namespace

std::string ExportName(const ClockReading& day, const MonthAbbreviations& months, int index) {
    std::string name = "log_";
    name += FormatDate("ddmmmyyyy", day, months);
    if (index > 1) name.append("_").append(std::to_string(index));
    return name.append(".adi");
}

int NextExportIndex(const fs::path& folder, const ClockReading& day,
                    const MonthAbbreviations& months) {
    for (int index = 3; index >= 1; --index) {
        if (fileio::IsOrdinaryFile(folder / ExportName(day, months, index))) return index + 1;
    }
    return 1;
}

ExportOutcome ExportAdif(const LogLocation& location, std::string_view logText,
                         const ClockReading& today, const MonthAbbreviations& months) {
    if (auto saved = SaveTempLog(location, logText); saved.status == SaveStatus::Failed) {
        return {ExportStatus::SaveFailed, std::move(saved.message), {}};
    }
    const fs::path tempLog = location.TempLog();
    if (!fileio::IsOrdinaryFile(tempLog)) {
        return {ExportStatus::NoTempLog, {MessageKind::Information, std::string(NoTempLogMessage)}, {}};
    }

    // The rules' name can be taken (a fifth export of the day, or a folder of
    // that name): then the next free number is used, never an existing file.
    fs::path target;
    std::error_code error;
    for (int index = NextExportIndex(location.folder, today, months);; ++index) {
        target = location.folder / ExportName(today, months, index);
        error = fileio::LinkOrCopyToNewFile(tempLog, target);
        if (error != std::errc::file_exists || index >= kMaxExportsPerDay) break;
    }
    if (!error) {
        error = fileio::RemoveFile(tempLog);
        // The records must end up in exactly one file: take the copy back.
        if (error) fileio::RemoveFile(target);
    }
    if (error) {
        return {ExportStatus::Failed,
                {MessageKind::Warning, "Impossibile generare il log ADIF " + ShownPath(target) +
                                           ": " + fileio::Reason(error)},
                {}};
    }
    return {ExportStatus::Exported,
            {MessageKind::Information, "Il log ADIF è stato generato in " +
                                           location.shownFolder +
                                           "\r\nil log temporaneo verrà azzerato"},
            target};
}

}  // namespace vadozoz
