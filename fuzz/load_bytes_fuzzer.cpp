// Load any bytes as the temporary log: never a crash, the file is left byte
// for byte as it was, and every byte is still there as a character. The
// runs allow inputs of 64 KiB from the start (fuzz/run): lines hundreds of
// times longer than a record.

#include <cstdint>
#include <string>
#include <vector>

#include "check.h"
#include "core/temp_log.h"
#include "reference.h"
#include "temp_folder.h"

namespace fz = vadozoz::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fz::FuzzFolder folder;
    static const vadozoz::LogLocation location = vadozoz::LogLocation::At(folder.path());
    folder.Clear();

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fz::WriteBytes(location.TempLog(), bytes);

    const vadozoz::LoadOutcome loaded = vadozoz::LoadTempLog(location);
    FUZZ_CHECK(loaded.status == vadozoz::LoadStatus::Loaded, "%s", loaded.message.text.c_str());
    FUZZ_CHECK(fz::ReadBytes(location.TempLog()) == bytes, "loading changed the file");
    FUZZ_CHECK(folder.EntryCount() == 1);

    std::vector<std::uint32_t> characters;
    FUZZ_CHECK(fz::DecodeUtf8(loaded.text, &characters), "the loaded text is not UTF-8");
    FUZZ_CHECK(fz::OnlyCrLfLineEnds(loaded.text));

    if (fz::DecodeUtf8(bytes)) {
        FUZZ_CHECK(loaded.text == fz::NormalForm(bytes));
        return 0;
    }
    // Not UTF-8, so read one byte to one character (Windows-1252).
    const std::string wrong = fz::SingleByteMismatch(fz::NormalForm(bytes), characters);
    FUZZ_CHECK(wrong.empty(), "%s", wrong.c_str());
    return 0;
}
