#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

constexpr std::int64_t kPiece = 16384;

Bytes Pattern(std::int64_t offset, std::int64_t size) {
    Bytes bytes(static_cast<std::size_t>(size));
    for (std::int64_t index = 0; index < size; ++index) {
        std::int64_t at = offset + index;
        bytes[static_cast<std::size_t>(index)] =
            static_cast<std::uint8_t>((at * 31 + at / 251) & 0xFF);
    }
    return bytes;
}

// Resident memory now and at its peak, in kilobytes.
long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class FieldChunkTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFailure()) {
            return;
        }
        m_connection = CreateDatabase("chunks.mdb", "pw");
        m_connection->Execute("CREATE TABLE Photos (PhotoCode varchar(20), Photo " + BinaryType() +
                              ", Notes TEXT)");
    }

    // Adds a row whose Photo is `size` pattern bytes appended in 16384-byte pieces.
    void AddPhoto(const std::string& code, std::int64_t size) {
        auto rows = OpenRows(m_connection, "SELECT * FROM Photos");
        rows->AddNew();
        rows->Fields()["PhotoCode"].SetValue(code);
        for (std::int64_t offset = 0; offset < size; offset += kPiece) {
            rows->Fields()["Photo"].AppendChunk(Pattern(offset, std::min(kPiece, size - offset)));
        }
        rows->Update();
    }

    // Reads the Photo of `code` the way the photo store does: the remainder first, then the
    // full pieces; checks every byte against the pattern.
    void ExpectPhoto(const std::string& code, std::int64_t size) {
        auto rows = OpenRows(m_connection, "SELECT * FROM Photos WHERE PhotoCode = '" + code + "'");
        Field photo = rows->Fields()["Photo"];
        ASSERT_EQ(photo.ActualSize(), size);
        std::int64_t rest = size % kPiece;
        std::int64_t offset = 0;
        if (rest > 0) {
            Bytes piece = photo.GetChunk(rest).ToBytes();
            ASSERT_EQ(piece, Pattern(0, rest));
            offset = rest;
        }
        for (; offset < size; offset += kPiece) {
            Variant piece = photo.GetChunk(kPiece);
            ASSERT_EQ(piece.Type(), VariantType::Binary);
            ASSERT_EQ(*piece.AsBytes(), Pattern(offset, kPiece)) << "at offset " << offset;
        }
        EXPECT_TRUE(photo.GetChunk(kPiece).IsNull()) << "reading past the end gives Null";
    }

    ConnectionPtr m_connection;
};

TEST_P(FieldChunkTest, ValuesAroundThePieceSizeRoundTrip) {
    for (std::int64_t size : {0, 1, 16383, 16384, 16385, 40000, 200000}) {
        std::string code = "S" + std::to_string(size);
        AddPhoto(code, size);
        ExpectPhoto(code, size);
    }
}

TEST_P(FieldChunkTest, ValueReadWholeMatchesPieces) {
    AddPhoto("A", 100000);
    auto rows = OpenRows(m_connection, "SELECT * FROM Photos");
    EXPECT_EQ(rows->Fields()["Photo"].Value(), Variant(Pattern(0, 100000)));
}

TEST_P(FieldChunkTest, NullValueHasNoSizeAndNoChunk) {
    m_connection->Execute("INSERT INTO Photos (PhotoCode) VALUES ('N')");
    auto rows = OpenRows(m_connection, "SELECT * FROM Photos");
    EXPECT_EQ(rows->Fields()["Photo"].ActualSize(), 0);
    EXPECT_TRUE(rows->Fields()["Photo"].GetChunk(kPiece).IsNull());
    EXPECT_TRUE(rows->Fields()["Photo"].Value().IsNull());
    EXPECT_THROW(rows->Fields()["Photo"].GetChunk(-1), DataAccessError);
}

TEST_P(FieldChunkTest, ChunkReadingStartsOverOnEachVisit) {
    AddPhoto("A", 40000);
    AddPhoto("B", 20000);
    auto rows = OpenRows(m_connection, "SELECT * FROM Photos");
    rows->Fields()["Photo"].GetChunk(100);
    rows->MoveNext();
    EXPECT_EQ(rows->Fields()["Photo"].GetChunk(10).ToBytes(), Pattern(0, 10));
    rows->MovePrevious();
    EXPECT_EQ(rows->Fields()["Photo"].GetChunk(10).ToBytes(), Pattern(0, 10));
}

TEST_P(FieldChunkTest, AppendReplacesTheStoredValueOfAnExistingRow) {
    AddPhoto("A", 40000);
    auto rows = OpenRows(m_connection, "SELECT * FROM Photos");
    rows->Fields()["Photo"].AppendChunk(Pattern(0, 10));
    rows->Fields()["Photo"].AppendChunk(Pattern(10, 5));
    EXPECT_EQ(rows->Fields()["Photo"].ActualSize(), 15);
    rows->Update();
    ExpectPhoto("A", 15);
}

TEST_P(FieldChunkTest, TextAppendsToMemoAndReadsBackAsText) {
    auto rows = OpenRows(m_connection, "SELECT * FROM Photos");
    rows->AddNew();
    rows->Fields()["Notes"].AppendChunk("first ");
    rows->Fields()["Notes"].AppendChunk("second");
    rows->Update();
    EXPECT_EQ(rows->Fields()["Notes"].Value(), Variant("first second"));
    EXPECT_EQ(rows->Fields()["Notes"].GetChunk(5), Variant("first"));
    EXPECT_EQ(rows->Fields()["Notes"].GetChunk(100), Variant(" second"));
}

TEST_P(FieldChunkTest, AppendOfANumberIsRefused) {
    auto rows = OpenRows(m_connection, "SELECT * FROM Photos");
    rows->AddNew();
    EXPECT_THROW(rows->Fields()["Photo"].AppendChunk(Variant(5)), DataAccessError);
}

TEST_P(FieldChunkTest, FiftyMegabytesMoveThroughLittleMemory) {
    constexpr std::int64_t kSize = 50LL * 1024 * 1024;
    long before = ResidentKb();
    AddPhoto("BIG", kSize);
    ExpectPhoto("BIG", kSize);
    long grownKb = PeakResidentKb() - before;
    EXPECT_LT(grownKb, 20 * 1024) << "peak memory grew by " << grownKb << " KB for a 50 MB value";
}

VESK_ON_EACH_ENGINE(FieldChunkTest);

}  // namespace
}  // namespace vesk::data_access::testing
