#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "compaction_test_data.h"
#include "utilities_fixture.h"
#include "vesk/data_access/database_file.h"

namespace vesk::dbutil::testing {
namespace {

namespace fs = std::filesystem;

constexpr long kRows = 2000;

class RepairDatabaseTest : public BuildTest {
protected:
    // A plain database `plain.mdb` with kRows rows.
    std::string MakePlain() {
        MakeDatabase("plain.mdb", "", RowStatements(kRows)).reset();
        return m_folder.Path("plain.mdb");
    }

    // Overwrites, with bytes no page can start with, each 4096-byte block holding the row
    // `id` (in the table and in the index).
    void DamageRow(const std::string& path, long id) {
        constexpr long kBlock = 4096;  // a page, or several smaller ones
        std::string bytes = FileBytes(path);
        std::string marker = PayloadOf(id);
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        for (auto at = bytes.find(marker); at != std::string::npos;
             at = bytes.find(marker, at + 1)) {
            file.seekp(static_cast<long>(at) / kBlock * kBlock);
            file.write(std::string(kBlock, '\xff').data(), kBlock);
        }
    }
};

INSTANTIATE_TEST_SUITE_P(Builds, RepairDatabaseTest, kBothBuilds, BuildName);

TEST_P(RepairDatabaseTest, ASoundFileIsLeftAsItIs) {
    std::string path = MakePlain();
    std::string bytes = FileBytes(path);
    EXPECT_TRUE(m_utilities.RepairDatabase(path));
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_FALSE(fs::exists(path + ".damaged"));
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_P(RepairDatabaseTest, ADamagedPageLosesOnlyItsOwnRowsAndTheOriginalIsKept) {
    std::string path = MakePlain();
    DamageRow(path, kRows / 2);
    ASSERT_FALSE(data::CheckIntegrity(path, "").empty());
    std::string damaged = FileBytes(path);

    EXPECT_TRUE(m_utilities.RepairDatabase(path));
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_EQ(FileBytes(path + ".damaged"), damaged);
    EXPECT_TRUE(data::CheckIntegrity(path, "").empty());
    auto contents = data::ReadContents(path, "");
    EXPECT_EQ(contents.schema.count("index t_payload"), 1u);
    EXPECT_EQ(contents.userVersion, 7);

    auto rows = ReadRows(path, "");
    for (const auto& [id, payload] : rows) {
        EXPECT_EQ(payload, PayloadOf(id));
    }
    // The damaged row is lost, with at most a block's worth of rows (of about 100 bytes).
    EXPECT_EQ(rows.count(kRows / 2), 0u);
    EXPECT_GT(rows.size(), static_cast<size_t>(kRows - 4096 / 100));
    EXPECT_EQ(rows.rbegin()->first, kRows);
    EXPECT_EQ(rows.begin()->first, 1);
}

TEST_P(RepairDatabaseTest, AnUnreadableFileFailsWithTheEngineText) {
    std::string path = m_folder.Write("junk.mdb", std::string(8192, 'x'));
    std::string keyed = m_folder.Path("keyed.mdb");
    MakeDatabase("keyed.mdb", "pw", RowStatements(3)).reset();
    std::string keyedBytes = FileBytes(keyed);
    EXPECT_FALSE(m_utilities.RepairDatabase(path));
    EXPECT_FALSE(m_utilities.RepairDatabase(keyed));  // no password is passed to the repair
    EXPECT_EQ(FileBytes(keyed), keyedBytes);
    ASSERT_EQ(m_ui.MessageBoxes().size(), 2u);
    for (const RecordedMessageBox& box : m_ui.MessageBoxes()) {
        EXPECT_NE(box.text.find("file is encrypted or is not a database"), std::string::npos)
            << box.text;
        EXPECT_EQ(box.flags, 48);
        EXPECT_EQ(box.title, "Error Repairing Database");
    }
}

TEST_P(RepairDatabaseTest, AMissingFileIsReported) {
    EXPECT_FALSE(m_utilities.RepairDatabase(m_folder.Path("none.mdb")));
    RecordedMessageBox expected{"Database file not found to repair", 48, "File Not Found"};
    EXPECT_EQ(m_ui.MessageBoxes(), std::vector<RecordedMessageBox>{expected});
}

}  // namespace
}  // namespace vesk::dbutil::testing
