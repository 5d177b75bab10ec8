#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <filesystem>
#include <memory>
#include <sstream>

#include <fmt/format.h>

#include "connection_option.h"
#include "engine_param.h"
#include "host_test.h"
#include "scratch_folder.h"
#include "server_cluster.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/letter_case.h"
#include "vesk/data_access/recordset.h"
#include "vesk/picture/picture.h"

namespace vesk::host {
namespace {

class PhotoCommandsTest : public HostTest {
protected:
    void SetUp() override {
        m_database = m_folder.Path("pay.mdb");
        data_access::Catalog catalog;
        catalog.Create(data_access::EmbeddedConnectionText(m_database, "pw"));
        MakePhotoTable();
    }

    // Runs create-table on m_database and writes the test images.
    void MakePhotoTable() {
        ASSERT_EQ(Photo({"create-table"}), kSuccess) << m_err.str();
        m_small = WriteImage("small.png", 20, 10);    // 54 + 10 rows of 60 bytes: 0.64 KB
        m_large = WriteImage("large.png", 200, 200);  // 54 + 200 rows of 600 bytes: 117.24 KB
    }

    std::string WriteImage(const std::string& name, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(10, 120, 200));
        std::string path = m_folder.Path(name);
        image.save(QString::fromStdString(path));
        return path;
    }

    // Runs `vesk photo SUBCOMMAND ...` on the test database, with `extra` options first.
    int Photo(std::vector<std::string> arguments, std::vector<std::string> extra = {}) {
        std::vector<std::string> full = {"photo",    arguments[0], "--db",
                                         m_database, "--password", "pw"};
        full.insert(full.end(), extra.begin(), extra.end());
        full.insert(full.end(), arguments.begin() + 1, arguments.end());
        return Run(full);
    }

    int Add(const std::string& code, const std::string& description, const std::string& image,
            std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {"add", "--group",       "EMP",       "--code",
                                              code,  "--description", description, image};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return Photo(arguments);
    }

    std::string m_database;
    std::string m_small;
    std::string m_large;
};

// The commands on each engine: on the server, m_database is the connection text of a scratch
// database (the password the commands pass is then not needed).
class EnginePhotoCommandsTest : public PhotoCommandsTest,
                                public ::testing::WithParamInterface<data_access::testing::Engine> {
protected:
    void SetUp() override {
        if (GetParam() == data_access::testing::Engine::Embedded) {
            PhotoCommandsTest::SetUp();
            return;
        }
        auto cluster = data_access::testing::RequireServerCluster();
        if (!cluster) {
            return;
        }
        m_server = std::make_unique<data_access::testing::ScratchServerDatabase>(*cluster);
        m_database = m_server->ConnectionText();
        MakePhotoTable();
    }

    std::unique_ptr<data_access::testing::ScratchServerDatabase> m_server;
};

TEST_P(EnginePhotoCommandsTest, AddListGetAndDeleteInTableStorage) {
    ASSERT_EQ(Add("E1", "Front", m_small, {"--comments", "first day"}), kSuccess) << m_err.str();
    ASSERT_EQ(Add("E1", "Side", m_large, {"--default"}), kSuccess) << m_err.str();
    ASSERT_EQ(Add("E1", "Back", m_small), kSuccess) << m_err.str();
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(),
              "1\tFront\t0\tfirst day\t20x10\n2\tSide\t1\t-\t200x200\n3\tBack\t0\t-\t20x10\n");

    std::string out = m_folder.Path("default.bmp");
    ASSERT_EQ(Photo({"get", "--group", "EMP", "--code", "E1", "--out", out}), kSuccess)
        << m_err.str();
    EXPECT_EQ(picture::Picture::Load(out).WidthPixels(), 200);
    ASSERT_EQ(
        Photo({"get", "--group", "EMP", "--code", "E1", "--description", "back", "--out", out}),
        kSuccess);
    EXPECT_EQ(picture::Picture::Load(out).WidthPixels(), 20);

