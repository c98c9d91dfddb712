#include "core/record_count.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace vadozoz {
namespace {

struct CountCase {
    std::string_view text;
    std::size_t count;
};

class CountRecordsCases : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountRecordsCases, Counts) { EXPECT_EQ(CountRecords(GetParam().text), GetParam().count); }

INSTANTIATE_TEST_SUITE_P(
    Tags, CountRecordsCases,
    ::testing::Values(CountCase{"", 0}, CountCase{"<EOR", 0}, CountCase{"<EOR>", 1},
                      CountCase{"<eor>", 1}, CountCase{"<Eor>", 1}, CountCase{"<eOr>", 1},
                      CountCase{"EOR>", 0}, CountCase{"<E OR>", 0}, CountCase{"< EOR>", 0},
                      CountCase{"<EOR><EOR>", 2}, CountCase{"<EO<EOR>R>", 1},
                      CountCase{"<EOR>\r\n\r\ntext\r\n<EOR>", 2}, CountCase{"<EOH>", 0},
                      CountCase{"<CALL:5><EOR><EOR>", 2}, CountCase{"<EOR\r\n>", 0},
                      // Letters that differ from e, o, r only in bit 5 must not pass.
                      CountCase{"<%OR>", 0}, CountCase{"<E/R>", 0}, CountCase{"<EO2>", 0},
                      CountCase{"x<EOR>x", 1}));

TEST(CountRecords, AgreesWithAPlainScanOnEveryAlignment) {
    // Long enough for a vectorised loop to run its main body and its tail.
    std::string text;
    for (int i = 0; i < 300; ++i) text += (i % 7 == 0) ? "<eor>" : (i % 5 == 0 ? "<EO" : "ab<EOR>c");
    for (std::size_t start = 0; start < 40; ++start) {
        const std::string_view view = std::string_view(text).substr(start);
        std::size_t plain = 0;
        for (std::size_t i = 0; i + 5 <= view.size(); ++i) {
            const auto s = view.substr(i, 5);
            plain += s[0] == '<' && (s[1] == 'E' || s[1] == 'e') && (s[2] == 'O' || s[2] == 'o') &&
                     (s[3] == 'R' || s[3] == 'r') && s[4] == '>';
        }
        EXPECT_EQ(CountRecords(view), plain) << start;
    }
}

TEST(RecordCountCaption, Wording) {
    EXPECT_EQ(RecordCountCaption(""), "0 record presenti");
    EXPECT_EQ(RecordCountCaption("<CALL:2>QX<EOR>\r\n"), "1 record presenti");
    EXPECT_EQ(CountCaption(12), "12 record presenti");
    EXPECT_EQ(CountCaption(1234567), "1234567 record presenti");
}

TEST(CountRecords, PublishedAdifTestFile) {
    const auto path = testing::SharedFixture("adif-3.1.6-test-qsos.adi");
    if (path.empty()) GTEST_SKIP() << "shared fixtures are not beside this checkout";
    EXPECT_EQ(CountRecords(testing::ReadBytes(path)), 6191u);
}

}  // namespace
}  // namespace vadozoz
