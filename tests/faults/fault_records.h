#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/adif_record.h"

namespace vadozoz::faults {

// Record number `id` as the window would write it: every record differs, so a
// lost, repeated or cut one shows.
inline std::string RecordLine(long id) {
    static constexpr const char* kMonths[] = {"Gennaio", "Febbraio", "Marzo",     "Aprile",
                                              "Maggio",  "Giugno",   "Luglio",    "Agosto",
                                              "Settembre", "Ottobre", "Novembre", "Dicembre"};
    static constexpr const char* kBands[] = {"160m", "80m", "40m", "20m", "15m", "10m", "2m"};
    static constexpr const char* kModes[] = {"SSB", "CW", "RTTY", "FM"};
    const QsoEntry entry{"QX" + std::to_string(id),
                         std::to_string(id % 28 + 1),
                         kMonths[id % 12],
                         std::to_string(2014 + id % 7),
                         std::to_string(id % 24) + ":" + (id % 60 < 10 ? "0" : "") + std::to_string(id % 60),
                         kBands[id % 7],
                         kModes[id % 4],
                         std::to_string(50 + id % 10)};
    return BuildAdifRecord(entry).line;
}

// RecordLine(id), fast: past the call sign a line depends only on id % 840,
// so the checker builds each tail once and can read and write logs of
// hundreds of thousands of records in a Debug build.
inline std::string FastRecordLine(long id) {
    static const auto tails = [] {
        std::vector<std::string> t;
        for (long r = 0; r < 840; ++r) {
            std::string line = RecordLine(r);
            t.push_back(line.substr(line.find("<QSO_DATE")));
        }
        return t;
    }();
    const std::string digits = std::to_string(id);
    return "<CALL:" + std::to_string(digits.size() + 2) + ">QX" + digits + tails[static_cast<std::size_t>(id % 840)];
}

// The number of a line that is exactly RecordLine(id), CR LF included.
inline std::optional<long> RecordId(std::string_view line) {
    constexpr std::string_view kStart = "<CALL:";
    if (!line.starts_with(kStart)) return std::nullopt;
    const std::size_t close = line.find('>');
    if (close == std::string_view::npos || line.substr(close + 1, 2) != "QX") return std::nullopt;
    const std::size_t from = close + 3;
    const std::size_t digits = line.find_first_not_of("0123456789", from);
    if (digits == from || digits == std::string_view::npos || digits - from > 12) return std::nullopt;
    const long id = std::stol(std::string(line.substr(from, digits - from)));
    if (FastRecordLine(id) != line) return std::nullopt;
    return id;
}

}  // namespace vadozoz::faults
