#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <latch>
#include <stdexcept>
#include <thread>

#include "compaction_steps.h"
#include "compaction_test_data.h"
#include "utilities_fixture.h"
#include "vesk/data_access/database_file.h"

namespace vesk::database_utilities::testing {
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
    // The name the temporary file had when it was fixed; now only a look-alike.
    std::string TempName() const { return ForBuild<std::string>("CompactTemp.vsk", "Temp.mdb"); }
    // How many files in `folder` begin as the build's temporary files do.
    long TempFilesIn(const std::string& folder) const {
        const std::string stem = ForBuild<std::string>("CompactTemp-", "Temp-");
        return std::count_if(
            fs::directory_iterator(folder), fs::directory_iterator(),
            [&](const auto& entry) { return entry.path().filename().string().starts_with(stem); });
    }
    // The stem of the temporary files of the database `path` in `folder`.
    std::string TempStemOf(const std::string& path, const std::string& folder) const {
        struct stat status {};
        ::stat(path.c_str(), &status);
        return fmt::format("{}/{}-{:x}.{:x}", folder, ForBuild<std::string>("CompactTemp", "Temp"),
                           status.st_dev, status.st_ino);
    }
    bool Compact(const std::string& path, std::string& tempFolder) {
        return UtilitiesTest::Compact(path, tempFolder, Password());
    }
    ~CompactDatabaseTest() override { detail::SetCompactionFaultHook({}); }
};

INSTANTIATE_TEST_SUITE_P(Builds, CompactDatabaseTest, kBothBuilds, BuildName);

TEST_P(CompactDatabaseTest, ShrinksTheFileAndKeepsRowsIndexesKeyAndVersion) {
    std::string path = MakeShrinkable();
    auto before = data_access::ReadContents(path, Password());
    auto rowsBefore = ReadRows(path, Password());
    auto sizeBefore = fs::file_size(path);
    std::string temp = m_folder.Path();
    ASSERT_TRUE(Compact(path, temp)) << m_ui.MessageBoxes().at(0).text;
    EXPECT_LT(fs::file_size(path) * 2, sizeBefore);
    EXPECT_EQ(data_access::ReadContents(path, Password()),
              before);  // schema incl. index, counts, version
    EXPECT_EQ(before.userVersion, 7);
    EXPECT_EQ(ReadRows(path, Password()), rowsBefore);
    EXPECT_TRUE(data_access::CheckIntegrity(path, Password()).empty());
    if (m_build == Build::Current) {
        EXPECT_THROW(data_access::ReadContents(path, ""), std::exception);  // still keyed
    }
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_EQ(TempFilesIn(temp), 0);
}

// The database's own rows are read through a second session that names the file as a URI:
// characters with a meaning there stay part of the name.
TEST_P(CompactDatabaseTest, NamesWithUriCharactersCompact) {
    std::vector<std::string> statements = RowStatements(600);
    statements.push_back("DELETE FROM t WHERE id % 2 = 0");
    const std::string name = "Lohn?liste#1 100%; it's Straße.mdb";
    MakeDatabase(name, Password(), statements).reset();
    std::string path = m_folder.Path(name);
    auto rows = ReadRows(path, Password());
    std::string temp = m_folder.Path();
    ASSERT_TRUE(Compact(path, temp)) << m_ui.MessageBoxes().at(0).text;
    EXPECT_EQ(ReadRows(path, Password()), rows);
}

TEST_P(CompactDatabaseTest, TempFolderGetsOneTrailingSeparator) {
    std::string path = MakeShrinkable();
    std::string bare = m_folder.Path();
    ASSERT_TRUE(Compact(path, bare));
    EXPECT_EQ(bare, m_folder.Path() + "/");
    std::string withSeparator = bare;
    ASSERT_TRUE(Compact(path, withSeparator));
    EXPECT_EQ(withSeparator, bare);
    EXPECT_EQ(ReadRows(path, Password()).size(), static_cast<size_t>(kRows / 3));
}

