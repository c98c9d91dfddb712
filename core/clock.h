#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vadozoz {

// One reading of the clock, in calendar fields.
struct ClockReading {
    int year;
    int month;  // 1..12
    int day;    // 1..31
    int hour;   // 0..23
    int minute;
};

ClockReading LocalNow();
ClockReading UtcNow();

using MonthAbbreviations = std::array<std::string, 12>;

// The current C locale's abbreviated month names ("Jan" ... "Dec" in "C").
MonthAbbreviations LocaleMonthAbbreviations();

// Formats a reading by pattern letters: "dd" day, "mm" month, "mmm" month
// abbreviation, "yyyy" year, "hh" hour, "nn" minute, all zero-padded; every
// other character is copied unchanged ("ddmmmyyyy_2" gives "05Dec2014_2").
std::string FormatDate(std::string_view pattern, const ClockReading& when,
                       const MonthAbbreviations& abbreviations);

}  // namespace vadozoz
