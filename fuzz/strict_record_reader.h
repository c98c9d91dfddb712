#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vadozoz::fuzz {

struct StrictRecord {
    std::string call, date, time, band, mode, rst;
};

// Reads one record line the way a strict ADIF importer would, and only the
// one layout we write: CALL, QSO_DATE:8:D, TIME_ON:4, BAND, MODE, RST_SENT in
// that order, each length exactly its value's (no leading zeros), printable
// ASCII throughout, then "<EOR>" and CR LF ending the line. Anything else:
// nothing.
std::optional<StrictRecord> ReadStrictRecordLine(std::string_view line);

}  // namespace vadozoz::fuzz
