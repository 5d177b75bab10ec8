// Logins that the server checks by password: the password reaches every connection, by
// whatever form it is given, and no message shows it.
#include <gtest/gtest.h>

#include <memory>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/password_mask.h"

namespace vesk::data::testing {
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

    // The description of the error `run` throws; fails the test when it throws none.
    template <typename Run>
    std::string ErrorOf(Run run) {
        try {
            run();
        } catch (const DataAccessError& error) {
            return error.Description();
        }
        ADD_FAILURE() << "no error";
        return {};
    }

    std::unique_ptr<ScratchServerDatabase> m_database;
    std::unique_ptr<ServerLogin> m_login;
};

TEST_F(ServerPasswordTest, PasswordGivenBesideTheTextReachesEveryConnectionOpenedAlike) {
    Connection withoutPassword;
    EXPECT_NE(
        ErrorOf([&] { withoutPassword.Open(m_login->ConnectionText()); }).find("Cannot connect"),
        std::string::npos);

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

TEST_F(ServerPasswordTest, RefusedPasswordsAppearInNoMessage) {
    const std::string wrong = "Wr0ng;\"pass'word";
    Connection connection;
    std::string refused = ErrorOf([&] { connection.Open(m_login->ConnectionText(), {}, wrong); });
    EXPECT_NE(refused.find("password authentication failed"), std::string::npos) << refused;
    std::string uri = "postgresql://" + m_login->User() + ":Wr0ng%3Bpass%zz@/" +
                      m_database->Name() +
                      "?host=" + ParseConnectionText(m_login->ConnectionText()).host;
    std::string badUri = ErrorOf([&] { connection.Open(uri); });
    for (const std::string& message : {refused, badUri}) {
        EXPECT_EQ(message.find("Wr0ng"), std::string::npos) << message;
    }
}

}  // namespace
}  // namespace vesk::data::testing
