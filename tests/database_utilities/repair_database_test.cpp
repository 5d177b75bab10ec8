#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "compaction_test_data.h"
#include "utilities_fixture.h"
#include "vesk/data_access/database_file.h"

namespace vesk::database_utilities::testing {
namespace {

namespace fs = std::filesystem;

constexpr long kRows = 2000;

class RepairDatabaseTest : public BuildTest {
protected:
    // A plain database `name` with `rows` rows.
    std::string MakePlain(const std::string& name = "plain.mdb", long rows = kRows) {
        MakeDatabase(name, "", RowStatements(rows)).reset();
        return m_folder.Path(name);
    }

    // Writes three runs of 200 random bytes (from `seed`) past the first page of `path`.
    void SprayDamage(const std::string& path, unsigned seed) {
        std::mt19937 random(seed);
        auto size = static_cast<long>(fs::file_size(path));
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        for (int run = 0; run < 3; ++run) {
            file.seekp(std::uniform_int_distribution<long>(4096, size - 200)(random));
            for (int byte = 0; byte < 200; ++byte) {
                file.put(static_cast<char>(random()));
            }
        }
    }

    // The rows of t that a lookup by id (1 to `rows`) still reads in the file `path`; none
    // when the file does not open.
    std::map<long, std::string> RowsReadByLookups(const std::string& path, long rows) {
        auto connection = std::make_shared<data_access::Connection>();
        std::map<long, std::string> found;
        try {
            connection->Open(data_access::EmbeddedConnectionText(path));
        } catch (const std::exception&) {
            return found;
        }
        for (long id = 1; id <= rows; ++id) {
            try {
                data_access::Recordset row;
                row.Open(fmt::format("SELECT payload FROM t WHERE id = {}", id), connection);
                if (!row.IsEOF()) {
                    found[id] = row.Fields()["payload"].Value().ToText();
                }
            } catch (const std::exception&) {
                // unreadable by a lookup too
            }
        }
        return found;
    }

    // Repairs `path` and expects every row a lookup read before in the result, counted.
    void ExpectRepairKeepsWhatLookupsRead(const std::string& path, long rows) {
        auto readable = RowsReadByLookups(path, rows);
        ASSERT_TRUE(m_utilities.RepairDatabase(path)) << m_ui.MessageBoxes().back().text;
        auto kept = ReadRows(path, "");
        ASSERT_EQ(m_utilities.RepairReport().size(), 1u);
        const data_access::TableSalvageReport& report = m_utilities.RepairReport()[0];
        EXPECT_EQ(report.table, "t");
        EXPECT_EQ(report.rowsKept, static_cast<std::int64_t>(kept.size()));
        EXPECT_LE(report.rowsKept + report.RowsLost(), rows);
        for (const auto& [id, payload] : readable) {
            EXPECT_EQ(kept[id], payload) << id;
        }
        EXPECT_TRUE(data_access::CheckIntegrity(path, "").empty());
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
    ASSERT_FALSE(data_access::CheckIntegrity(path, "").empty());
    std::string damaged = FileBytes(path);

    EXPECT_TRUE(m_utilities.RepairDatabase(path));
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_EQ(FileBytes(path + ".damaged"), damaged);
    EXPECT_TRUE(data_access::CheckIntegrity(path, "").empty());
    auto contents = data_access::ReadContents(path, "");
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

TEST_P(RepairDatabaseTest, DamageAtThreePlacesKeepsEveryRowALookupReads) {
    constexpr long kManyRows = 5000;
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::string path = MakePlain(fmt::format("sprayed {}; 'ü'.mdb", seed), kManyRows);
        SprayDamage(path, seed);
        ExpectRepairKeepsWhatLookupsRead(path, kManyRows);
    }
}

TEST_P(RepairDatabaseTest, AFileCutInHalfKeepsTheRowsOfItsReadablePages) {
    std::string path = MakePlain();
    fs::resize_file(path, fs::file_size(path) / 2);
    ExpectRepairKeepsWhatLookupsRead(path, kRows);
    EXPECT_GT(ReadRows(path, "").size(), static_cast<size_t>(kRows / 3));
}

TEST_P(RepairDatabaseTest, AWipedHeaderIsReportedAsDamage) {
    std::string path = MakePlain();
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
        .write(std::string(100, '\0').data(), 100);
    EXPECT_FALSE(m_utilities.RepairDatabase(path));
    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_NE(m_ui.MessageBoxes()[0].text.find("is damaged"), std::string::npos)
        << m_ui.MessageBoxes()[0].text;
    EXPECT_EQ(m_ui.MessageBoxes()[0].text.find("password"), std::string::npos);
}

// A 0600 file stays 0600; only a leftover of the repair's own pattern, a regular file, goes,
// and the damaged file is kept beside an earlier one.
TEST_P(RepairDatabaseTest, RepairAndCompactionKeepTheModeAndRemoveOnlyTheirOwnLeftovers) {
    std::string path = MakePlain();
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    std::string temp;
    ASSERT_TRUE(Compact(path, temp, ""));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    std::string leftover = m_folder.Write("plain.mdb.repairing-Ab12Cd", "left by a killed run");
    const std::vector<std::string> foreign = {m_folder.Write("plain.mdb.repairing", "not ours"),
                                              m_folder.Write("plain.mdb.repairing-Ab12Cde", "x")};
    fs::create_symlink(foreign[0], path + ".repairing-link00");
    m_folder.Write("plain.mdb.damaged", "kept by an earlier repair");
    DamageRow(path, kRows / 2);
    std::string damaged = FileBytes(path);

    ASSERT_TRUE(m_utilities.RepairDatabase(path));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(leftover));
    for (const std::string& file : foreign) {
        EXPECT_TRUE(fs::exists(file)) << file;
    }
    EXPECT_TRUE(fs::is_symlink(path + ".repairing-link00"));
    EXPECT_EQ(FileBytes(path + ".damaged"), "kept by an earlier repair");
    EXPECT_EQ(FileBytes(path + ".damaged.1"), damaged);
}

TEST_P(RepairDatabaseTest, AMissingFileIsReported) {
    EXPECT_FALSE(m_utilities.RepairDatabase(m_folder.Path("none.mdb")));
    RecordedMessageBox expected{"Database file not found to repair", 48, "File Not Found"};
    EXPECT_EQ(m_ui.MessageBoxes(), std::vector<RecordedMessageBox>{expected});
}

}  // namespace
}  // namespace vesk::database_utilities::testing
