// Logins that the server checks by password: the password reaches every connection, by
// whatever form it is given.
#include <gtest/gtest.h>

#include <memory>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/password_mask.h"

namespace vesk::data_access::testing {
namespace {

constexpr const char* kPassword = "p;w\"o'rd-ü1";

class ServerPasswordTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFailure()) {
            return;
        }
        m_database = std::make_unique<ScratchServerDatabase>(*RequireServerCluster());
        m_login = std::make_unique<ServerLogin>(*RequireServerCluster(), *m_database, kPassword);
    }
    void TearDown() override {
        m_login.reset();
        m_database.reset();
        ServerTest::TearDown();
    }

    std::unique_ptr<ScratchServerDatabase> m_database;
    std::unique_ptr<ServerLogin> m_login;
};

TEST_F(ServerPasswordTest, PasswordGivenBesideTheTextReachesEveryConnectionOpenedAlike) {
    Connection withoutPassword;
    EXPECT_THROW(withoutPassword.Open(m_login->ConnectionText()), DataAccessError)
        << "the server asks for the password";

    for (const std::string& text : {m_login->ConnectionText(), m_login->Uri()}) {
        Connection main;
        main.Open(text, {}, kPassword);
        EXPECT_EQ(main.ConnectionString().find("rd-ü1"), std::string::npos)
            << "the password is no part of the connection text";
        Connection alike;
        alike.OpenAlike(main);
        alike.Execute("CREATE TABLE IF NOT EXISTS T (X integer)");
        EXPECT_EQ(alike.Execute("INSERT INTO T VALUES (1)"), 1);
    }
}

TEST_F(ServerPasswordTest, PasswordInsideTheTextByEveryKeyOpens) {
    ConnectionSettings settings = ParseConnectionText(m_login->ConnectionText());
    std::string quoted = ConnectionTextValue(kPassword);
    for (const std::string& text :
         {m_login->ConnectionText() + ";Password=" + quoted,
          "Provider=PostgreSQL;Server=" + settings.host + ";Port=" + settings.port +
              ";Database=" + settings.database + ";Uid=" + m_login->User() + ";Pwd=" + quoted,
          "Provider=PostgreSQL;Host=" + settings.host + ";Port=" + settings.port + ";Database=" +
              settings.database + ";Username=" + m_login->User() + ";Password=" + quoted}) {
        Connection connection;
        EXPECT_NO_THROW(connection.Open(text)) << MaskPasswords(text);
    }
}

}  // namespace
}  // namespace vesk::data_access::testing
