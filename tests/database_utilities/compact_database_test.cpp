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

// Compaction in both builds: the current one on a keyed database, the legacy one, which can
// pass no password, on an unkeyed one.
class CompactDatabaseTest : public BuildTest {
protected:
    // A database `db.mdb` keyed with Password(), with kRows rows, two thirds of them deleted.
    std::string MakeShrinkable(const std::string& password) {
        std::vector<std::string> statements = RowStatements(kRows);
        statements.push_back("DELETE FROM t WHERE id % 3 <> 0");
        MakeDatabase("db.mdb", password, statements).reset();
        return m_folder.Path("db.mdb");
    }
    std::string MakeShrinkable() { return MakeShrinkable(Password()); }
    std::string Password() const { return ForBuild<std::string>("pw", ""); }
    std::string TempName() const { return ForBuild<std::string>("CompactTemp.vsk", "Temp.mdb"); }
    bool Compact(const std::string& path, std::string& tempFolder) {
        return UtilitiesTest::Compact(path, tempFolder, Password());
    }
    ~CompactDatabaseTest() override { detail::SetCompactionFaultHook({}); }
};

INSTANTIATE_TEST_SUITE_P(Builds, CompactDatabaseTest, kBothBuilds, BuildName);

TEST_P(CompactDatabaseTest, ShrinksTheFileAndKeepsRowsIndexesKeyAndVersion) {
    std::string path = MakeShrinkable();
    auto before = data::ReadContents(path, Password());
    auto rowsBefore = ReadRows(path, Password());
    auto sizeBefore = fs::file_size(path);
    std::string temp = m_folder.Path();
    ASSERT_TRUE(Compact(path, temp)) << m_ui.MessageBoxes().at(0).text;
    EXPECT_LT(fs::file_size(path) * 2, sizeBefore);
    EXPECT_EQ(data::ReadContents(path, Password()), before);  // schema incl. index, counts, version
    EXPECT_EQ(before.userVersion, 7);
    EXPECT_EQ(ReadRows(path, Password()), rowsBefore);
    EXPECT_TRUE(data::CheckIntegrity(path, Password()).empty());
    if (m_build == Build::Current) {
        EXPECT_THROW(data::ReadContents(path, ""), std::exception);  // still keyed
    }
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_FALSE(fs::exists(temp + TempName()));
}

TEST_P(CompactDatabaseTest, TempFolderGetsOneTrailingSeparatorAndLeftoverIsReplaced) {
    std::string path = MakeShrinkable();
    std::string bare = m_folder.Path();
    m_folder.Write(TempName(), "left over by a crash");
    ASSERT_TRUE(Compact(path, bare));
    EXPECT_EQ(bare, m_folder.Path() + "/");
    std::string withSeparator = bare;
    ASSERT_TRUE(Compact(path, withSeparator));
    EXPECT_EQ(withSeparator, bare);
    EXPECT_FALSE(fs::exists(bare + TempName()));
    EXPECT_EQ(ReadRows(path, Password()).size(), static_cast<size_t>(kRows / 3));
}

TEST_P(CompactDatabaseTest, MissingFileIsFalseWithoutAMessage) {
    std::string temp = m_folder.Path();
    EXPECT_FALSE(Compact(m_folder.Path("none.mdb"), temp));
    EXPECT_EQ(temp, m_folder.Path() + "/");
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_FALSE(fs::exists(temp + TempName()));
}

// The legacy build passes no password to the engine, so it refuses a keyed file even when the
// right one is given through the form it inherits.
TEST_P(CompactDatabaseTest, KeyedFileWithoutItsPasswordShowsTheEngineTextAndIsLeftAlone) {
    std::string path = MakeShrinkable("pw");
    std::string bytes = FileBytes(path);
    const std::string engineText = " (file is encrypted or is not a database)";
    const std::string noKey =
        "Cannot open '" + path + "': it is protected by a password or is not a database file";
    const std::string wrongKey =
        "Cannot open '" + path + "': not a valid password, or not a database file";
    struct Attempt {
        std::string password;
        std::string text;
    };
    const std::vector<Attempt> attempts =
        ForBuild<std::vector<Attempt>>({{"wrong", wrongKey + engineText}, {"", noKey + engineText}},
                                       {{"", noKey + engineText}, {"pw", noKey + engineText}});
    for (const Attempt& attempt : attempts) {
        std::string temp = m_folder.Path();
        EXPECT_FALSE(UtilitiesTest::Compact(path, temp, attempt.password));
        EXPECT_EQ(FileBytes(path), bytes);
        EXPECT_FALSE(fs::exists(temp + TempName()));
        ASSERT_FALSE(m_ui.MessageBoxes().empty());
        EXPECT_EQ(m_ui.MessageBoxes().back(),
                  (RecordedMessageBox{attempt.text, 48, "Error Compacting Database"}))
            << m_ui.MessageBoxes().back().text;
    }
    EXPECT_EQ(m_ui.MessageBoxes().size(), attempts.size());
}

