// A log.ziz of 100 MB, about a million records: read whole, counted right,
// and written back without a byte changed.

#include <gtest/gtest.h>

#include "temp_folder.h"
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/log_buffer.h"
#include "core/record_count.h"
#include "core/temp_log.h"
#include "fault_records.h"

namespace {

namespace fs = std::filesystem;
using namespace vadozoz;
using vadozoz::testing::ReadBytes;
using vadozoz::testing::WriteBytes;

class HugeLog : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vadozoz-huge-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        location_ = LogLocation::At(root_ / "adif");
        fs::create_directory(location_.folder);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    LogLocation location_;
};

TEST_F(HugeLog, HundredMegabytesLoadCountAndSaveBackByteForByte) {
    std::string text;
    text.reserve((std::size_t{101} << 20));
    long records = 0;
    while (text.size() < (std::size_t{100} << 20)) text += faults::FastRecordLine(++records);
    const std::string stored = text + "\r\n";
    WriteBytes(location_.TempLog(), stored);

    auto loaded = LoadTempLog(location_);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message.text;
    ASSERT_TRUE(loaded.text == text);
    EXPECT_EQ(CountRecords(loaded.text), static_cast<std::size_t>(records));
    LogBuffer log;
    log.SetText(std::move(loaded.text));
    EXPECT_EQ(log.RecordCount(), static_cast<std::size_t>(records));
    EXPECT_EQ(CountCaption(log.RecordCount()), std::to_string(records) + " record presenti");

    // Leaving with the log as it came: the file stays exactly as it was.
    ASSERT_EQ(SaveTempLog(location_, log.GetText()).status, SaveStatus::Written);
    EXPECT_TRUE(ReadBytes(location_.TempLog()) == stored);

    // One more contact: the whole log is written anew, and reads back whole.
    log.Append(faults::RecordLine(records + 1));
    ASSERT_EQ(SaveTempLog(location_, log.GetText()).status, SaveStatus::Written);
    const std::string grown = ReadBytes(location_.TempLog());
    EXPECT_TRUE(grown == text + faults::RecordLine(records + 1) + "\r\n");
    loaded = LoadTempLog(location_);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded);
    EXPECT_EQ(CountRecords(loaded.text), static_cast<std::size_t>(records + 1));
    EXPECT_EQ(std::distance(fs::directory_iterator(location_.folder), fs::directory_iterator()), 1)
        << "a temporary file was left";
}

}  // namespace
