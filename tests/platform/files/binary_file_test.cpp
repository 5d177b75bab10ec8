#include "vesk/files/binary_file.h"

#include <gtest/gtest.h>

#include "scratch_folder.h"
#include "vesk/files/file_error.h"

namespace vesk::files {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BinaryFile, WritesAndReadsContinueFromTheCurrentPosition) {
    test::ScratchFolder folder;
    const std::string path = folder.Path("chunks");
    {
        BinaryFile file(path, BinaryFile::Mode::Write);
        file.Write(Bytes{1, 2, 3});
        file.Write(Bytes{});
        file.Write(Bytes{4, 5});
        EXPECT_EQ(file.Length(), 5);
    }
    BinaryFile file(path, BinaryFile::Mode::Read);
    EXPECT_EQ(file.Length(), 5);
    EXPECT_EQ(file.Read(1), Bytes{1});
    EXPECT_EQ(file.Read(0), Bytes{});
    EXPECT_EQ(file.Read(4), (Bytes{2, 3, 4, 5}));
    EXPECT_THROW(file.Read(1), FileError);
}

TEST(BinaryFile, OpeningForWriteEmptiesAnExistingFile) {
    test::ScratchFolder folder;
    const std::string path = folder.Write("old", "old content");
    BinaryFile file(path, BinaryFile::Mode::Write);
    file.Write(Bytes{9});
    file.Close();
    EXPECT_EQ(BinaryFile(path, BinaryFile::Mode::Read).Length(), 1);
}

TEST(BinaryFile, OpeningAMissingFileNamesItInTheFailure) {
    test::ScratchFolder folder;
    const std::string path = folder.Path("missing");
    try {
        BinaryFile file(path, BinaryFile::Mode::Read);
        FAIL() << "a missing file opened";
    } catch (const FileError& error) {
        EXPECT_NE(error.Description().find(path), std::string::npos) << error.what();
    }
}

TEST(BinaryFile, ClosedOrWrongModeFilesRefuseWork) {
    test::ScratchFolder folder;
    BinaryFile file(folder.Path("f"), BinaryFile::Mode::Write);
    EXPECT_THROW(file.Read(1), FileError);

    BinaryFile moved = std::move(file);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(moved.IsOpen());
    moved.Close();
    moved.Close();
    EXPECT_THROW(moved.Write(Bytes{1}), FileError);
    EXPECT_THROW(moved.Length(), FileError);
}

}  // namespace
}  // namespace vesk::files
