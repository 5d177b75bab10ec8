#include <gtest/gtest.h>

#include "utilities_fixture.h"
#include "vesk/data_access/recordset.h"

namespace vesk::database_utilities::testing {
namespace {

using data_access::Bytes;
using data_access::Variant;

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t index = 0; index < size; ++index) {
        bytes[index] = static_cast<std::uint8_t>(index % 251);
    }
    return bytes;
}

// A source row holding a value of a given size and a destination table to copy it into.
class CopyLargeFieldTest : public BuildTest {
protected:
    CopyLargeFieldTest()
        : m_connection(MakeDatabase(
              "large.mdb", "",
              {"CREATE TABLE Source (Data IMAGE)", "CREATE TABLE Dest (Other IMAGE)"})) {}

    // Copies the Data field of `source`'s current row through CopyLargeField into a new
    // destination row; returns what arrived.
    Variant CopyInto(data_access::Recordset& source) {
        data_access::Recordset dest;
        dest.Open("SELECT * FROM Dest", m_connection, data_access::adOpenKeyset,
                  data_access::adLockOptimistic);
        dest.AddNew();
        data_access::Field from = source.Fields()["Data"];
        data_access::Field to = dest.Fields()["Other"];
        EXPECT_TRUE(m_utilities.CopyLargeField(from, to, dest).IsEmpty());
        dest.Update();
        return to.Value();
    }

    // Stores `value` as the only source row and copies it.
    Variant CopyThrough(const Variant& value) {
        m_connection->Execute("DELETE FROM Source");
        m_connection->Execute("DELETE FROM Dest");
        data_access::Recordset source;
        source.Open("SELECT * FROM Source", m_connection, data_access::adOpenKeyset,
                    data_access::adLockOptimistic);
        source.AddNew();
        source.Fields()["Data"].SetValue(value);
        source.Update();
        source.MoveFirst();
        return CopyInto(source);
    }

    data_access::ConnectionPtr m_connection;
};

INSTANTIATE_TEST_SUITE_P(Builds, CopyLargeFieldTest, kBothBuilds, BuildName);

TEST_P(CopyLargeFieldTest, ValuesArriveWholeOnBothSidesOfThePieceSize) {
    for (std::size_t size : {16383U, 32768U, 40000U, 16385U}) {
        SCOPED_TRACE(size);
        Bytes bytes = Pattern(size);
        EXPECT_EQ(CopyThrough(Variant(bytes)), Variant(bytes));
    }
}

TEST_P(CopyLargeFieldTest, EmptyValueGivesAnEmptyValue) {
    EXPECT_EQ(CopyThrough(Variant(Bytes{})).ToBytes(), Bytes{});
}

TEST_P(CopyLargeFieldTest, UnreadableSizeAppendsNothingAndReportsNothing) {
    data_access::Recordset source;
    source.Open("SELECT * FROM Source", m_connection, data_access::adOpenKeyset,
                data_access::adLockOptimistic);
    ASSERT_TRUE(source.IsEOF());  // no current row: the size cannot be read
    EXPECT_TRUE(CopyInto(source).IsNull());
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

}  // namespace
}  // namespace vesk::database_utilities::testing
