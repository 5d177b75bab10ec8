#include "vesk/files/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "scratch_folder.h"
#include "vesk/files/file_error.h"

namespace vesk::files {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

TEST(FileSystem, FirstMatchGivesTheFirstMatchingFileNameInNameOrder) {
    test::ScratchFolder folder;
    folder.Write("b.jpg", "b");
    folder.Write("a.jpg", "a");
    folder.Write("a.txt", "t");
    fs::create_directory(folder.Path("0.jpg"));

    EXPECT_EQ(FirstMatch(folder.Path("*.jpg")), "a.jpg");
    EXPECT_EQ(FirstMatch(folder.Path("?.txt")), "a.txt");
    EXPECT_EQ(FirstMatch(folder.Path("b.jpg")), "b.jpg");
    EXPECT_EQ(FirstMatch(folder.Path("*.png")), "");
    EXPECT_EQ(FirstMatch(folder.Path("c.jpg")), "");
    EXPECT_EQ(FirstMatch(folder.Path("missing/*.jpg")), "");
}

TEST(FileSystem, WildcardsMatchWholeNamesWithBacktrackingAndCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"aab", "a*ab", true},         {"abcbd", "a*b?", true},
        {"abc", "a*c*", true},         {"ab", "a?b", false},
        {"x.jpg.txt", "*.jpg", false}, {"A.JPG", "*.jpg", false},
        {"Pix1a2B3c", "Pix*", true},   {"abc", "*", true},
        {"abc", "??", false},
    };
    for (const Case& c : cases) {
        test::ScratchFolder folder;
        folder.Write(c.name, "");
        EXPECT_EQ(FirstMatch(folder.Path(c.pattern)), c.matches ? c.name : "")
            << c.name << " against " << c.pattern;
    }
}

TEST(FileSystem, FoldersMatchOnlyWithTheFolderAttribute) {
    test::ScratchFolder folder;
    fs::create_directory(folder.Path("VskPhotos"));
    folder.Write("photo.vpc", "");

    EXPECT_EQ(FirstMatch(folder.Path("VskPhotos")), "");
    EXPECT_EQ(FirstMatch(folder.Path("VskPhotos"), FolderAttribute), "VskPhotos");
    EXPECT_EQ(FirstMatch(folder.Path("VskPhotos/"), FolderAttribute), "VskPhotos");
    EXPECT_EQ(FirstMatch(folder.Path("Vsk*"), FolderAttribute), "VskPhotos");
    EXPECT_EQ(FirstMatch(folder.Path("*.vpc"), FolderAttribute), "photo.vpc");
}

TEST(FileSystem, DeleteMatchingRemovesOnlyMatchingFiles) {
    test::ScratchFolder folder;
    folder.Write("a.tmp", "");
    folder.Write("b.tmp", "");
    folder.Write("c.txt", "");
    fs::create_directory(folder.Path("d.tmp"));

    EXPECT_EQ(DeleteMatching(folder.Path("*.tmp")), 2);
    EXPECT_FALSE(fs::exists(folder.Path("a.tmp")));
    EXPECT_TRUE(fs::exists(folder.Path("c.txt")));
    EXPECT_TRUE(fs::is_directory(folder.Path("d.tmp")));
    EXPECT_EQ(DeleteMatching(folder.Path("*.tmp")), 0);
}

TEST(FileSystem, CreateFolderFailsWhenItExistsOrItsParentIsMissing) {
    test::ScratchFolder folder;
    CreateFolder(folder.Path("new"));
    EXPECT_TRUE(fs::is_directory(folder.Path("new")));
    EXPECT_THROW(CreateFolder(folder.Path("new")), FileError);
    EXPECT_THROW(CreateFolder(folder.Path("missing/new")), FileError);
}

TEST(FileSystem, RenameReplacesAnExistingTargetAndReportsAMissingSource) {
    test::ScratchFolder folder;
    const std::string source = folder.Write("CompactTemp.vsk", "compacted");
    const std::string target = folder.Write("data.vsk", "old");

    RenameFile(source, target);
    EXPECT_EQ(ReadAll(target), "compacted");
    EXPECT_FALSE(fs::exists(source));

    try {
        RenameFile(source, target);
        FAIL() << "renaming a missing file succeeded";
    } catch (const FileError& error) {
        EXPECT_NE(error.Description().find(source), std::string::npos) << error.what();
    }
    EXPECT_EQ(ReadAll(target), "compacted");
}

TEST(FileSystem, FileLengthCountsBytesAndRejectsMissingFilesAndFolders) {
    test::ScratchFolder folder;
    EXPECT_EQ(FileLength(folder.Write("five", "12345")), 5);
    EXPECT_EQ(FileLength(folder.Write("empty", "")), 0);
    EXPECT_THROW(FileLength(folder.Path("missing")), FileError);
    EXPECT_THROW(FileLength(folder.Path()), FileError);
}

TEST(FileSystem, LibraryFileAndFolderOfLinkedCodeAreTheProgramsOwn) {
    const auto program = fs::canonical("/proc/self/exe");
    EXPECT_EQ(LibraryFile(reinterpret_cast<const void*>(&FirstMatch)), program.string());
    EXPECT_EQ(LibraryFolder(reinterpret_cast<const void*>(&FirstMatch)),
              program.parent_path().string());
    EXPECT_THROW(LibraryFile(nullptr), FileError);
    EXPECT_THROW(LibraryFolder(nullptr), FileError);
}

}  // namespace
}  // namespace vesk::files
