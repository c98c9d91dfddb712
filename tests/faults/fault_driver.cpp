// Works the log the way the window does, as fast as it can, until it is
// killed: append a record, save it, and now and then export. Every step is
// written to an append-only journal, synced to disk before and after the
// step, so the checker knows what was made and what was confirmed saved.
//
//   fault_driver LOG_FOLDER JOURNAL FIRST_ID SEED [RECORDS [export-first]]
//
// Writes one byte to standard output once started (folder made, log loaded).
// RECORDS bounds the run (-1: unbounded, the default); 0 only starts and
// stops. "export-first" exports what was loaded before anything else.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "core/adif_export.h"
#include "core/temp_log.h"
#include "fault_records.h"

namespace {

int journal = -1;

void Journal(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(journal, text.data(), text.size()) != static_cast<ssize_t>(text.size()) || ::fsync(journal) != 0) {
        std::perror("journal");
        std::exit(3);
    }
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "fault_driver: %s\n", what.c_str());
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) Fail("usage: fault_driver LOG_FOLDER JOURNAL FIRST_ID SEED [RECORDS]");
    const auto location = vadozoz::LogLocation::At(argv[1]);
    journal = ::open(argv[2], O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (journal < 0) Fail("cannot open the journal");
    const long first = std::atol(argv[3]);
    std::mt19937 random(static_cast<unsigned>(std::atol(argv[4])));
    const long records = argc > 5 ? std::atol(argv[5]) : -1;
    const bool exportFirst = argc > 6 && std::string(argv[6]) == "export-first";

    if (const auto message = vadozoz::EnsureLogFolder(location)) Fail(message->text);
    auto loaded = vadozoz::LoadTempLog(location);
    if (loaded.status == vadozoz::LoadStatus::Failed) Fail(loaded.message.text);
    std::string text = std::move(loaded.text);
    if (::write(STDOUT_FILENO, "R", 1) != 1) Fail("cannot report the start");

    const auto exportLog = [&] {
        Journal("E");
        const auto exported = vadozoz::ExportAdif(location, text, vadozoz::LocalNow(),
                                                  vadozoz::LocaleMonthAbbreviations());
        if (exported.status != vadozoz::ExportStatus::Exported) Fail(exported.message.text);
        Journal("X " + exported.file.filename().string());
        text.clear();
    };
    if (exportFirst) exportLog();

    std::uniform_int_distribution<int> exportEvery(2, 8);
    int untilExport = exportEvery(random);
    for (long id = first; records < 0 || id < first + records; ++id) {
        Journal("A " + std::to_string(id));
        text += vadozoz::faults::RecordLine(id);
        const auto saved = vadozoz::SaveTempLog(location, text);
        if (saved.status != vadozoz::SaveStatus::Written) Fail(saved.message.text);
        Journal("S " + std::to_string(id));

        if (--untilExport > 0) continue;
        untilExport = exportEvery(random);
        exportLog();
    }
    return 0;
}
