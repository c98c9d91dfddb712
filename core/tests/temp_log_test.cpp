#include "core/temp_log.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <random>

#include "temp_folder.h"

namespace vadozoz {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class TempLogTest : public ::testing::Test {
protected:
    testing::TempFolder root;
    LogLocation location = LogLocation::At(root.path() / "adif");

    void SetUp() override { ASSERT_FALSE(EnsureLogFolder(location)); }

    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(location.folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(TempLogTest, EnsureLogFolderCreatesOnlyWhatIsMissing) {
    EXPECT_TRUE(fs::is_directory(location.folder));
    WriteBytes(location.TempLog(), "kept");
    EXPECT_FALSE(EnsureLogFolder(location));
    EXPECT_EQ(ReadBytes(location.TempLog()), "kept");
}

TEST_F(TempLogTest, EmptyTextWritesNothing) {
    EXPECT_EQ(SaveTempLog(location, "").status, SaveStatus::NothingToSave);
    EXPECT_FALSE(fs::exists(location.TempLog()));
    WriteBytes(location.TempLog(), "older\r\n");
    EXPECT_EQ(SaveTempLog(location, "").status, SaveStatus::NothingToSave);
    EXPECT_EQ(ReadBytes(location.TempLog()), "older\r\n");
}

TEST_F(TempLogTest, SaveWritesTheTextAndOneLineEnd) {
    const auto outcome = SaveTempLog(location, "<EOR>\r\n<EOR>\r\n");
    EXPECT_EQ(outcome.status, SaveStatus::Written);
    EXPECT_EQ(outcome.message.kind, MessageKind::Information);
    EXPECT_EQ(outcome.message.text,
              "Il log temporaneo è stato aggiornato in " + (location.folder / "log.ziz").string());
    EXPECT_EQ(ReadBytes(location.TempLog()), "<EOR>\r\n<EOR>\r\n\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"log.ziz"});
}

struct RoundTrip {
    const char* what;
    std::string text;
    std::string loaded;
};

class SaveThenLoad : public TempLogTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(SaveThenLoad, GivesTheText) {
    ASSERT_EQ(SaveTempLog(location, GetParam().text).status, SaveStatus::Written);
    const auto loaded = LoadTempLog(location);
    EXPECT_EQ(loaded.status, LoadStatus::Loaded);
    EXPECT_EQ(loaded.text, GetParam().loaded);
    // A load leaves the file as it is.
    EXPECT_EQ(ReadBytes(location.TempLog()), GetParam().text + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SaveThenLoad,
    ::testing::Values(
        RoundTrip{"records", "<CALL:2>QX<EOR>\r\n<CALL:2>QY<EOR>\r\n", "<CALL:2>QX<EOR>\r\n<CALL:2>QY<EOR>\r\n"},
        RoundTrip{"blank lines are kept", "A\r\n\r\n\r\n\r\nB\r\n\r\n", "A\r\n\r\n\r\n\r\nB\r\n\r\n"},
        RoundTrip{"leading blank line", "\r\nA\r\n", "\r\nA\r\n"},
        RoundTrip{"only a line end", "\r\n", "\r\n"},
        RoundTrip{"only blank lines", "\r\n\r\n\r\n", "\r\n\r\n\r\n"},
        RoundTrip{"last line without line end", "A\r\nB", "A\r\nB\r\n"},
        RoundTrip{"lone CR ends a line", "A\rB\r\n", "A\r\nB\r\n"},
        RoundTrip{"lone LF ends a line", "A\nB\n", "A\r\nB\r\n"},
        RoundTrip{"LF CR is two line ends", "A\n\rB\r\n", "A\r\n\r\nB\r\n"},
        RoundTrip{"non-ASCII text", "caffè 73 € ✓\r\n", "caffè 73 € ✓\r\n"},
        RoundTrip{"NUL bytes", std::string("a\0b\r\n", 5), std::string("a\0b\r\n", 5)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct LoadCase {
    std::string file;
    std::string text;
};

class LoadFile : public TempLogTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadFile, GivesTheNormalForm) {
    WriteBytes(location.TempLog(), GetParam().file);
    const auto loaded = LoadTempLog(location);
    EXPECT_EQ(loaded.status, LoadStatus::Loaded);
    EXPECT_EQ(loaded.text, GetParam().text);
    EXPECT_EQ(ReadBytes(location.TempLog()), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadFile,
    ::testing::Values(LoadCase{"", ""}, LoadCase{"A", "A\r\n"}, LoadCase{"A\r\n", "A\r\n"},
                      LoadCase{"A\r\n\r\n", "A\r\n"}, LoadCase{"A\r\n\r\n\r\n", "A\r\n\r\n"},
                      LoadCase{"\r", "\r\n"}, LoadCase{"\n\n", "\r\n"}, LoadCase{"A\r\r\n", "A\r\n"},
                      // Not UTF-8: read as Windows-1252, nothing lost.
                      LoadCase{"caff\xe8\r\n", "caffè\r\n"}, LoadCase{"\x80\x81\x9f\xff", "€\xc2\x81Ÿÿ\r\n"},
                      LoadCase{"\xc3", "Ã\r\n"}, LoadCase{"\xed\xa0\x80", "í\xc2\xa0€\r\n"}));

TEST_F(TempLogTest, NoFileLoadsNothing) {
    EXPECT_EQ(LoadTempLog(location).status, LoadStatus::NoTempLog);
}

TEST_F(TempLogTest, PublishedAdifTestFileRoundTripsByteForByte) {
    const auto path = testing::SharedFixture("adif-3.1.6-test-qsos.adi");
    if (path.empty()) GTEST_SKIP() << "shared fixtures are not beside this checkout";
    const std::string text = ReadBytes(path);
    ASSERT_EQ(SaveTempLog(location, text).status, SaveStatus::Written);
    EXPECT_EQ(LoadTempLog(location).text, text);
}

TEST_F(TempLogTest, TextTheCodePageCannotHoldIsRefusedNotMangled) {
    WriteBytes(location.TempLog(), "older\r\n");
    const auto outcome = SaveTempLog(location, "bad \xff byte");
    EXPECT_EQ(outcome.status, SaveStatus::Failed);
    EXPECT_TRUE(outcome.message.text.starts_with("Impossibile salvare il log temporaneo "));
    EXPECT_EQ(ReadBytes(location.TempLog()), "older\r\n");
}

TEST(TempLogFaults, FileWhereTheFolderShouldBe) {
    testing::TempFolder root;
    const auto location = LogLocation::At(root.path() / "adif");
    WriteBytes(location.folder, "not a folder");

    const auto message = EnsureLogFolder(location);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->kind, MessageKind::Warning);
    EXPECT_EQ(message->text, "Impossibile creare la cartella " + location.folder.string() +
                                 ": " + std::strerror(ENOTDIR));
    const auto saved = SaveTempLog(location, "<EOR>\r\n");
    EXPECT_EQ(saved.status, SaveStatus::Failed);
    EXPECT_EQ(saved.message.text, "Impossibile salvare il log temporaneo " +
                                      (location.folder / "log.ziz").string() + ": " +
                                      std::strerror(ENOTDIR));
    EXPECT_EQ(LoadTempLog(location).status, LoadStatus::NoTempLog);
    EXPECT_EQ(ReadBytes(location.folder), "not a folder");
}

TEST(TempLogFaults, FolderThatCannotBeCreated) {
    testing::TempFolder root;
    const auto location = LogLocation::At(root.path() / "missing" / "adif");
    const auto message = EnsureLogFolder(location);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "Impossibile creare la cartella " + location.folder.string() +
                                 ": " + std::strerror(ENOENT));
}

TEST_F(TempLogTest, FolderWhereTheTempLogShouldBe) {
    fs::create_directory(location.TempLog());
    WriteBytes(location.TempLog() / "inside", "x");
    EXPECT_EQ(LoadTempLog(location).status, LoadStatus::NoTempLog);
    const auto saved = SaveTempLog(location, "<EOR>\r\n");
    EXPECT_EQ(saved.status, SaveStatus::Failed);
    EXPECT_NE(saved.message.text.find(": "), std::string::npos);
    EXPECT_EQ(ReadBytes(location.TempLog() / "inside"), "x");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"log.ziz"});
}

TEST_F(TempLogTest, StaleTemporariesAreClearedAtStart) {
    WriteBytes(location.folder / ".log.ziz.123.0", "half a save");
    WriteBytes(location.TempLog(), "whole\r\n");
    EXPECT_FALSE(EnsureLogFolder(location));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"log.ziz"});
}

// A small tmpfs in a mount namespace of this test process alone.
class FullDisk : public ::testing::Test {
protected:
    testing::TempFolder root;
    LogLocation location = LogLocation::At(root.path() / "adif");