    ASSERT_EQ(Photo({"delete", "--group", "EMP", "--code", "E1", "--description", "Side"}),
              kSuccess);
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}), kSuccess);
    EXPECT_EQ(m_out.str(), "1\tFront\t0\tfirst day\t20x10\n2\tBack\t0\t-\t20x10\n");
}

TEST_P(EnginePhotoCommandsTest, DefaultTakesTheMarkFromTheOwnersOtherPhotos) {
    ASSERT_EQ(Add("E1", "Front", m_small, {"--default"}), kSuccess);
    ASSERT_EQ(Add("E1", "Side", m_small, {"--default"}), kSuccess);
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}), kSuccess);
    EXPECT_EQ(m_out.str(), "1\tFront\t0\t-\t20x10\n2\tSide\t1\t-\t20x10\n");
}

TEST_F(PhotoCommandsTest, RefusesATakenDescriptionAndATooLargePhoto) {
    ASSERT_EQ(Add("O'Hara", "Front", m_small), kSuccess) << m_err.str();
    EXPECT_EQ(Add("O'Hara", "FRONT", m_small), kFailure);
    EXPECT_NE(m_err.str().find("Descrition exists"), std::string::npos) << m_err.str();
    EXPECT_EQ(Photo({"add", "--group", "EMP", "--code", "E1", "--description", "Big", "--max-kb",
                     "100", m_large}),
              kFailure);
    EXPECT_NE(m_err.str().find("Maximum size allowed: 100 KB"), std::string::npos) << m_err.str();
    EXPECT_NE(m_err.str().find("117.24"), std::string::npos) << m_err.str();
    EXPECT_EQ(Photo({"add", "--group", "EMP", "--code", "E1", "--description", "Small", "--max-kb",
                     "100", m_small}),
              kSuccess);
    EXPECT_EQ(Add("E1", "Broken", m_folder.Write("broken.png", "not a picture")), kFailure);
}

TEST_F(PhotoCommandsTest, SizeLimitsThatAreNoNumberOfKilobytesAreRefused) {
    for (const char* limit : {"-1", "nan", "inf", "12abc", "-0.5"}) {
        EXPECT_EQ(Photo({"add", "--group", "EMP", "--code", "E1", "--description", "Front",
                         "--max-kb", limit, m_small}),
                  kUsage)
            << limit;
    }
    EXPECT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}), kSuccess);
    EXPECT_EQ(m_out.str(), "");
}

TEST_F(PhotoCommandsTest, AFailedAddLeavesTableAndFolderAsTheyWere) {
    std::string folder = m_folder.Path("photos");
    ASSERT_EQ(Photo({"add", "--group", "EMP", "--code", "E1", "--description", "Front", "--default",
                     m_small},
                    {"--files", folder}),
              kSuccess);
    std::string tooLong(300, 'x');  // no file can have this name
    EXPECT_EQ(Photo({"add", "--group", "EMP", "--code", "E1", "--description", tooLong, "--default",
                     m_small},
                    {"--files", folder}),
              kFailure);
    EXPECT_NE(m_err.str().find("could not be written to its file"), std::string::npos)
        << m_err.str();
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}, {"--files", folder}), kSuccess);
    EXPECT_EQ(m_out.str(), "1\tFront\t1\t-\t20x10\n") << "the default keeps its mark";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST_F(PhotoCommandsTest, DescriptionsAreOneWhenEqualUnderTheLetterCaseRule) {
    ASSERT_EQ(Add("E1", "Straße", m_small), kSuccess);
    ASSERT_EQ(Add("E1", "STRASSE", m_large), kSuccess) << "ß is not SS";
    EXPECT_EQ(Add("E1", "STRAẞE", m_small), kFailure);
    EXPECT_NE(m_err.str().find("Descrition exists"), std::string::npos);
    EXPECT_EQ(Add("E1", "ıi", m_small), kSuccess);
    EXPECT_EQ(Add("E1", "Iİ", m_small), kSuccess) << "dotless and dotted i stay apart";

    std::string out = m_folder.Path("found.bmp");
    ASSERT_EQ(
        Photo({"get", "--group", "EMP", "--code", "E1", "--description", "straße", "--out", out}),
        kSuccess)
        << m_err.str();
    EXPECT_EQ(picture::Picture::Load(out).WidthPixels(), 20);
    ASSERT_EQ(
        Photo({"get", "--group", "EMP", "--code", "E1", "--description", "strasse", "--out", out}),
        kSuccess);
    EXPECT_EQ(picture::Picture::Load(out).WidthPixels(), 200);
}

