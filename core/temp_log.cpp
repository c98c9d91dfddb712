#include "temp_log.h"

#include <filesystem>

#include "file_io.h"
#include "line_ends.h"
#include "text_encoding.h"

namespace vadozoz {
namespace {

namespace fs = std::filesystem;

Message Warning(std::string text) { return {MessageKind::Warning, std::move(text)}; }

}  // namespace

std::optional<Message> EnsureLogFolder(const LogLocation& location) {
    // An exported log or a temporary log can only be there when the folder
    // is, so "is it a folder" answers all of the start-up tests at once.
    std::error_code error;
    const auto status = fs::status(location.folder, error);
    if (fs::is_directory(status)) {
        // What a save cut short by a crash left behind; log.ziz itself is whole.
        fileio::RemoveStaleTemporaries(location.folder);
        return std::nullopt;
    }
    if (fs::exists(status)) {
        error = std::make_error_code(std::errc::not_a_directory);
    } else if (fs::create_directory(location.folder, error); !error) {
        return std::nullopt;
    }
    return Warning("Impossibile creare la cartella " + location.shownFolder + ": " +
                   fileio::Reason(error));
}

SaveOutcome SaveTempLog(const LogLocation& location, std::string_view text) {
    if (text.empty()) return {SaveStatus::NothingToSave, {}};

    const auto fail = [&](const std::string& reason) {
        return SaveOutcome{SaveStatus::Failed,
                           Warning("Impossibile salvare il log temporaneo " +
                                   ShownPath(location.TempLog()) + ": " + reason)};
    };
    std::string content;
    content.reserve(text.size() + 2);
    content.append(text).append("\r\n");
    const auto encoded = EncodeForSystem(std::move(content));
    if (!encoded) {
        return fail("il testo contiene caratteri che la codifica del sistema non può rappresentare");
    }
    if (const auto error = fileio::WriteFileAtomically(location.TempLog(), *encoded)) {
        return fail(fileio::Reason(error));
    }
    return {SaveStatus::Written,
            {MessageKind::Information,
             "Il log temporaneo è stato aggiornato in " + location.shownTempLog}};
}

LoadOutcome LoadTempLog(const LogLocation& location) {
    const fs::path path = location.TempLog();
    if (!fileio::IsOrdinaryFile(path)) return {LoadStatus::NoTempLog, {}, {}};
    std::string bytes;
    if (const auto error = fileio::ReadFile(path, bytes)) {
        return {LoadStatus::Failed,
                {},
                Warning("Impossibile leggere il log temporaneo " + ShownPath(path) + ": " +
                        fileio::Reason(error))};
    }
    return {LoadStatus::Loaded, NormaliseLoadedText(DecodeLogBytes(std::move(bytes))), {}};
}

}  // namespace vadozoz
