// Both builds of the database utilities driven by a late-binding host on real database files.
#include <gtest/gtest.h>

#include <filesystem>

#include "hosting_fixture.h"
#include "vesk/component_hosting/com_error.h"

namespace vesk::component_hosting::testing {
namespace {

struct Build {
    const char* programId;
    bool legacy;

    friend void PrintTo(const Build& build, std::ostream* out) { *out << build.programId; }
};

class UtilitiesBinding : public HostingTest, public ::testing::WithParamInterface<Build> {
protected:
    void SetUp() override {
        HostingTest::SetUp();
        m_utilities = CreateObject(GetParam().programId);
        m_events = m_utilities.Advise(m_recorder.Handler());
    }

    LateBoundObject m_utilities;
    EventRecorder m_recorder;
    EventConnection m_events;
};

TEST_P(UtilitiesBinding, ProgressUpsizeSinkMovesTheCopyToAnotherTable) {
    const std::vector<std::string> tables = {
        "CREATE TABLE A_Table (Code Text (10), Name Text (20))",
        "CREATE TABLE B_Table (Code Text (10), Name Text (20))",
        "CREATE TABLE C_Table (Code Text (10), Name Text (20))"};
    std::vector<std::string> source = tables;
    for (const char* table : {"A_Table", "B_Table", "C_Table"}) {
        source.push_back(std::string("INSERT INTO ") + table + " VALUES ('" + table + "', 'x')");
    }
    const std::string from = MakeDatabase("source.mdb", "s", source);
    const std::string to = MakeDatabase("destination.mdb", "d", tables);
    m_recorder.answer = [](const std::string& event, const ArgumentList& arguments) {
        if (event == "ProgressUpsize" && arguments.Get(3).ToInt32() == 0) {
            arguments.Set(3, Variant(std::int16_t{2}).Raw());  // on to the last table
        }
    };

    m_utilities.Call("CopyDataFromDBtoDB", {from, to});

    const auto upsized = m_recorder.Named("ProgressUpsize");
    ASSERT_EQ(upsized.size(), 2u) << ::testing::PrintToString(m_recorder.events);
    EXPECT_TRUE(upsized[0].starts_with("ProgressUpsize(A_Table,3,")) << upsized[0];
    EXPECT_EQ(Count(to, "SELECT count(*) FROM A_Table"), 0);
    EXPECT_EQ(Count(to, "SELECT count(*) FROM B_Table"), 0);
    EXPECT_EQ(Count(to, "SELECT count(*) FROM C_Table"), 1);
}

TEST_P(UtilitiesBinding, CompactDatabaseWritesTheTemporaryFolderBack) {
    const std::string password = GetParam().legacy ? "" : "k";
    MakeDatabase("payroll.mdb", password, {"CREATE TABLE T (Code Text (10))"});
    Variant folder(m_folder.Path());
    std::vector<Variant> arguments = {m_folder.Path("payroll.mdb"), Variant::Ref(folder)};
    if (!GetParam().legacy) {
        arguments.push_back(password);
    }
    EXPECT_TRUE(m_utilities.Call("CompactDatabase", arguments).ToBool());
    EXPECT_EQ(folder.ToText(), m_folder.Path() + "/");
    if (GetParam().legacy) {
        arguments.push_back("k");
        try {
            m_utilities.Call("CompactDatabase", arguments);
            FAIL() << "the legacy build took a password";
        } catch (const ComError& error) {
            EXPECT_EQ(error.Code(), DISP_E_BADPARAMCOUNT);
        }
    }
}

TEST_P(UtilitiesBinding, CreatesAndRepairsDatabasesReportingThroughEvents) {
    const std::string templateText =
        MakeDatabase("template.mdb", "t", {"CREATE TABLE Staff (Code Text (10), Name Text (40))"});
    m_utilities.Put("TemplatePWD", "t");
    m_utilities.Put("TemplateFilePath", m_folder.Path("template.mdb"));
    EXPECT_TRUE(m_utilities.Call("CreateDatabase", {m_folder.Path("new.mdb")}).ToBool());
    EXPECT_EQ(m_recorder.events, std::vector<std::string>{"DatabaseCreated()"});

    m_utilities.PutRef("MainFileConnection",
                       "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + m_folder.Path("new.mdb") +
                           ";Jet OLEDB:Database Password=t");
    m_utilities.Call("FixFields");
    ASSERT_EQ(m_recorder.Named("ProcessDone").size(), 1u);
    EXPECT_TRUE(
        m_recorder.Named("ProcessDone")[0].starts_with("ProcessDone(1,"));  // one table made
    EXPECT_FALSE(m_recorder.Named("Progress").empty());
    LateBoundObject main(m_utilities.Get("MainFileConnection"));
    LateBoundObject rows(main.Call("OpenRecordset", {"SELECT * FROM Staff"}));
    EXPECT_EQ(rows.Get("RecordCount").ToInt32(), 0);
    EXPECT_TRUE(rows.Get("EOF").ToBool());
}

TEST_P(UtilitiesBinding, CopiesALargeFieldBetweenFieldObjects) {
    const std::string text = MakeDatabase("blobs.mdb", "b",
                                          {"CREATE TABLE Blobs (Code Text (10), Data LONGBINARY)",
                                           "INSERT INTO Blobs VALUES ('a', randomblob(40000))"});
    m_utilities.PutRef("MainFileConnection", text);
    LateBoundObject connection(m_utilities.Get("MainFileConnection"));
    LateBoundObject source(connection.Call("OpenRecordset", {"SELECT * FROM Blobs"}));
    LateBoundObject target(connection.Call("OpenRecordset", {"SELECT * FROM Blobs WHERE 1=0"}));
    target.Call("AddNew");
    LateBoundObject(target.Call("Fields", {"Code"})).Put("Value", "b");
    const Variant copied =
        m_utilities.Call("CopyLargeField", {source.Call("Fields", {std::int32_t{1}}),
                                            target.Call("Fields", {"Data"}), source.Dispatch()});
    target.Call("Update");
    EXPECT_TRUE(copied.IsEmpty());
    EXPECT_EQ(Count(text,
                    "SELECT count(*) FROM Blobs x, Blobs y WHERE x.Code='a' AND y.Code='b' AND "
                    "x.Data = y.Data AND length(y.Data) = 40000"),
              1);
}

TEST_P(UtilitiesBinding, TakesAnotherLibrarysConnectionByItsText) {
    const std::string text = MakeDatabase("main.mdb", "m", {"CREATE TABLE T (Code Text (10))"});
    LateBoundObject photos = CreateObject(kPhotoClass);
    photos.Put("TableName", "T");
    photos.Put("OwnerIDField", "Code");
    photos.Put("OwnerGroupField", "Code");
    photos.Call("Init", {"x", "x", Variant::Missing(), Variant::Missing(), text});
    m_utilities.PutRef("MainFileConnection", photos.Get("DBConnection"));
    LateBoundObject connection(m_utilities.Get("MainFileConnection"));
    EXPECT_EQ(connection.Get("ConnectionString").ToText(), text);
    EXPECT_EQ(connection.Get("State").ToInt32(), 1);
}

std::string BuildName(const ::testing::TestParamInfo<Build>& build) {
    return build.param.legacy ? "Legacy" : "Current";
}

INSTANTIATE_TEST_SUITE_P(Builds, UtilitiesBinding,
                         ::testing::Values(Build{kPayClass, false}, Build{kLegacyClass, true}),
                         BuildName);

}  // namespace
}  // namespace vesk::component_hosting::testing