TEST_F(PhotoCommandsTest, MissingPhotosAreFailures) {
    std::string out = m_folder.Path("none.bmp");
    EXPECT_EQ(Photo({"get", "--group", "EMP", "--code", "E9", "--out", out}), kFailure);
    EXPECT_FALSE(std::filesystem::exists(out));
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E9"}), kSuccess);
    EXPECT_EQ(m_out.str(), "") << "reading adds no row for an owner without photos";
    EXPECT_EQ(Photo({"delete", "--group", "EMP", "--code", "E9", "--description", "x"}), kFailure);
    EXPECT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}, {"--table", "Missing"}), kFailure);
}

TEST_F(PhotoCommandsTest, ListPrintsAHeaderAndTheScriptFormats) {
    ASSERT_EQ(Add("E1", "Front, \"left\"", m_small, {"--comments", "a\tb"}), kSuccess);
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1", "--header", "--format", "csv"}),
              kSuccess);
    EXPECT_EQ(m_out.str(),
              "Position,Description,Default,Comments,Picture\r\n"
              "1,\"Front, \"\"left\"\"\",0,a\tb,20x10\r\n");
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1", "--format", "json"}), kSuccess);
    EXPECT_EQ(m_out.str(),
              "[\n{\"Position\": 1, \"Description\": \"Front, \\\"left\\\"\", \"Default\": 0, "
              "\"Comments\": \"a\\u0009b\", \"Picture\": \"20x10\"}\n]\n");
}

TEST_F(PhotoCommandsTest, OutputsAreWrittenInTheirFormWithoutReplacingLinksOrDevices) {
    ASSERT_EQ(Add("E1", "Front", m_small), kSuccess);
    auto get = [&](const std::string& out) {
        return Photo({"get", "--group", "EMP", "--code", "E1", "--out", out});
    };
    for (const char* name : {"front.png", "front.JPG", "front.bmp", "front.ico"}) {
        ASSERT_EQ(get(m_folder.Path(name)), kSuccess) << name << m_err.str();
        QImage written(QString::fromStdString(m_folder.Path(name)));
        EXPECT_EQ(written.size(), QSize(20, 10)) << name;
    }
    QFile png(QString::fromStdString(m_folder.Path("front.png")));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_TRUE(png.read(4).endsWith("PNG")) << "the form the extension names";
    EXPECT_EQ(get(m_folder.Path("front.txt")), kFailure);
    EXPECT_NE(m_err.str().find(".txt names no picture format"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path("front.txt")));

    std::filesystem::create_symlink(m_folder.Path("front.bmp"), m_folder.Path("link.bmp"));
    ASSERT_EQ(get(m_folder.Path("link.bmp")), kSuccess) << m_err.str();
    EXPECT_TRUE(std::filesystem::is_symlink(m_folder.Path("link.bmp"))) << "the link stays";
    std::filesystem::create_symlink(m_folder.Path("gone.bmp"), m_folder.Path("dangling.bmp"));
    EXPECT_EQ(get(m_folder.Path("dangling.bmp")), kFailure);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path("gone.bmp")));

    ASSERT_EQ(get("/dev/null"), kSuccess) << m_err.str();
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    ASSERT_EQ(get("-"), kSuccess);
    EXPECT_TRUE(m_out.str().starts_with("BM")) << "the picture itself on standard output";
    EXPECT_EQ(get(m_folder.Path("")), kFailure) << "a folder";
}