    void SetUp() override {
        if (const auto why = testing::MountSmallDisk(location.folder, "64k"); !why.empty()) GTEST_SKIP() << why;
    }
    void TearDown() override { umount(location.folder.c_str()); }
};

TEST_F(FullDisk, FailedSaveKeepsTheOldFileAndRetryWorks) {
    ASSERT_EQ(SaveTempLog(location, "old\r\n").status, SaveStatus::Written);
    const auto outcome = SaveTempLog(location, std::string(200 * 1024, 'x'));
    EXPECT_EQ(outcome.status, SaveStatus::Failed);
    EXPECT_EQ(outcome.message.text, "Impossibile salvare il log temporaneo " +
                                        location.TempLog().string() + ": " + std::strerror(ENOSPC));
    EXPECT_EQ(ReadBytes(location.TempLog()), "old\r\n\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(location.folder), fs::directory_iterator()), 1);
    EXPECT_EQ(SaveTempLog(location, "new\r\n").status, SaveStatus::Written);
    EXPECT_EQ(ReadBytes(location.TempLog()), "new\r\n\r\n");
}

TEST(TempLogCrash, KilledSavesLeaveOneWholeVersion) {
    testing::TempFolder root;
    const auto location = LogLocation::At(root.path() / "adif");
    ASSERT_FALSE(EnsureLogFolder(location));
    // Version n is n identical lines naming n, so any mix or cut shows.
    const auto version = [](int n) {
        std::string text;
        const std::string line = "<CALL:4>V" + std::to_string(n % 1000) + "<EOR>\r\n";
        for (int i = 0; i < 200 + n % 7 * 300; ++i) text += line;
        return text;
    };
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int n = round * 1000;; ++n) SaveTempLog(location, version(n));
        }
        usleep(std::uniform_int_distribution<useconds_t>(500, 15000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const auto loaded = LoadTempLog(location);
        if (loaded.status == LoadStatus::NoTempLog) continue;  // killed before the first save
        ASSERT_EQ(loaded.status, LoadStatus::Loaded);
        const std::string first = loaded.text.substr(0, loaded.text.find("\r\n") + 2);
        const int n = std::stoi(first.substr(9));
        bool whole = false;
        for (int candidate = n; candidate < 1000 * 61 && !whole; candidate += 1000) {
            whole = loaded.text == version(candidate);
        }
        ASSERT_TRUE(whole) << "round " << round << ": a cut or mixed log.ziz";
    }
}

}  // namespace
}  // namespace vadozoz
