#include "vesk/files/temp_names.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>

#include "scratch_folder.h"
#include "vesk/files/file_error.h"

namespace vesk::files {
namespace {

namespace fs = std::filesystem;

// Sets TMPDIR for one test and puts the previous value back afterwards.
class TmpdirOverride {
public:
    explicit TmpdirOverride(const char* value) {
        if (const char* old = getenv("TMPDIR")) {
            m_old = old;
        }
        value ? setenv("TMPDIR", value, 1) : unsetenv("TMPDIR");
    }
    ~TmpdirOverride() { m_old ? setenv("TMPDIR", m_old->c_str(), 1) : unsetenv("TMPDIR"); }

private:
    std::optional<std::string> m_old;
};

TEST(TempNames, TempFolderIsTmpdirOrTmpWithATrailingSlash) {
    {
        TmpdirOverride tmpdir("/var/scratch");
        EXPECT_EQ(TempFolder(), "/var/scratch/");
    }
    {
        TmpdirOverride tmpdir("/var/scratch/");
        EXPECT_EQ(TempFolder(), "/var/scratch/");
    }
    {
        TmpdirOverride tmpdir("");
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
    TmpdirOverride tmpdir(nullptr);
    EXPECT_EQ(TempFolder(), "/tmp/");
}

TEST(TempNames, CreateTempFileMakesDistinctEmptyFilesWithThePrefix) {
    test::ScratchFolder folder;
    const std::string first = CreateTempFile(folder.Path(), "Pix");
    const std::string second = CreateTempFile(folder.Path() + "/", "Pix");
    EXPECT_NE(first, second);
    for (const auto& path : {first, second}) {
        EXPECT_EQ(path.rfind(folder.Path("Pix"), 0), 0u) << path;
        EXPECT_TRUE(fs::is_regular_file(path));
        EXPECT_EQ(fs::file_size(path), 0u);
    }
    EXPECT_THROW(CreateTempFile(folder.Path("missing"), "Pix"), FileError);
}

TEST(TempNames, FreshTempNamesDifferAndNameNoFile) {
    test::ScratchFolder folder;
    TmpdirOverride tmpdir(folder.Path().c_str());
    const std::string first = FreshTempName();
    const std::string second = FreshTempName();
    EXPECT_NE(first, second);
    for (const auto& path : {first, second}) {
        EXPECT_EQ(path.rfind(folder.Path("Pix"), 0), 0u) << path;
        EXPECT_FALSE(fs::exists(path));
    }
}

}  // namespace
}  // namespace vesk::files