TEST_P(EnginePhotoCommandsTest, FileStorageKeepsPicturesInTheFolder) {
    std::string folder = m_folder.Path("photos");
    ASSERT_EQ(Photo({"add", "--group", "EMP", "--code", "E1", "--description", "Front", m_small},
                    {"--files", folder}),
              kSuccess)
        << m_err.str();
    EXPECT_TRUE(std::filesystem::exists(folder + "/E1_Front_EMP.vpc"));
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}, {"--files", folder}), kSuccess);
    EXPECT_EQ(m_out.str(), "1\tFront\t0\t-\t20x10\n");
    ASSERT_EQ(Photo({"delete", "--group", "EMP", "--code", "E1", "--description", "Front"},
                    {"--files", folder}),
              kSuccess);
    EXPECT_FALSE(std::filesystem::exists(folder + "/E1_Front_EMP.vpc"));
}

TEST_P(EnginePhotoCommandsTest, ConvertMovesEveryPhotoToFilesAndBack) {
    ASSERT_EQ(Add("E1", "Front", m_small), kSuccess);
    ASSERT_EQ(Add("E2", "Front", m_large), kSuccess);
    std::string folder = m_folder.Path("converted");
    ASSERT_EQ(Photo({"convert", "--to", "files"}, {"--files", folder}), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), "Converted 2 rows: 2 pictures moved to files in " + folder +
                               "/, 0 rows left as they were\n");
    EXPECT_TRUE(std::filesystem::exists(folder + "/E2_Front_EMP.vpc"));
    std::filesystem::remove(folder + "/E1_Front_EMP.vpc");
    ASSERT_EQ(Photo({"convert", "--to", "blobs"}, {"--files", folder}), kFailure) << m_err.str();
    EXPECT_NE(m_out.str().find(
                  "Converted 2 rows: 1 photo files stored in the table and removed, 1 rows left"),
              std::string::npos)
        << m_out.str();
    EXPECT_NE(m_out.str().find("row 1: No photo file for this row"), std::string::npos)
        << m_out.str();
    EXPECT_NE(m_err.str().find("1 rows were left as they were"), std::string::npos);
    ASSERT_EQ(Photo({"convert", "--to", "blobs", "--quiet"}, {"--files", folder}), kFailure);
    EXPECT_EQ(m_out.str(), "") << "quiet: no summary";
    EXPECT_NE(m_err.str().find("  row 1: No photo file for this row"), std::string::npos)
        << "a quiet conversion still names the rows it left: " << m_err.str();
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E2"}), kSuccess);
    EXPECT_EQ(m_out.str(), "1\tFront\t0\t-\t200x200\n");
    EXPECT_EQ(Photo({"convert", "--to", "nowhere"}), kUsage);
}

TEST_F(PhotoCommandsTest, ExtractWritesAnOlderTablesPicturesByCode) {
    ASSERT_EQ(Run({"sql", "--db", m_database, "--password", "pw",
                   "CREATE TABLE OldPhotos (PhotoCode Text (20), PhotoGroup Text (20), "
                   "QualifierPhoto IMAGE)"}),
              kSuccess);
    ASSERT_EQ(Run({"sql", "--db", m_database, "--password", "pw",
                   "INSERT INTO OldPhotos VALUES ('E1', 'EMP', x'0102'), ('E2', 'DEP', x'03')"}),
              kSuccess);
    std::string folder = m_folder.Path("old");
    EXPECT_EQ(Photo({"extract", "--from-table", "OldPhotos", "--group", "EMP", "--into", folder}),
              kFailure);
    EXPECT_NE(m_err.str().find("the folder " + folder + " does not exist"), std::string::npos)
        << m_err.str();
    std::filesystem::create_directory(folder);
    ASSERT_EQ(Photo({"extract", "--from-table", "OldPhotos", "--group", "EMP", "--into", folder}),
              kSuccess)
        << m_err.str();
    EXPECT_EQ(std::filesystem::file_size(folder + "/E1"), 2u);
    EXPECT_FALSE(std::filesystem::exists(folder + "/E2"));
}

