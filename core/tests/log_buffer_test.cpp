#include "core/log_buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/record_count.h"

namespace vadozoz {
namespace {

// Records what each notification saw, at the moment it ran.
struct Recorder {
    LogBuffer buffer;
    std::vector<std::string> seen;
    std::vector<std::size_t> counts;

    Recorder() {
        buffer.SetListener([this](const LogChange&) {
            seen.push_back(buffer.GetText());
            counts.push_back(buffer.RecordCount());
        });
    }
};

TEST(LogBuffer, EachOperationIsOneSynchronousChange) {
    Recorder r;
    r.buffer.Append("<EOR>\r\n");
    r.buffer.Append("x<eor>\r\n");
    r.buffer.SetText("one");
    r.buffer.Clear();
    EXPECT_EQ(r.seen, (std::vector<std::string>{"<EOR>\r\n", "<EOR>\r\nx<eor>\r\n", "one", ""}));
    EXPECT_EQ(r.counts, (std::vector<std::size_t>{1, 2, 0, 0}));
}

TEST(LogBuffer, TheSameTextIsNoChange) {
    Recorder r;
    r.buffer.Clear();
    r.buffer.SetText("");
    r.buffer.Append("");
    r.buffer.SetText("abc");
    r.buffer.SetText("abc");
    r.buffer.Replace(1, 1, "b");
    r.buffer.Append("");
    EXPECT_EQ(r.seen, std::vector<std::string>{"abc"});
}

TEST(LogBuffer, ChangeReportsTheBytesItTouched) {
    LogBuffer buffer;
    std::vector<std::tuple<std::size_t, std::size_t, std::size_t>> changes;
    buffer.SetListener([&](const LogChange& c) { changes.emplace_back(c.offset, c.removed, c.inserted); });
    buffer.SetText("hello");
    buffer.Append(" world");
    buffer.Replace(0, 5, "HI");
    buffer.Replace(100, 0, "!");  // past the end: clamped to an append
    buffer.Clear();
    EXPECT_EQ(buffer.GetText(), "");
    using C = std::tuple<std::size_t, std::size_t, std::size_t>;
    EXPECT_EQ(changes, (std::vector<C>{{0, 0, 5}, {5, 0, 6}, {0, 5, 2}, {8, 0, 1}, {0, 9, 0}}));
}

TEST(LogBuffer, AppendingItsOwnText) {
    LogBuffer buffer;
    buffer.SetText("<EOR>");
    buffer.Append(buffer.GetText());
    EXPECT_EQ(buffer.GetText(), "<EOR><EOR>");
    EXPECT_EQ(buffer.RecordCount(), 2u);
}

TEST(LogBuffer, EditsThatMakeAndBreakTags) {
    LogBuffer buffer;
    buffer.SetText("<EO>R>");
    EXPECT_EQ(buffer.RecordCount(), 0u);
    buffer.Replace(3, 1, "");  // "<EOR>"
    EXPECT_EQ(buffer.RecordCount(), 1u);
    buffer.Replace(2, 0, "<EOR>");  // "<E<EOR>OR>"
    EXPECT_EQ(buffer.RecordCount(), 1u);
    buffer.Replace(0, 2, "");  // "<EOR>OR>"
    EXPECT_EQ(buffer.RecordCount(), 1u);
    buffer.Replace(4, 1, " ");  // "<EOR OR>"
    EXPECT_EQ(buffer.RecordCount(), 0u);
}

TEST(LogBuffer, KeptCountMatchesAFullCountUnderRandomEdits) {
    // Small alphabet, so edits keep making and breaking tags at every offset.
    std::mt19937 random(20261211);
    const std::string alphabet = "<EOReor> x";
    const auto piece = [&](std::size_t max) {
        std::string s(std::uniform_int_distribution<std::size_t>(0, max)(random), ' ');
        for (char& c : s) c = alphabet[random() % alphabet.size()];
        return s;
    };
    LogBuffer buffer;
    for (int step = 0; step < 20000; ++step) {
        const std::size_t size = buffer.GetText().size();
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, size)(random);
        const std::size_t removed = std::uniform_int_distribution<std::size_t>(0, std::min<std::size_t>(8, size - at))(random);
        buffer.Replace(at, removed, piece(size > 400 ? 4 : 12));
        ASSERT_EQ(buffer.RecordCount(), CountRecords(buffer.GetText())) << "step " << step;
    }
}

TEST(LogBuffer, TracksWhetherTheTextIsAscii) {
    LogBuffer buffer;
    EXPECT_TRUE(buffer.IsAscii());
    buffer.SetText("caffè\r\n");
    EXPECT_FALSE(buffer.IsAscii());
    buffer.Replace(4, 2, "e");
    EXPECT_TRUE(buffer.IsAscii());
    buffer.Append("€");
    EXPECT_FALSE(buffer.IsAscii());
    buffer.Clear();
    EXPECT_TRUE(buffer.IsAscii());
}

}  // namespace
}  // namespace vadozoz
