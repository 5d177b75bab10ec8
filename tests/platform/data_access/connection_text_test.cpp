#include <gtest/gtest.h>

#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data {
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

}  // namespace
}  // namespace vesk::data
