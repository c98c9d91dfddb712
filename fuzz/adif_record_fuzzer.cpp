// BuildAdifRecord on any eight texts. An accepted record must read back, under
// a strict reader, with exactly the values that were entered.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "check.h"
#include "core/adif_record.h"
#include "strict_record_reader.h"

namespace {

using vadozoz::QsoEntry;

// 0xFF separates the fields: it never occurs in UTF-8, which is all the
// window can hand over, so no field loses a byte it could really hold.
QsoEntry SplitFields(std::string_view input) {
    std::array<std::string, 8> f;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const std::size_t cut = i + 1 < f.size() ? input.find('\xFF') : std::string_view::npos;
        f[i] = std::string(input.substr(0, cut));
        input.remove_prefix(cut == std::string_view::npos ? input.size() : cut + 1);
    }
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
}

constexpr std::array<std::string_view, 12> kMonths{
    "Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
    "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};

int MonthNumber(std::string_view name) {
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (kMonths[i] == name) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string TwoDigits(std::string_view s) { return s.size() == 1 ? "0" + std::string(s) : std::string(s); }

int Number(std::string_view digits) {
    int n = 0;
    for (const char c : digits) n = n * 10 + (c - '0');
    return n;
}

bool IsRealDate(int year, int month, int day) {
    const bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
    const int lengths[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return year >= 1930 && month >= 1 && day >= 1 && day <= lengths[month - 1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QsoEntry entry = SplitFields({reinterpret_cast<const char*>(data), size});
    const vadozoz::RecordOutcome outcome = vadozoz::BuildAdifRecord(entry);
    if (!outcome.accepted()) {
        FUZZ_CHECK(outcome.line.empty());
        return 0;
    }

    const auto record = vadozoz::fuzz::ReadStrictRecordLine(outcome.line);
    FUZZ_CHECK(record.has_value(), "line: %s", outcome.line.c_str());

    const int month = MonthNumber(entry.monthName);
    FUZZ_CHECK(month != 0, "month: %s", entry.monthName.c_str());
    FUZZ_CHECK(record->call == entry.callSign);
    FUZZ_CHECK(record->band == entry.band);
    FUZZ_CHECK(record->mode == entry.mode);
    FUZZ_CHECK(record->rst == entry.rstSent);
    const std::string monthDigits = TwoDigits(std::to_string(month));
    FUZZ_CHECK(record->date == entry.year + monthDigits + TwoDigits(entry.day), "date %s", record->date.c_str());

    const std::size_t colon = entry.time.find(':');
    FUZZ_CHECK(colon != std::string::npos, "time: %s", entry.time.c_str());
    const std::string hours = entry.time.substr(0, colon);
    const std::string minutes = entry.time.substr(colon + 1);
    FUZZ_CHECK(record->time == TwoDigits(hours) + minutes, "time %s", record->time.c_str());

    // What was accepted is a real moment: the strict reader saw digits where
    // the layout wants them, and the values are in range.
    for (const char c : record->date + record->time) FUZZ_CHECK(c >= '0' && c <= '9');
    FUZZ_CHECK(IsRealDate(Number(entry.year), month, Number(entry.day)), "date %s", record->date.c_str());
    FUZZ_CHECK(Number(record->time.substr(0, 2)) <= 23 && Number(record->time.substr(2)) <= 59);
    return 0;
}
