#include "adif_record.h"

#include <algorithm>
#include <optional>

#include "month_names.h"

namespace vadozoz {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) { return std::all_of(s.begin(), s.end(), IsDigit); }

int ToInt(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

// Only what a call sign can hold: an ADIF reader must never see a blank,
// a "<" or a non-ASCII letter in it.
bool IsValidCallSign(std::string_view call) {
    return call.size() >= 2 && std::all_of(call.begin(), call.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '/';
           });
}

bool IsPrintableAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 32 && u <= 126;
    });
}

// "h:mm" or "hh:mm" as the four digits "hhmm", or nothing.
std::optional<std::string> TimePart(std::string_view time) {
    const auto colon = time.find(':');
    if ((colon != 1 && colon != 2) || time.size() != colon + 3) return std::nullopt;
    const auto hours = time.substr(0, colon);
    const auto minutes = time.substr(colon + 1);
    if (!AllDigits(hours) || !AllDigits(minutes)) return std::nullopt;
    if (ToInt(hours) > 23 || ToInt(minutes) > 59) return std::nullopt;
    return (hours.size() == 1 ? "0" : "") + std::string(hours) + std::string(minutes);
}

int DaysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// "yyyymmdd" of a real calendar date from 1930 on, or nothing.
std::optional<std::string> DatePart(std::string_view year, std::string_view monthName,
                                    std::string_view day) {
    const int month = MonthOfName(monthName);
    if (month == 0 || year.size() != 4 || !AllDigits(year)) return std::nullopt;
    if (day.empty() || day.size() > 2 || !AllDigits(day)) return std::nullopt;
    const int y = ToInt(year);
    const int d = ToInt(day);
    if (y < 1930 || d < 1 || d > DaysInMonth(y, month)) return std::nullopt;
    return std::string(year) + std::string(MonthNames[month - 1].number) +
           (day.size() == 1 ? "0" : "") + std::string(day);
}

void AppendField(std::string& line, std::string_view name, std::string_view value) {
    line += '<';
    line += name;
    line += ':';
    line += std::to_string(value.size());
    line += '>';
    line += value;
}

}  // namespace

RecordOutcome BuildAdifRecord(const QsoEntry& entry) {
    if (!IsValidCallSign(entry.callSign)) return {{}, CallSignRefusal};
    const auto time = TimePart(entry.time);
    if (!time) return {{}, TimeRefusal};
    const auto date = DatePart(entry.year, entry.monthName, entry.day);
    if (!date) return {{}, DateRefusal};
    if (!IsPrintableAscii(entry.band) || !IsPrintableAscii(entry.mode) ||
        !IsPrintableAscii(entry.rstSent)) {
        return {{}, AsciiRefusal};
    }

    std::string line;
    line.reserve(96 + entry.callSign.size() + entry.band.size() + entry.mode.size() +
                 entry.rstSent.size());
    AppendField(line, "CALL", entry.callSign);
    line += "<QSO_DATE:8:D>";
    line += *date;
    line += "<TIME_ON:4>";
    line += *time;
    AppendField(line, "BAND", entry.band);
    AppendField(line, "MODE", entry.mode);
    AppendField(line, "RST_SENT", entry.rstSent);
    line += "<EOR>\r\n";
    return {std::move(line), {}};
}

}  // namespace vadozoz
