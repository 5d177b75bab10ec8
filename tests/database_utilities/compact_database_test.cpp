#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "compaction_steps.h"
#include "compaction_test_data.h"
#include "utilities_fixture.h"
#include "vesk/data_access/database_file.h"

namespace vesk::dbutil::testing {
namespace {

namespace fs = std::filesystem;
using detail::CompactionStep;

constexpr long kRows = 3000;

class CompactDatabaseTest : public UtilitiesTest {
protected:
    // A keyed database `db.mdb` (password "pw") with kRows rows, two thirds of them deleted.
    std::string MakeShrinkable() {
        std::vector<std::string> statements = RowStatements(kRows);
        statements.push_back("DELETE FROM t WHERE id % 3 <> 0");
        MakeDatabase("db.mdb", "pw", statements).reset();
        return m_folder.Path("db.mdb");
    }
    ~CompactDatabaseTest() override { detail::SetCompactionFaultHook({}); }
};

TEST_F(CompactDatabaseTest, ShrinksTheFileAndKeepsRowsIndexesKeyAndVersion) {
    std::string path = MakeShrinkable();
    auto before = data::ReadContents(path, "pw");
    auto rowsBefore = ReadRows(path, "pw");
    auto sizeBefore = fs::file_size(path);
    std::string temp = m_folder.Path();
    ASSERT_TRUE(m_utilities.CompactDatabase(path, temp, "pw")) << m_ui.MessageBoxes().at(0).text;
    EXPECT_LT(fs::file_size(path) * 2, sizeBefore);
    EXPECT_EQ(data::ReadContents(path, "pw"), before);  // schema incl. index, counts, version
    EXPECT_EQ(before.userVersion, 7);
    EXPECT_EQ(ReadRows(path, "pw"), rowsBefore);
    EXPECT_TRUE(data::CheckIntegrity(path, "pw").empty());
    EXPECT_THROW(data::ReadContents(path, ""), std::exception);  // still keyed
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_FALSE(fs::exists(temp + "CompactTemp.vsk"));
}

TEST_F(CompactDatabaseTest, TempFolderGetsOneTrailingSeparatorAndLeftoverIsReplaced) {
    std::string path = MakeShrinkable();
    std::string bare = m_folder.Path();
    m_folder.Write("CompactTemp.vsk", "left over by a crash");
    ASSERT_TRUE(m_utilities.CompactDatabase(path, bare, "pw"));
    EXPECT_EQ(bare, m_folder.Path() + "/");
    std::string withSeparator = bare;
    ASSERT_TRUE(m_utilities.CompactDatabase(path, withSeparator, "pw"));
    EXPECT_EQ(withSeparator, bare);
    EXPECT_FALSE(fs::exists(bare + "CompactTemp.vsk"));
    EXPECT_EQ(ReadRows(path, "pw").size(), static_cast<size_t>(kRows / 3));
}

TEST_F(CompactDatabaseTest, MissingFileIsFalseWithoutAMessage) {
    std::string temp = m_folder.Path();
    EXPECT_FALSE(m_utilities.CompactDatabase(m_folder.Path("none.mdb"), temp, "pw"));
    EXPECT_EQ(temp, m_folder.Path() + "/");
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_FALSE(fs::exists(temp + "CompactTemp.vsk"));
}

TEST_F(CompactDatabaseTest, WrongOrMissingPasswordShowsTheEngineTextAndLeavesTheFile) {
    std::string path = MakeShrinkable();
    std::string bytes = FileBytes(path);
    for (const std::string password : {"wrong", ""}) {
        std::string temp = m_folder.Path();
        EXPECT_FALSE(m_utilities.CompactDatabase(path, temp, password));
        EXPECT_EQ(FileBytes(path), bytes);
    }
    ASSERT_EQ(m_ui.MessageBoxes().size(), 2u);
    for (const RecordedMessageBox& box : m_ui.MessageBoxes()) {
        EXPECT_NE(box.text.find("file is encrypted or is not a database"), std::string::npos)
            << box.text;
        EXPECT_EQ(box.flags, 48);
        EXPECT_EQ(box.title, "Error Compacting Database");
    }
}

TEST_F(CompactDatabaseTest, MissingTempFolderFailsWithAMessageAndLeavesTheFile) {
    std::string path = MakeShrinkable();
    std::string bytes = FileBytes(path);
    std::string temp = m_folder.Path("no-such-folder");
    EXPECT_FALSE(m_utilities.CompactDatabase(path, temp, "pw"));
    EXPECT_EQ(FileBytes(path), bytes);
    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_ui.MessageBoxes()[0].title, "Error Compacting Database");
    EXPECT_EQ(m_ui.MessageBoxes()[0].flags, 48);
}

TEST_F(CompactDatabaseTest, AFailureAtEachStepLeavesAWholeDatabase) {
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, "pw");
    for (int failing = 1; failing <= detail::kCompactionStepCount; ++failing) {
        SCOPED_TRACE(failing);
        detail::SetCompactionFaultHook([failing](CompactionStep step) {
            if (static_cast<int>(step) == failing) {
                throw std::runtime_error("injected failure");
            }
        });
        std::string temp = m_folder.Path();
        EXPECT_FALSE(m_utilities.CompactDatabase(path, temp, "pw"));
        EXPECT_EQ(m_ui.MessageBoxes().back(),
                  (RecordedMessageBox{"injected failure", 48, "Error Compacting Database"}));
        EXPECT_EQ(ReadRows(path, "pw"), rows);
    }
    detail::SetCompactionFaultHook({});
    std::string temp = m_folder.Path();
    EXPECT_TRUE(m_utilities.CompactDatabase(path, temp, "pw"));  // leftovers do not matter
}

TEST_F(CompactDatabaseTest, ACrashAtEachStepLeavesAWholeDatabase) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, "pw");
    for (int crashing = 1; crashing <= detail::kCompactionStepCount; ++crashing) {
        SCOPED_TRACE(crashing);
        EXPECT_EXIT(
            {
                detail::SetCompactionFaultHook([crashing](CompactionStep step) {
                    if (static_cast<int>(step) == crashing) {
                        ::_exit(3);
                    }
                });
                std::string temp = m_folder.Path();
                m_utilities.CompactDatabase(path, temp, "pw");
                ::_exit(0);
            },
            ::testing::ExitedWithCode(3), "");
        EXPECT_EQ(ReadRows(path, "pw"), rows);
    }
}

// /dev/shm is a memory file system on most Linux systems, apart from the scratch folder.
TEST_F(CompactDatabaseTest, ATempFolderOnAnotherFileSystemIsBroughtBesideFirst) {
    struct stat shm {};
    struct stat scratch {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(m_folder.Path().c_str(), &scratch) != 0 ||
        shm.st_dev == scratch.st_dev || ::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no second writable file system";
    }
    std::string temp = "/dev/shm/vesk-compact-" + std::to_string(::getpid());
    fs::create_directory(temp);
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, "pw");
    EXPECT_TRUE(m_utilities.CompactDatabase(path, temp, "pw"));
    EXPECT_EQ(ReadRows(path, "pw"), rows);
    EXPECT_FALSE(fs::exists(temp + "/CompactTemp.vsk"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 1);
    fs::remove_all(temp);
}

}  // namespace
}  // namespace vesk::dbutil::testing