TEST_F(PhotoCommandsTest, ConversionsNeedAFolderThatIsNotBlank) {
    for (std::vector<std::string> extra : {std::vector<std::string>{}, {"--files", "  "}}) {
        EXPECT_EQ(Photo({"convert", "--to", "files"}, extra), kUsage);
        EXPECT_NE(m_err.str().find("--files FOLDER"), std::string::npos) << m_err.str();
    }
    EXPECT_EQ(Photo({"extract", "--from-table", "Photos", "--group", "EMP", "--into", ""}), kUsage);
}

TEST_F(PhotoCommandsTest, AnUnreadablePictureIsListedAsSuchAndCanBeDeleted) {
    ASSERT_EQ(Add("E1", "Front", m_small), kSuccess);
    data_access::Connection connection;
    connection.Open(data_access::EmbeddedConnectionText(m_database, "pw"));
    connection.Execute("INSERT INTO Photos VALUES ('E1', 'Broken', 'EMP', '-', 0, x'00010203')");
    EXPECT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}), kFailure);
    EXPECT_TRUE(m_out.str().starts_with("1\tFront\t0\t-\t20x10\n2\tBroken\t0\t-\tunreadable: "))
        << m_out.str();
    EXPECT_NE(m_err.str().find("1 of the photos listed could not be read"), std::string::npos);
    ASSERT_EQ(Photo({"delete", "--group", "EMP", "--code", "E1", "--description", "Broken"}),
              kSuccess)
        << m_err.str();
    ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}), kSuccess);
    EXPECT_EQ(m_out.str(), "1\tFront\t0\t-\t20x10\n");
}

