#include "clock.h"

#include <ctime>

namespace vadozoz {
namespace {

ClockReading FromTm(const std::tm& t) {
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min};
}

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

ClockReading LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
#ifdef _WIN32
    localtime_s(&t, &now);
#else
    localtime_r(&now, &t);
#endif
    return FromTm(t);
}

ClockReading UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
#ifdef _WIN32
    gmtime_s(&t, &now);
#else
    gmtime_r(&now, &t);
#endif
    return FromTm(t);
}

MonthAbbreviations LocaleMonthAbbreviations() {
    MonthAbbreviations names;
    for (int m = 0; m < 12; ++m) {
        std::tm t{};
        t.tm_mon = m;
        t.tm_mday = 1;
        t.tm_year = 100;
        char buffer[64];
        const std::size_t n = std::strftime(buffer, sizeof buffer, "%b", &t);
        names[static_cast<std::size_t>(m)].assign(buffer, n);
    }
    return names;
}

std::string FormatDate(std::string_view pattern, const ClockReading& when,
                       const MonthAbbreviations& abbreviations) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const auto rest = pattern.substr(i);
        if (rest.starts_with("yyyy")) {
            const std::string year = std::to_string(when.year);
            if (year.size() < 4) out.append(4 - year.size(), '0');
            out += year;
            i += 4;
        } else if (rest.starts_with("mmm")) {
            out += abbreviations.at(static_cast<std::size_t>(when.month - 1));
            i += 3;
        } else if (rest.starts_with("mm")) {
            AppendTwoDigits(out, when.month);
            i += 2;
        } else if (rest.starts_with("dd")) {
            AppendTwoDigits(out, when.day);
            i += 2;
        } else if (rest.starts_with("hh")) {
            AppendTwoDigits(out, when.hour);
            i += 2;
        } else if (rest.starts_with("nn")) {
            AppendTwoDigits(out, when.minute);
            i += 2;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

}  // namespace vadozoz
