#include "core/adif_export.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cstring>

#include "core/temp_log.h"
#include "temp_folder.h"

namespace vadozoz {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

const MonthAbbreviations kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const ClockReading kDay{2014, 12, 5, 23, 59};

class ExportTest : public ::testing::Test {
protected:
    testing::TempFolder root;
    LogLocation location = LogLocation::At(root.path() / "adif");

    void SetUp() override { ASSERT_FALSE(EnsureLogFolder(location)); }

    ExportOutcome Export(std::string_view text) { return ExportAdif(location, text, kDay, kMonths); }
    fs::path In(const std::string& name) const { return location.folder / name; }
};

TEST(ExportName, DayPatterns) {
    EXPECT_EQ(ExportName(kDay, kMonths, 1), "log_05Dec2014.adi");
    EXPECT_EQ(ExportName(kDay, kMonths, 2), "log_05Dec2014_2.adi");
    EXPECT_EQ(ExportName({2021, 3, 17, 0, 0}, kMonths, 4), "log_17Mar2021_4.adi");
}

TEST_F(ExportTest, ADaysExportsTakeTheNextNameAndNeverOverwrite) {
    WriteBytes(In("log_04Dec2014.adi"), "yesterday");
    WriteBytes(In("log_05Nov2014_2.adi"), "last month");
    const char* names[] = {"log_05Dec2014.adi",   "log_05Dec2014_2.adi", "log_05Dec2014_3.adi",
                           "log_05Dec2014_4.adi", "log_05Dec2014_5.adi", "log_05Dec2014_6.adi"};
    for (int i = 0; i < 6; ++i) {
        const std::string text = "<CALL:2>Q" + std::to_string(i) + "<EOR>\r\n";
        const auto outcome = Export(text);
        ASSERT_EQ(outcome.status, ExportStatus::Exported) << outcome.message.text;
        EXPECT_EQ(outcome.file, In(names[i]));
        EXPECT_EQ(ReadBytes(In(names[i])), text + "\r\n");
        EXPECT_FALSE(fs::exists(location.TempLog()));
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(ReadBytes(In(names[i])), "<CALL:2>Q" + std::to_string(i) + "<EOR>\r\n\r\n");
    }
    EXPECT_EQ(ReadBytes(In("log_04Dec2014.adi")), "yesterday");
}

TEST_F(ExportTest, MessagesOfAnExport) {
    const auto outcome = Export("<EOR>\r\n");
    EXPECT_EQ(outcome.message.kind, MessageKind::Information);
    EXPECT_EQ(outcome.message.text, "Il log ADIF è stato generato in " + location.folder.string() +
                                        "\r\nil log temporaneo verrà azzerato");
}

struct Existing {
    std::vector<const char*> present;
    const char* expected;
};

class ExportWithGaps : public ExportTest, public ::testing::WithParamInterface<Existing> {};

TEST_P(ExportWithGaps, FollowsTheRules) {
    for (const char* name : GetParam().present) WriteBytes(In(name), name);
    const auto outcome = Export("<EOR>\r\n");
    ASSERT_EQ(outcome.status, ExportStatus::Exported) << outcome.message.text;
    EXPECT_EQ(outcome.file.filename(), GetParam().expected);
    for (const char* name : GetParam().present) EXPECT_EQ(ReadBytes(In(name)), name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportWithGaps,
    ::testing::Values(Existing{{"log_05Dec2014_3.adi"}, "log_05Dec2014_4.adi"},
                      Existing{{"log_05Dec2014_2.adi"}, "log_05Dec2014_3.adi"},
                      Existing{{"log_05Dec2014_4.adi"}, "log_05Dec2014.adi"},
                      Existing{{"log_05Dec2014_3.adi", "log_05Dec2014_4.adi"}, "log_05Dec2014_5.adi"},
                      Existing{{"log_05Dec2014_3.adi", "log_05Dec2014_4.adi", "log_05Dec2014_5.adi"},
                               "log_05Dec2014_6.adi"}));

TEST_F(ExportTest, AFolderOfTheChosenNameIsPassedOver) {
    fs::create_directory(In("log_05Dec2014.adi"));
    const auto outcome = Export("<EOR>\r\n");
    ASSERT_EQ(outcome.status, ExportStatus::Exported);
    EXPECT_EQ(outcome.file, In("log_05Dec2014_2.adi"));
    EXPECT_TRUE(fs::is_directory(In("log_05Dec2014.adi")));
}

TEST_F(ExportTest, NothingToExport) {
    const auto outcome = Export("");
    EXPECT_EQ(outcome.status, ExportStatus::NoTempLog);
    EXPECT_EQ(outcome.message.kind, MessageKind::Information);
    EXPECT_EQ(outcome.message.text, "Nessun log temporaneo da elaborate");
    EXPECT_TRUE(fs::is_empty(location.folder));
}

TEST_F(ExportTest, EmptyLogWithAnOlderTempLogExportsTheFile) {
    WriteBytes(location.TempLog(), "from an earlier run\r\n\r\n");
    const auto outcome = Export("");
    ASSERT_EQ(outcome.status, ExportStatus::Exported);
    EXPECT_EQ(ReadBytes(outcome.file), "from an earlier run\r\n\r\n");
    EXPECT_FALSE(fs::exists(location.TempLog()));
}

TEST_F(ExportTest, FailedSaveStopsTheExport) {
    fs::create_directory(location.TempLog());
    const auto outcome = Export("<EOR>\r\n");
    EXPECT_EQ(outcome.status, ExportStatus::SaveFailed);
    EXPECT_TRUE(outcome.message.text.starts_with("Impossibile salvare il log temporaneo "));
    EXPECT_FALSE(fs::exists(In("log_05Dec2014.adi")));
}

TEST(ExportFaults, LogFolderIsAFile) {
    testing::TempFolder root;
    const auto location = LogLocation::At(root.path() / "adif");
    WriteBytes(location.folder, "x");
    const auto outcome = ExportAdif(location, "<EOR>\r\n", kDay, kMonths);
    EXPECT_EQ(outcome.status, ExportStatus::SaveFailed);
    EXPECT_EQ(outcome.message.kind, MessageKind::Warning);
    EXPECT_EQ(ReadBytes(location.folder), "x");
}

TEST(ExportFaults, FullDiskExportsWhatIsSavedAndRefusesWhatIsNot) {
    testing::TempFolder root;
    const auto location = LogLocation::At(root.path() / "adif");
    if (const auto why = testing::MountSmallDisk(location.folder, "128k"); !why.empty()) GTEST_SKIP() << why;

    // A log that fits once but not twice: the export needs no second copy.
    const std::string first(80 * 1024, 'x');
    const auto exported = ExportAdif(location, first, kDay, kMonths);
    ASSERT_EQ(exported.status, ExportStatus::Exported) << exported.message.text;
    EXPECT_EQ(ReadBytes(exported.file), first + "\r\n");
    EXPECT_FALSE(fs::exists(location.TempLog()));

    // The next log no longer fits beside it: the save fails, nothing changes.
    const std::string second(80 * 1024, 'y');
    const auto refused = ExportAdif(location, second, kDay, kMonths);
    EXPECT_EQ(refused.status, ExportStatus::SaveFailed);
    EXPECT_EQ(refused.message.text, "Impossibile salvare il log temporaneo " +
                                        location.TempLog().string() + ": " + std::strerror(ENOSPC));
    EXPECT_EQ(ReadBytes(exported.file), first + "\r\n");
    EXPECT_FALSE(fs::exists(location.TempLog()));
    EXPECT_EQ(std::distance(fs::directory_iterator(location.folder), fs::directory_iterator()), 1);

    // Room made (the first export moved elsewhere): the retry works.
    fs::remove(exported.file);
    const auto retry = ExportAdif(location, second, kDay, kMonths);
    ASSERT_EQ(retry.status, ExportStatus::Exported) << retry.message.text;
    EXPECT_EQ(ReadBytes(retry.file), second + "\r\n");
    umount(location.folder.c_str());
}

}  // namespace
}  // namespace vadozoz
