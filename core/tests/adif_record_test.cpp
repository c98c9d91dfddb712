#include "core/adif_record.h"

#include <gtest/gtest.h>

#include "core/month_names.h"

namespace vadozoz {
namespace {

QsoEntry Worked() { return {"QX1ABC", "5", "Marzo", "2015", "9:05", "20m", "SSB", "59"}; }

TEST(BuildAdifRecord, WorkedExample) {
    const auto outcome = BuildAdifRecord(Worked());
    ASSERT_TRUE(outcome.accepted()) << outcome.refusal;
    EXPECT_EQ(outcome.line,
              "<CALL:6>QX1ABC<QSO_DATE:8:D>20150305<TIME_ON:4>0905<BAND:3>20m<MODE:3>SSB"
              "<RST_SENT:2>59<EOR>\r\n");
}

struct Accepted {
    const char* what;
    QsoEntry entry;
    const char* expected;
};

class BuildAccepted : public ::testing::TestWithParam<Accepted> {};

TEST_P(BuildAccepted, WritesTheRecord) {
    const auto outcome = BuildAdifRecord(GetParam().entry);
    ASSERT_TRUE(outcome.accepted()) << outcome.refusal;
    EXPECT_EQ(outcome.line, std::string(GetParam().expected) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildAccepted,
    ::testing::Values(
        Accepted{"two-digit day, four-digit time", {"QX", "05", "Dicembre", "2024", "12:34", "70cm", "RTTY", "599"},
                 "<CALL:2>QX<QSO_DATE:8:D>20241205<TIME_ON:4>1234<BAND:4>70cm<MODE:4>RTTY<RST_SENT:3>599<EOR>"},
        Accepted{"empty band, mode and RST", {"IK2/QX1AB", "31", "Gennaio", "1930", "0:00", "", "", ""},
                 "<CALL:9>IK2/QX1AB<QSO_DATE:8:D>19300131<TIME_ON:4>0000<BAND:0><MODE:0><RST_SENT:0><EOR>"},
        Accepted{"leap day, last minute", {"QX1ABC", "29", "Febbraio", "2024", "23:59", "2m", "FM", "5 9"},
                 "<CALL:6>QX1ABC<QSO_DATE:8:D>20240229<TIME_ON:4>2359<BAND:2>2m<MODE:2>FM<RST_SENT:3>5 9<EOR>"},
        Accepted{"values outside the lists, printable ASCII", {"9A1AA", "1", "Luglio", "2400", "07:30", "<x>", "FT8", "-12"},
                 "<CALL:5>9A1AA<QSO_DATE:8:D>24000701<TIME_ON:4>0730<BAND:3><x><MODE:3>FT8<RST_SENT:3>-12<EOR>"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct Refused {
    QsoEntry entry;
    std::string_view message;
};

class BuildRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(BuildRefused, GivesTheFirstFailingRulesMessage) {
    const auto outcome = BuildAdifRecord(GetParam().entry);
    EXPECT_FALSE(outcome.accepted());
    EXPECT_EQ(outcome.refusal, GetParam().message);
    EXPECT_TRUE(outcome.line.empty());
}

QsoEntry With(std::string QsoEntry::*field, std::string value) {
    QsoEntry e = Worked();
    e.*field = std::move(value);
    return e;
}

QsoEntry Call(std::string v) { return With(&QsoEntry::callSign, std::move(v)); }
QsoEntry Time(std::string v) { return With(&QsoEntry::time, std::move(v)); }
QsoEntry Day(std::string v) { return With(&QsoEntry::day, std::move(v)); }
QsoEntry Month(std::string v) { return With(&QsoEntry::monthName, std::move(v)); }
QsoEntry Year(std::string v) { return With(&QsoEntry::year, std::move(v)); }

QsoEntry Date(std::string d, std::string m, std::string y) {
    QsoEntry e = Worked();
    e.day = std::move(d);
    e.monthName = std::move(m);
    e.year = std::move(y);
    return e;
}

INSTANTIATE_TEST_SUITE_P(
    CallSign, BuildRefused,
    ::testing::Values(Refused{Call(""), CallSignRefusal}, Refused{Call("Q"), CallSignRefusal},
                      Refused{Call("QX1ABC "), CallSignRefusal}, Refused{Call("QX<EOR>"), CallSignRefusal},
                      Refused{Call("qx1abc"), CallSignRefusal}, Refused{Call("QX1ÄB"), CallSignRefusal},
                      Refused{Call("QX-1"), CallSignRefusal},
                      // The call sign is checked first, whatever else is wrong.
                      Refused{{"Q", "", "", "", "1234", "é", "", ""}, CallSignRefusal}));

INSTANTIATE_TEST_SUITE_P(
    Time, BuildRefused,
    ::testing::Values(Refused{Time("12:34:56"), TimeRefusal}, Refused{Time("9:5"), TimeRefusal},
                      Refused{Time("12:3"), TimeRefusal}, Refused{Time("1::5"), TimeRefusal},
                      Refused{Time("ab:cd"), TimeRefusal}, Refused{Time("24:00"), TimeRefusal},
                      Refused{Time("12:60"), TimeRefusal}, Refused{Time("1234"), TimeRefusal},
                      Refused{Time(""), TimeRefusal}, Refused{Time(":"), TimeRefusal},
                      Refused{Time("12.34"), TimeRefusal}, Refused{Time(" 9:05"), TimeRefusal},
                      Refused{Time("123:45"), TimeRefusal},
                      // Time before date: a bad date does not hide a bad time.
                      Refused{{"QX1ABC", "", "", "", "25:00", "", "", ""}, TimeRefusal}));

INSTANTIATE_TEST_SUITE_P(
    Date, BuildRefused,
    ::testing::Values(Refused{Date("29", "Febbraio", "2023"), DateRefusal},
                      Refused{Date("31", "Aprile", "2024"), DateRefusal},
                      Refused{Date("29", "Febbraio", "1900"), DateRefusal},
                      Refused{Date("31", "Dicembre", "1929"), DateRefusal},
                      Refused{Day(""), DateRefusal}, Refused{Day("0"), DateRefusal},
                      Refused{Day("00"), DateRefusal}, Refused{Day("123"), DateRefusal},
                      Refused{Day("5 "), DateRefusal}, Refused{Day("x"), DateRefusal},
                      Refused{Month("marzo"), DateRefusal}, Refused{Month("MARZO"), DateRefusal},
                      Refused{Month("Mar"), DateRefusal}, Refused{Month("Marzo "), DateRefusal},
                      Refused{Year("15"), DateRefusal}, Refused{Year("20150"), DateRefusal},
                      Refused{Year("20a5"), DateRefusal},
                      // The date before band, mode and RST.
                      Refused{{"QX1ABC", "32", "Marzo", "2015", "9:05", "é", "", ""}, DateRefusal}));

INSTANTIATE_TEST_SUITE_P(
    Ascii, BuildRefused,
    ::testing::Values(Refused{With(&QsoEntry::band, "20m\t"), AsciiRefusal},
                      Refused{With(&QsoEntry::mode, "SSB\r\n"), AsciiRefusal},
                      Refused{With(&QsoEntry::rstSent, "5\x7f"), AsciiRefusal},
                      Refused{With(&QsoEntry::rstSent, "59°"), AsciiRefusal},
                      Refused{With(&QsoEntry::band, std::string("2\0m", 3)), AsciiRefusal}));

TEST(BuildAdifRecord, DatesAcceptedAcrossTheCalendar) {
    // Every day of a leap and a common year, against the month lengths.
    const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (const auto& [year, leap] : {std::pair{"2024", true}, std::pair{"2023", false}}) {
        for (int m = 0; m < 12; ++m) {
            const int last = days[m] + (leap && m == 1 ? 1 : 0);
            for (int d = 1; d <= 31; ++d) {
                QsoEntry e = Date(std::to_string(d), std::string(MonthNames[static_cast<std::size_t>(m)].name), year);
                EXPECT_EQ(BuildAdifRecord(e).accepted(), d <= last) << year << " " << m + 1 << " " << d;
            }
        }
    }
}

}  // namespace
}  // namespace vadozoz
