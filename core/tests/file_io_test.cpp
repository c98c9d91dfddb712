#include "core/file_io.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstring>

#include "temp_folder.h"

namespace vadozoz::fileio {
namespace {

namespace fs = std::filesystem;
using vadozoz::testing::ReadBytes;
using vadozoz::testing::WriteBytes;

ino_t Inode(const fs::path& p) {
    struct stat st {};
    stat(p.c_str(), &st);
    return st.st_ino;
}

TEST(WriteFileAtomically, RewritesOnlyWhatChanged) {
    vadozoz::testing::TempFolder folder;
    const fs::path file = folder.path() / "log.ziz";
    ASSERT_FALSE(WriteFileAtomically(file, "one\r\n"));
    const ino_t first = Inode(file);
    ASSERT_FALSE(WriteFileAtomically(file, "one\r\n"));
    EXPECT_EQ(Inode(file), first);  // the same bytes: left as it was
    ASSERT_FALSE(WriteFileAtomically(file, "one\r\ntwo\r\n"));
    EXPECT_NE(Inode(file), first);  // replaced by a new file, never written in place
    EXPECT_EQ(ReadBytes(file), "one\r\ntwo\r\n");
    ASSERT_FALSE(WriteFileAtomically(file, "two\r\none\r\n"));  // same size, other bytes
    EXPECT_EQ(ReadBytes(file), "two\r\none\r\n");
}

class NewFile : public ::testing::TestWithParam<bool> {
protected:
    std::error_code Place(const fs::path& from, const fs::path& to) {
        return GetParam() ? LinkOrCopyToNewFile(from, to) : CopyToNewFile(from, to);
    }
};

TEST_P(NewFile, HoldsTheSameBytesAndNeverOverwrites) {
    vadozoz::testing::TempFolder folder;
    const fs::path from = folder.path() / "log.ziz";
    const fs::path to = folder.path() / "log_05Dec2014.adi";
    std::string bytes(3 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 % 251);
    WriteBytes(from, bytes);
    ASSERT_FALSE(Place(from, to));
    EXPECT_TRUE(ReadBytes(to) == bytes);

    fs::remove(to);  // a link shares the bytes: write a new file, not into it
    WriteBytes(to, "an earlier export");
    EXPECT_EQ(Place(from, to), std::errc::file_exists);
    EXPECT_EQ(ReadBytes(to), "an earlier export");
    fs::remove(to);
    fs::create_directory(to);
    EXPECT_EQ(Place(from, to), std::errc::file_exists);
    EXPECT_TRUE(ReadBytes(from) == bytes);
}

INSTANTIATE_TEST_SUITE_P(CopyAndLink, NewFile, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Link" : "Copy"; });

TEST(CopyToNewFile, FullDiskLeavesNothingBehind) {
    vadozoz::testing::TempFolder root;
    const fs::path disk = root.path() / "disk";
    if (const auto why = vadozoz::testing::MountSmallDisk(disk, "128k"); !why.empty()) GTEST_SKIP() << why;
    const std::string bytes(80 * 1024, 'x');
    WriteBytes(disk / "log.ziz", bytes);
    EXPECT_EQ(CopyToNewFile(disk / "log.ziz", disk / "copy.adi"), std::errc::no_space_on_device);
    // Neither the name nor a half-written temporary is left.
    EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
    EXPECT_EQ(ReadBytes(disk / "log.ziz"), bytes);
    umount(disk.c_str());
}

}  // namespace
}  // namespace vadozoz::fileio