TEST_F(PhotoCommandsTest, VerifyReportsEachProblemAndFixesOnlyWhatKeepsEveryPicture) {
    std::string folder = m_folder.Path("photos; \"quoted\"");
    std::vector<std::string> files = {"--files", folder};
    ASSERT_EQ(Add("E1", "Front", m_small, {"--files", folder}), kSuccess) << m_err.str();
    ASSERT_EQ(Photo({"verify"}, files), kSuccess) << m_out.str();
    EXPECT_NE(m_out.str().find("no problems found"), std::string::npos);

    data_access::Connection connection;
    connection.Open(data_access::EmbeddedConnectionText(m_database, "pw"));
    for (const char* row : {"'E1', 'Broken', 'EMP', '-', 0", "'E2', 'Gone', 'EMP', '-', 0",
                            "'A_B', 'C', 'EMP', '-', 0", "'A', 'B_C', 'EMP', '-', 0",
                            "'E3', 'Été', 'EMP', '-', 1", "'E3', 'ÉTÉ', 'EMP', '-', 1"}) {
        connection.Execute(std::string("INSERT INTO Photos VALUES (") + row + ", NULL)");
    }
    for (const char* name : {"A_B_C_EMP.vpc", "E3_Été_EMP.vpc", "E3_ÉTÉ_EMP.vpc"}) {
        std::filesystem::copy_file(folder + "/E1_Front_EMP.vpc", folder + "/" + name);
    }
    m_folder.Write("photos; \"quoted\"/E1_Broken_EMP.vpc", "junk");
    m_folder.Write("photos; \"quoted\"/stray.vpc", "mine");
    m_folder.Write("photos; \"quoted\"/E1_Front_EMP.vpc.tmp-Ab12Cd", "left");

    ASSERT_EQ(Photo({"verify"}, files), kFailure);
    std::string report = m_out.str();
    for (const char* line :
         {"Unreadable picture of code \"E1\", description \"Broken\"",
          "Unreadable picture of code \"E2\", description \"Gone\", group \"EMP\": there is no "
          "photo file",
          "File no row owns: ", "stray.vpc\n", "Leftover temporary file ",
          "Rows share the photo file ", "Descriptions equal ignoring letter case for code \"E3\"",
          "More than one default photo for code \"E3\", group \"EMP\": 2 marked",
          "Checked 7 rows of Photos and 7 files: 7 problems found"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    }
    EXPECT_TRUE(std::filesystem::exists(folder + "/E1_Front_EMP.vpc.tmp-Ab12Cd"))
        << "nothing changes without --fix";
    EXPECT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}, files), kFailure);
    EXPECT_NE(m_out.str().find("2\tBroken\t0\t-\tunreadable: "), std::string::npos) << m_out.str();

    ASSERT_EQ(Photo({"verify", "--fix", "--remove-unreadable"}, files), kFailure);
    EXPECT_NE(m_out.str().find("4 changes made"), std::string::npos) << m_out.str();
    ASSERT_EQ(Photo({"verify"}, files), kFailure);
    EXPECT_NE(m_out.str().find("Checked 5 rows of Photos and 6 files: 4 problems found"),
              std::string::npos)
        << m_out.str();
    EXPECT_TRUE(std::filesystem::exists(folder + "/E1_Broken_EMP.vpc"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/stray.vpc"));
}

// Host-made photo tables: the mark column as each engine's hosts make it.
TEST_P(EnginePhotoCommandsTest, DefaultTakesTheMarkOnEveryKindOfMarkColumn) {
    const bool onServer = GetParam() == data_access::testing::Engine::Server;
    data_access::Connection connection;
    connection.Open(ConnectionTextFor(m_database, "pw"));
    for (const char* type : {"boolean", "smallint", "integer", "YESNO"}) {
        if (onServer && std::string(type) == "YESNO") {
            continue;
        }
        connection.Execute("DROP TABLE Photos");
        connection.Execute(
            fmt::format("CREATE TABLE Photos (PhotoCode char(10), PhotoDescription varchar(100), "
                        "PhotoGroup varchar(50), PhotoComments text, DefaultPhoto {}, Photo {})",
                        type, onServer ? "bytea" : "LONGBINARY"));
        ASSERT_EQ(Add("E1", "Front", m_small, {"--default"}), kSuccess) << type << m_err.str();
        ASSERT_EQ(Add("E1", "Side", m_small, {"--default"}), kSuccess) << type << m_err.str();
        ASSERT_EQ(Photo({"list", "--group", "EMP", "--code", "E1"}), kSuccess) << m_err.str();
        EXPECT_EQ(m_out.str(), "1\tFront\t0\t-\t20x10\n2\tSide\t1\t-\t20x10\n") << type;
    }
}

TEST_P(EnginePhotoCommandsTest, CreateTableMakesAMarkThatTakesZero) {
    data_access::Catalog catalog;
    catalog.SetActiveConnection(ConnectionTextFor(m_database, "pw"));
    EXPECT_EQ(catalog.Tables().Item("Photos").Columns().Item("DefaultPhoto").Type(),
              GetParam() == data_access::testing::Engine::Server ? data_access::adSmallInt
                                                                 : data_access::adBoolean);
    EXPECT_EQ(catalog.ActiveConnection()->Execute("UPDATE Photos SET DefaultPhoto = 0"), 0);
}

TEST_P(EnginePhotoCommandsTest, CreateTableIndexesTheOwnerColumns) {
    data_access::Catalog catalog;
    catalog.SetActiveConnection(ConnectionTextFor(m_database, "pw"));
    bool onServer = GetParam() == data_access::testing::Engine::Server;
    data_access::Recordset index;
    index.Open(onServer ? "SELECT indexdef FROM pg_indexes WHERE tablename = 'photos'"
                        : "SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = "
                          "'Photos'",
               catalog.ActiveConnection(), data_access::adOpenStatic, data_access::adLockReadOnly);
    ASSERT_EQ(index.RecordCount(), 1);
    std::string definition = data_access::FoldCase(index.Fields().Item(0L).Value().ToText());
    EXPECT_NE(definition.find("(photogroup, photocode)"), std::string::npos) << definition;
}

VESK_ON_EACH_ENGINE(EnginePhotoCommandsTest);

}  // namespace
}  // namespace vesk::host
