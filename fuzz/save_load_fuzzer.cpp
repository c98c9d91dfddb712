// Save any text as the temporary log, then load it: the text comes back in
// its normal form (exactly, for whole CR LF lines), or the save refuses it
// and leaves nothing behind.

#include <cstdint>
#include <string>

#include "check.h"
#include "core/temp_log.h"
#include "reference.h"
#include "temp_folder.h"

namespace {

namespace fz = vadozoz::fuzz;

bool EndsWithCrLf(const std::string& s) { return s.size() >= 2 && s.compare(s.size() - 2, 2, "\r\n") == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fz::FuzzFolder folder;
    static const vadozoz::LogLocation location = vadozoz::LogLocation::At(folder.path());
    folder.Clear();

    const std::string text(reinterpret_cast<const char*>(data), size);
    const vadozoz::SaveOutcome saved = vadozoz::SaveTempLog(location, text);

    if (text.empty()) {
        FUZZ_CHECK(saved.status == vadozoz::SaveStatus::NothingToSave);
        FUZZ_CHECK(folder.EntryCount() == 0);
        return 0;
    }
    if (!fz::DecodeUtf8(text)) {
        FUZZ_CHECK(saved.status == vadozoz::SaveStatus::Failed);
        const std::string start = "Impossibile salvare il log temporaneo " + location.shownTempLog + ": ";
        FUZZ_CHECK(saved.message.text.compare(0, start.size(), start) == 0, "%s", saved.message.text.c_str());
        FUZZ_CHECK(folder.EntryCount() == 0, "a refused save left a file");
        return 0;
    }

    FUZZ_CHECK(saved.status == vadozoz::SaveStatus::Written, "%s", saved.message.text.c_str());
    FUZZ_CHECK(folder.EntryCount() == 1, "a temporary file was left");
    FUZZ_CHECK(fz::ReadBytes(location.TempLog()) == text + "\r\n");

    const vadozoz::LoadOutcome loaded = vadozoz::LoadTempLog(location);
    FUZZ_CHECK(loaded.status == vadozoz::LoadStatus::Loaded, "%s", loaded.message.text.c_str());
    FUZZ_CHECK(loaded.text == fz::NormalForm(text + "\r\n"));
    if (fz::OnlyCrLfLineEnds(text) && EndsWithCrLf(text)) FUZZ_CHECK(loaded.text == text);
    return 0;
}
