#include <gtest/gtest.h>

#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access {
namespace {

TEST(ConnectionText, JetProviderNamesFileAndPasswordWithBlanksTrimmed) {
    auto settings = ParseConnectionText(
        "Provider=Microsoft.Jet.OLEDB.4.0; Data Source = /data/pay roll.mdb ;"
        "Jet OLEDB:Database Password= s3cret ");
    EXPECT_EQ(settings.provider, Provider::EmbeddedFile);
    EXPECT_EQ(settings.path, "/data/pay roll.mdb");
    EXPECT_EQ(settings.password, "s3cret");
}

TEST(ConnectionText, AccessDriverNamesFileAndPasswordWithKeysInAnyCase) {
    auto settings =
        ParseConnectionText("DRIVER={Microsoft Access Driver (*.mdb)};dbq=/x/a.mdb;Pwd=pw");
    EXPECT_EQ(settings.provider, Provider::EmbeddedFile);
    EXPECT_EQ(settings.path, "/x/a.mdb");
    EXPECT_EQ(settings.password, "pw");
}

TEST(ConnectionText, MissingOrEmptyPasswordMeansNoKey) {
    EXPECT_EQ(ParseConnectionText("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a.mdb").password,
              "");
    EXPECT_EQ(
        ParseConnectionText("Driver={Microsoft Access Driver (*.mdb)};DBQ=/a.mdb;PWD=").password,
        "");
}

TEST(ConnectionText, QuotedValueMayHoldSemicolon) {
    auto settings = ParseConnectionText(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a.mdb;Jet OLEDB:Database Password=\"a;b\"");
    EXPECT_EQ(settings.password, "a;b");
}

TEST(ConnectionText, PostgresProviderAndUri) {
    auto settings = ParseConnectionText(
        "Provider=PostgreSQL;Host=/tmp;Port=5433;Database=pay;User ID=clerk;Password=pw");
    EXPECT_EQ(settings.provider, Provider::PostgreSql);
    EXPECT_EQ(settings.host, "/tmp");
    EXPECT_EQ(settings.port, "5433");
    EXPECT_EQ(settings.database, "pay");
    EXPECT_EQ(settings.user, "clerk");
    EXPECT_EQ(ParseConnectionText("postgresql://clerk@localhost/pay").uri,
              "postgresql://clerk@localhost/pay");
}

TEST(ConnectionText, UnknownProviderIsAClearError) {
    try {
        ParseConnectionText("Provider=SQLOLEDB;Data Source=server");
        FAIL() << "an unknown provider was accepted";
    } catch (const DataAccessError& error) {
        EXPECT_NE(error.Description().find("SQLOLEDB"), std::string::npos) << error.Description();
    }
    EXPECT_THROW(ParseConnectionText("Data Source=/a.mdb"), DataAccessError);
    EXPECT_THROW(ParseConnectionText("just a path"), DataAccessError);
    EXPECT_THROW(ParseConnectionText("Provider=Microsoft.Jet.OLEDB.4.0"), DataAccessError);
}

TEST(ConnectionText, EmbeddedTextRoundTrips) {
    auto settings = ParseConnectionText(EmbeddedConnectionText("/tmp/a b.db", "pw"));
    EXPECT_EQ(settings.path, "/tmp/a b.db");
    EXPECT_EQ(settings.password, "pw");
    EXPECT_EQ(EmbeddedConnectionText("/a.db"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a.db");
}

// The message of the error `text` raises; empty when it raises none.
std::string ErrorOf(const std::string& text) {
    try {
        ParseConnectionText(text);
    } catch (const DataAccessError& error) {
        return error.Description();
    }
    return {};
}

TEST(ConnectionText, PostgresProviderTakesTheKeysPeopleWrite) {
    auto settings = ParseConnectionText(
        "Provider=PostgreSQL;Server=db.example;Database=pay;Uid=clerk;Pwd=\"a;b\"\"c'd\"");
    EXPECT_EQ(settings.host, "db.example");
    EXPECT_EQ(settings.user, "clerk");
    EXPECT_EQ(settings.password, "a;b\"c'd");
    EXPECT_EQ(ParseConnectionText("Provider=PostgreSQL;Database=pay;Username=ann").user, "ann");
    EXPECT_EQ(ParseConnectionText("Provider=PostgreSQL;Database=pay;User ID=ann;Uid=ann").user,
              "ann");
}

TEST(ConnectionText, PostgresProviderRefusesWhatItCannotReadWithoutShowingValues) {
    std::string unknown = ErrorOf("Provider=PostgreSQL;Database=pay;Usr=boss;Passwd=TopSecret1");
    EXPECT_NE(unknown.find("\"Usr\""), std::string::npos) << unknown;
    EXPECT_EQ(unknown.find("boss"), std::string::npos) << unknown;
    std::string twice = ErrorOf("Provider=PostgreSQL;Database=pay;Pwd=TopSecret1;Password=Other2");
    EXPECT_NE(twice.find("the password twice"), std::string::npos) << twice;
    EXPECT_EQ(twice.find("TopSecret1"), std::string::npos) << twice;
    EXPECT_EQ(twice.find("Other2"), std::string::npos) << twice;
    std::string noDatabase = ErrorOf("Provider=PostgreSQL;Host=h;Password=TopSecret1");
    EXPECT_NE(noDatabase.find("names no database"), std::string::npos) << noDatabase;
    EXPECT_EQ(noDatabase.find("TopSecret1"), std::string::npos) << noDatabase;
    for (std::string split : {ErrorOf("Provider=PostgreSQL;Database=pay;Password=Top;Secret1"),
                              ErrorOf("Provider=PostgreSQL;Database=pay;Password=Top;Sec=ret1")}) {
        EXPECT_NE(split.find("after the value of Password"), std::string::npos) << split;
        EXPECT_EQ(split.find("Sec"), std::string::npos) << split;
    }
    EXPECT_NE(ErrorOf("Provider=PostgreSQL;Database=pay;Password=\"TopSecret1").find("not closed"),
              std::string::npos);
    EXPECT_NE(ErrorOf("Provider=PostgreSQL;Database=pay;Password=\"Top\"Secret1")
                  .find("after the closing quote"),
              std::string::npos);
}

TEST(ConnectionText, QuotesOnlyOpeningAValueQuoteIt) {
    auto pairs = SplitConnectionText("A=ab\"c; B = \" padded \" ;C=\"\"");
    EXPECT_EQ(pairs["a"], "ab\"c");
    EXPECT_EQ(pairs["b"], " padded ");
    EXPECT_EQ(pairs["c"], "");
}

TEST(ConnectionText, BuiltTextsHoldAnyPathAndPassword) {
    for (std::string password : {"p;w\"o'rd", " lead", "trail ", "\"", "plain", "ü=ä{}"}) {
        auto settings = ParseConnectionText(EmbeddedConnectionText("/tmp/a;b \"c'.db", password));
        EXPECT_EQ(settings.path, "/tmp/a;b \"c'.db");
        EXPECT_EQ(settings.password, password);
    }
    EXPECT_EQ(ConnectionTextValue("plain"), "plain");
    EXPECT_EQ(ConnectionTextValue("a;\"b"), "\"a;\"\"b\"");
}

}  // namespace
}  // namespace vesk::data_access
