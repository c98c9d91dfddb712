#pragma once

#include <array>
#include <string_view>

namespace vadozoz {

struct MonthName {
    std::string_view name;    // "Gennaio" ... "Dicembre"
    std::string_view number;  // "01" ... "12"
};

// The Italian month names in calendar order; they fill the month list too.
inline constexpr std::array<MonthName, 12> MonthNames{{
    {"Gennaio", "01"},  {"Febbraio", "02"}, {"Marzo", "03"},     {"Aprile", "04"},
    {"Maggio", "05"},   {"Giugno", "06"},   {"Luglio", "07"},    {"Agosto", "08"},
    {"Settembre", "09"}, {"Ottobre", "10"}, {"Novembre", "11"}, {"Dicembre", "12"},
}};

// Month 1..12 of an exact (case-sensitive, untrimmed) name, or 0 when none matches.
int MonthOfName(std::string_view name);

// The name of month 1..12.
std::string_view NameOfMonth(int month);

}  // namespace vadozoz