// Only the legacy build opens the file once more after the rename; a failure there is
// reported, though the file is the compacted copy by then.
TEST_P(CompactDatabaseTest, FailingOpenAfterTheRenameIsReportedOnACompactedFile) {
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, Password());
    auto sizeBefore = fs::file_size(path);
    detail::SetCompactionFaultHook([](CompactionStep step) {
        if (step == CompactionStep::OpenCompacted) {
            throw std::runtime_error("injected failure");
        }
    });
    std::string temp = m_folder.Path();
    EXPECT_EQ(Compact(path, temp), ForBuild(true, false));
    const std::vector<RecordedMessageBox> none;
    const std::vector<RecordedMessageBox> reported = {
        {"injected failure", 48, "Error Compacting Database"}};
    EXPECT_EQ(m_ui.MessageBoxes(), ForBuild(none, reported));
    EXPECT_LT(fs::file_size(path) * 2, sizeBefore);
    EXPECT_EQ(ReadRows(path, Password()), rows);
    EXPECT_FALSE(fs::exists(temp + TempName()));
}

TEST_P(CompactDatabaseTest, MissingTempFolderFailsWithAMessageAndLeavesTheFile) {
    std::string path = MakeShrinkable();
    std::string bytes = FileBytes(path);
    std::string temp = m_folder.Path("no-such-folder");
    EXPECT_FALSE(Compact(path, temp));
    EXPECT_EQ(FileBytes(path), bytes);
    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_ui.MessageBoxes()[0].title, "Error Compacting Database");
    EXPECT_EQ(m_ui.MessageBoxes()[0].flags, 48);
}

TEST_P(CompactDatabaseTest, AFailureAtEachStepLeavesAWholeDatabase) {
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, Password());
    for (int failing = 1; failing <= detail::kCompactionStepCount; ++failing) {
        SCOPED_TRACE(failing);
        detail::SetCompactionFaultHook([failing](CompactionStep step) {
            if (static_cast<int>(step) == failing) {
                throw std::runtime_error("injected failure");
            }
        });
        std::string temp = m_folder.Path();
        EXPECT_FALSE(Compact(path, temp));
        EXPECT_EQ(m_ui.MessageBoxes().back(),
                  (RecordedMessageBox{"injected failure", 48, "Error Compacting Database"}));
        EXPECT_EQ(ReadRows(path, Password()), rows);
    }
    detail::SetCompactionFaultHook({});
    std::string temp = m_folder.Path();
    EXPECT_TRUE(Compact(path, temp));  // leftovers do not matter
}

TEST_P(CompactDatabaseTest, ACrashAtEachStepLeavesAWholeDatabase) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, Password());
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
                Compact(path, temp);
                ::_exit(0);
            },
            ::testing::ExitedWithCode(3), "");
        EXPECT_EQ(ReadRows(path, Password()), rows);
    }
}

// /dev/shm is a memory file system on most Linux systems, apart from the scratch folder.
TEST_P(CompactDatabaseTest, ATempFolderOnAnotherFileSystemIsBroughtBesideFirst) {
    struct stat shm {};
    struct stat scratch {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(m_folder.Path().c_str(), &scratch) != 0 ||
        shm.st_dev == scratch.st_dev || ::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no second writable file system";
    }
    std::string temp = "/dev/shm/vesk-compact-" + std::to_string(::getpid());
    fs::create_directory(temp);
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, Password());
    EXPECT_TRUE(Compact(path, temp));
    EXPECT_EQ(ReadRows(path, Password()), rows);
    EXPECT_FALSE(fs::exists(temp + "/" + TempName()));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 1);
    fs::remove_all(temp);
}

}  // namespace
}  // namespace vesk::dbutil::testing
