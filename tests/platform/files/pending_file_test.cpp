#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "scratch_folder.h"
#include "vesk/files/file_error.h"
#include "vesk/files/pending_file.h"

namespace vesk::files {
namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 0777;
}

// Sets the umask for the life of the object.
class Umask {
public:
    explicit Umask(mode_t mask) : m_previous(::umask(mask)) {}
    ~Umask() { ::umask(m_previous); }

private:
    mode_t m_previous;
};

TEST(ReplaceFileWith, NewFilesFollowTheUmaskReplacedOnesKeepTheirModeAndLinksAreRefused) {
    test::ScratchFolder folder;
    Umask strict(077);
    std::string fresh = folder.Path("new; \"café\".bmp");
    ReplaceFileWith(fresh, {1, 2, 3});
    EXPECT_EQ(ModeOf(fresh), 0600u);

    std::string kept = folder.Write("kept.bmp", "old");
    fs::permissions(kept, fs::perms(0640));
    ReplaceFileWith(kept, {4, 5});
    EXPECT_EQ(ModeOf(kept), 0640u);
    EXPECT_EQ(fs::file_size(kept), 2u);

    fs::create_symlink(kept, folder.Path("link.bmp"));
    EXPECT_THROW(ReplaceFileWith(folder.Path("link.bmp"), {9}), FileError);
    EXPECT_TRUE(fs::is_symlink(folder.Path("link.bmp")));
    EXPECT_EQ(fs::file_size(kept), 2u);
}

TEST(RemoveLeftoverTemporaries, TakesOnlyAbandonedRegularFilesOfThePattern) {
    test::ScratchFolder folder;
    std::string leftover = folder.Write("E1_Front_EMP.vpc.tmp-Ab12Cd", "x");
    const char* lookAlikes[] = {"notes.tmp-Ab12Cd", "E1.vpc.tmp-Ab12C", "E1.vpc.tmp-Ab1_Cd",
                                "E1.vpc.tmp-Ab12Cde"};
    for (const char* name : lookAlikes) {
        folder.Write(name, "mine");
    }
    fs::create_symlink(leftover, folder.Path("L.vpc.tmp-Zz99Yy"));
    PendingFile beingWritten(folder.Path("E2_Side_EMP.vpc"));

    std::vector<std::string> removed = RemoveLeftoverTemporaries(folder.Path(), ".vpc");

    EXPECT_EQ(removed, std::vector<std::string>{leftover});
    EXPECT_FALSE(fs::exists(leftover));
    for (const char* name : lookAlikes) {
        EXPECT_TRUE(fs::exists(folder.Path(name))) << name;
    }
    EXPECT_TRUE(fs::is_symlink(folder.Path("L.vpc.tmp-Zz99Yy")));
    EXPECT_TRUE(fs::exists(beingWritten.TemporaryPath())) << "a running writer keeps its file";
}

}  // namespace
}  // namespace vesk::files
