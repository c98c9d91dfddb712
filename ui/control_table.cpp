#include "control_table.h"

#include <string>

#include "core/month_names.h"

namespace vadozoz::ui {
namespace {

constexpr std::array<std::string_view, 31> kDays{
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15", "16",
    "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "31"};

constexpr auto kMonths = [] {
    std::array<std::string_view, 12> names{};
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = MonthNames[i].name;
    return names;
}();

constexpr std::array<std::string_view, 7> kYears{"2014", "2015", "2016", "2017",
                                                 "2018", "2019", "2020"};

constexpr std::array<std::string_view, 14> kBands{"23cm", "70cm", "2m",  "4m",  "6m",
                                                  "10m",  "12m",  "15m", "17m", "20m",
                                                  "30m",  "40m",  "80m", "160m"};

constexpr std::array<std::string_view, 5> kModes{"SSB", "RTTY", "FM", "AM", "CW"};

constexpr std::array<ListSpec, 5> kLists{{
    {"Combo1", kDays},
    {"Combo2", kMonths},
    {"Combo3", kYears},
    {"Combo4", kBands},
    {"Combo5", kModes},
}};

}  // namespace

std::span<const ListSpec> EntryLists() { return kLists; }

}  // namespace vadozoz::ui