// Only a leftover of this database's own pattern, a regular file, goes: a database under the
// old fixed name, another database's pattern, a longer name and a link all stay.
TEST_P(CompactDatabaseTest, FilesNamedLikeTheTemporaryAreNeverTouched) {
    MakeDatabase(TempName(), Password(), RowStatements(50)).reset();
    std::string path = m_folder.Path(TempName());
    auto rows = ReadRows(path, Password());
    std::string temp = m_folder.Path();
    std::string stem = TempStemOf(path, temp);
    std::string extension = fs::path(TempName()).extension().string();
    const std::vector<std::string> foreign = {stem + "1-abc123" + extension,
                                              stem + "-abc1234" + extension};
    for (const std::string& file : foreign) {
        std::ofstream(file) << "not ours";
    }
    fs::create_symlink(foreign[0], stem + "-link00" + extension);
    std::ofstream(stem + "-Ab12Cd" + extension) << "left by a killed run";

    EXPECT_TRUE(Compact(path, temp));
    EXPECT_EQ(ReadRows(path, Password()), rows);
    for (const std::string& file : foreign) {
        EXPECT_EQ(FileBytes(file), "not ours") << file;
    }
    EXPECT_TRUE(fs::is_symlink(stem + "-link00" + extension));
    EXPECT_FALSE(fs::exists(stem + "-Ab12Cd" + extension));
}

// Both compactions run at once through the same folder, each many times.
TEST_P(CompactDatabaseTest, TwoDatabasesInOneFolderCompactAtOnce) {
    std::vector<std::string> statements = RowStatements(600);
    MakeDatabase("a.mdb", Password(), RowStatements(300)).reset();
    MakeDatabase("b.mdb", Password(), statements).reset();
    std::vector<std::string> paths = {m_folder.Path("a.mdb"), m_folder.Path("b.mdb")};
    std::vector<std::map<long, std::string>> rows = {ReadRows(paths[0], Password()),
                                                     ReadRows(paths[1], Password())};
    std::vector<int> compacted(2, 0);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < paths.size(); ++index) {
        threads.emplace_back([&, index] {
            auto utilities = MakeUtilities(m_build);
            for (int round = 0; round < 5; ++round) {
                std::string temp = m_folder.Path();
                compacted[index] += utilities->CompactDatabase(paths[index], temp, Password());
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(compacted, (std::vector<int>{5, 5}));
    EXPECT_EQ(ReadRows(paths[0], Password()), rows[0]);
    EXPECT_EQ(ReadRows(paths[1], Password()), rows[1]);
}

// Writers keep their connections open across the compactions; each writes rows of its own.
TEST_P(CompactDatabaseTest, EveryWriteThatSucceededDuringCompactionsIsKept) {
    std::string path = MakeShrinkable();
    constexpr int kWriters = 2;
    constexpr int kWrites = 60;
    std::vector<std::map<long, std::string>> written(kWriters);
    std::vector<std::thread> writers;
    std::latch opened(kWriters);  // the writers' connections are open before the compactions
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back([&, writer] {
            data_access::Connection connection;
            connection.Open(data_access::EmbeddedConnectionText(path, Password()));
            opened.count_down();
            for (int write = 0; write < kWrites; ++write) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));  // as a user types
                long id = 3 * (1 + writer + kWriters * (write % 20));
                std::string value = fmt::format("writer {} write {}", writer, write);
                try {
                    connection.Execute(
                        fmt::format("UPDATE t SET payload = '{}' WHERE id = {}", value, id));
                    written[writer][id] = value;
                } catch (const std::exception&) {
                    // a write refused while the file was busy is reported, not lost
                }
            }
        });
    }
    opened.wait();
    auto utilities = MakeUtilities(m_build);
    int compacted = 0;
    for (int round = 0; round < 3; ++round) {
        std::string temp = m_folder.Path();
        compacted += utilities->CompactDatabase(path, temp, Password());
    }
    for (std::thread& thread : writers) {
        thread.join();
    }
    // A compaction that found no moment free of writers says so and leaves the file alone.
    for (const RecordedMessageBox& box : m_ui.MessageBoxes()) {
        EXPECT_NE(box.text.find("database is locked"), std::string::npos) << box.text;
    }
    EXPECT_GT(compacted, 0);
    auto rows = ReadRows(path, Password());
    for (const auto& writes : written) {
        EXPECT_FALSE(writes.empty());
        for (const auto& [id, value] : writes) {
            EXPECT_EQ(rows[id], value) << id;
        }
    }
}

