#include "core/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace vadozoz {
namespace {

const MonthAbbreviations kEnglish{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

TEST(FormatDate, PatternLetters) {
    const ClockReading when{2014, 12, 5, 9, 7};
    const std::pair<const char*, const char*> cases[] = {
        {"dd", "05"},         {"mm", "12"},       {"mmm", "Dec"},
        {"yyyy", "2014"},     {"hh", "09"},       {"nn", "07"},
        {"hh:nn", "09:07"},   {"ddmmmyyyy", "05Dec2014"},
        {"ddmmmyyyy_2", "05Dec2014_2"},           {"d-m/y", "d-m/y"},
        {"", ""},             {"mmmm", "Decm"},   {"yyy", "yyy"},
    };
    for (const auto& [pattern, expected] : cases) {
        EXPECT_EQ(FormatDate(pattern, when, kEnglish), expected) << pattern;
    }
}

TEST(FormatDate, FirstOfJanuaryAtMidnight) {
    EXPECT_EQ(FormatDate("dd.mm.yyyy hh:nn mmm", {2020, 1, 1, 0, 0}, kEnglish),
              "01.01.2020 00:00 Jan");
}

TEST(LocaleMonthAbbreviations, CLocale) {
    EXPECT_EQ(LocaleMonthAbbreviations(), kEnglish);
}

TEST(Clock, UtcIsNotTheLocalTime) {
    // A zone two hours east of UTC, with no summer time.
    setenv("TZ", "XYZ-02", 1);
    tzset();
    const ClockReading utc = UtcNow();
    const ClockReading local = LocalNow();
    unsetenv("TZ");
    tzset();
    const int utcMinutes = utc.hour * 60 + utc.minute;
    const int localMinutes = local.hour * 60 + local.minute;
    // Allow the minute to turn between the two readings.
    const int difference = ((localMinutes - utcMinutes) % 1440 + 1440) % 1440;
    EXPECT_TRUE(difference == 120 || difference == 121) << difference;
}

}  // namespace
}  // namespace vadozoz