TEST_P(CompactDatabaseTest, MissingFileIsFalseWithoutAMessage) {
    std::string temp = m_folder.Path();
    EXPECT_FALSE(Compact(m_folder.Path("none.mdb"), temp));
    EXPECT_EQ(temp, m_folder.Path() + "/");
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_EQ(TempFilesIn(temp), 0);
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
        EXPECT_EQ(TempFilesIn(temp), 0);
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
    EXPECT_EQ(TempFilesIn(temp), 0);
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

// Written back or renamed over the file, a compaction that fails leaves it whole.
TEST_P(CompactDatabaseTest, AFailureAtEachStepLeavesAWholeDatabase) {
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, Password());
    for (bool byRename : {false, true}) {
        m_utilities.CompactByRename = byRename;
        for (int failing = 1; failing <= detail::kCompactionStepCount; ++failing) {
            SCOPED_TRACE(fmt::format("step {}, by rename: {}", failing, byRename));
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
    }
    detail::SetCompactionFaultHook({});
    std::string temp = m_folder.Path();
    EXPECT_TRUE(Compact(path, temp));  // leftovers do not matter
}

TEST_P(CompactDatabaseTest, ACrashAtEachStepLeavesAWholeDatabase) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, Password());
    for (int crashing = 1; crashing <= 2 * detail::kCompactionStepCount; ++crashing) {
        // The second round renames the copy over the file.
        m_utilities.CompactByRename = crashing > detail::kCompactionStepCount;
        const int step = (crashing - 1) % detail::kCompactionStepCount + 1;
        SCOPED_TRACE(fmt::format("step {}, by rename: {}", step, m_utilities.CompactByRename));
        EXPECT_EXIT(
            {
                detail::SetCompactionFaultHook([step](CompactionStep reached) {
                    if (static_cast<int>(reached) == step) {
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
    std::string temp = m_folder.Path();
    EXPECT_TRUE(Compact(path, temp));
    EXPECT_EQ(TempFilesIn(temp), 0);  // the killed runs' files are gone
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
    EXPECT_EQ(TempFilesIn(temp), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 1);
    fs::remove_all(temp);
}

// By rename the compacted copy becomes the file: a new inode with the old one's mode, the same
// database inside, nothing left beside it.
TEST_P(CompactDatabaseTest, ByRenameTheCheckedCopyTakesTheFilesPlaceAndMode) {
    std::string path = MakeShrinkable();
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    auto before = data_access::ReadContents(path, Password());
    auto sizeBefore = fs::file_size(path);
    struct stat original {};
    ::stat(path.c_str(), &original);
    m_utilities.CompactByRename = true;
    std::string temp = m_folder.Path();
    ASSERT_TRUE(Compact(path, temp)) << m_ui.MessageBoxes().at(0).text;
    struct stat compacted {};
    ::stat(path.c_str(), &compacted);
    EXPECT_NE(compacted.st_ino, original.st_ino);
    EXPECT_EQ(compacted.st_mode & 07777, 0640u);
    EXPECT_LT(fs::file_size(path) * 2, sizeBefore);
    EXPECT_EQ(data_access::ReadContents(path, Password()), before);
    EXPECT_TRUE(data_access::CheckIntegrity(path, Password()).empty());
    EXPECT_EQ(TempFilesIn(temp), 0);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

// A connection opened before the rename keeps the old file: the engine refuses its writes
// with an error instead of letting them go to a file nobody opens again.
TEST_P(CompactDatabaseTest, ByRenameAnOpenConnectionsWritesAreRefusedNotLost) {
    std::string path = MakeShrinkable();
    data_access::Connection writer;
    writer.Open(data_access::EmbeddedConnectionText(path, Password()));
    m_utilities.CompactByRename = true;
    std::string temp = m_folder.Path();
    ASSERT_TRUE(Compact(path, temp));
    EXPECT_THROW(writer.Execute("UPDATE t SET payload = 'late' WHERE id = 3"), std::exception);
    writer.Close();
    writer.Open(data_access::EmbeddedConnectionText(path, Password()));
    writer.Execute("UPDATE t SET payload = 'after' WHERE id = 3");
    writer.Close();
    EXPECT_EQ(ReadRows(path, Password())[3], "after");
}

// A link is never replaced by a file, and a file with a second name keeps both: such files
// are written back, as by default.
TEST_P(CompactDatabaseTest, ByRenameLinksAndSecondNamesAreWrittenBack) {
    std::string path = MakeShrinkable();
    auto rows = ReadRows(path, Password());
    const std::string link = m_folder.Path("link.mdb");
    const std::string second = m_folder.Path("second.mdb");
    fs::create_symlink(path, link);
    m_utilities.CompactByRename = true;
    std::string temp = m_folder.Path();
    ASSERT_TRUE(Compact(link, temp));
    EXPECT_TRUE(fs::is_symlink(link));
    fs::create_hard_link(path, second);
    ASSERT_TRUE(Compact(second, temp));
    EXPECT_TRUE(fs::equivalent(path, second));
    EXPECT_EQ(ReadRows(path, Password()), rows);
    EXPECT_EQ(ReadRows(second, Password()), rows);
}

}  // namespace
}  // namespace vesk::database_utilities::testing
