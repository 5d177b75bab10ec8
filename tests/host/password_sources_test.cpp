#include <fcntl.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "host_test.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::host {
namespace {

namespace fs = std::filesystem;

// Blanks at both ends, every character a connection text treats specially, and non-ASCII.
const std::string kAwkwardPassword = " s3cr;et\"'={} Straße ";

class PasswordSourcesTest : public HostTest {
protected:
    void TearDown() override {
        ::unsetenv("VESK_PASSWORD");
        ::unsetenv("VESK_TO_PASSWORD");
        ::unsetenv("VESK_TEMPLATE_PASSWORD");
    }

    // Whether the file at `path` opens with exactly `password`.
    static bool OpensWith(const std::string& path, const std::string& password) {
        try {
            data_access::Connection connection;
            connection.Open(data_access::EmbeddedConnectionText(path, password));
            connection.Execute("SELECT count(*) FROM sqlite_master");
            return true;
        } catch (const data_access::DataAccessError&) {
            return false;
        }
    }

    std::string WriteFile(const std::string& name, const std::string& content) {
        std::ofstream(m_folder.Path(name), std::ios::binary) << content;
        return m_folder.Path(name);
    }
};

// Runs the command line in a child process whose terminal is a new pseudo-terminal, types
// `answer` once it asks for a password, and returns its exit status and all the terminal
// showed.
std::pair<int, std::string> RunOnTerminal(const std::vector<std::string>& arguments,
                                          const std::string& answer) {
    int terminal = -1;
    pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        std::ostringstream out;
        std::ostringstream err;
        int status = RunCommandLine(arguments, {out, err});
        std::string printed = out.str() + err.str();
        ssize_t ignored = ::write(STDOUT_FILENO, printed.data(), printed.size());
        (void)ignored;
        ::_exit(status);
    }
    std::string shown;
    bool answered = false;
    char buffer[256];
    for (ssize_t count; (count = ::read(terminal, buffer, sizeof buffer)) > 0;) {
        shown.append(buffer, static_cast<std::size_t>(count));
        if (!answered && shown.find("password: ") != std::string::npos) {
            std::string line = answer + "\n";
            EXPECT_EQ(::write(terminal, line.data(), line.size()),
                      static_cast<ssize_t>(line.size()));
            answered = true;
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(terminal);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, shown};
}

TEST_F(PasswordSourcesTest, APasswordAskedOnTheTerminalIsTakenWithoutEcho) {
    std::string a = MakeDatabase("a.mdb", kAwkwardPassword, {"CREATE TABLE T (K Long)"});
    auto [status, shown] = RunOnTerminal(
        {"sql", "--db", a, "--password-prompt", "SELECT count(*) AS n FROM T"}, kAwkwardPassword);
    EXPECT_EQ(status, 0) << shown;
    EXPECT_NE(shown.find("Enter the database's password: "), std::string::npos) << shown;
    EXPECT_NE(shown.find("n\r\n0"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Straße"), std::string::npos) << "the password was echoed: " << shown;

    auto [wrong, refused] =
        RunOnTerminal({"sql", "--db", a, "--password-prompt", "SELECT count(*) FROM T"}, "s3cr;et");
    EXPECT_EQ(wrong, 1) << refused;
}

TEST_F(PasswordSourcesTest, AnAwkwardPasswordWorksThroughEveryCommandFamily) {
    std::string a = m_folder.Path("a.mdb");
    std::string b = m_folder.Path("b.mdb");
    const std::string& pw = kAwkwardPassword;
    ASSERT_EQ(Run({"db", "create", a, "--password", pw}), 0) << m_err.str();
    ASSERT_EQ(Run({"db", "create", b, "--password", pw}), 0) << m_err.str();
    EXPECT_TRUE(OpensWith(a, pw));
    EXPECT_FALSE(OpensWith(a, "s3cr;et\"'={} Straße")) << "blanks at the ends are kept";

    ASSERT_EQ(Run({"sql", "--db", a, "--password", pw, "CREATE TABLE T (K Text(10), N Long)"}), 0)
        << m_err.str();
    ASSERT_EQ(Run({"sql", "--db", a, "--password", pw, "INSERT INTO T VALUES ('ß', 1)"}), 0);
    EXPECT_EQ(Run({"photo", "create-table", "--db", a, "--password", pw}), 0) << m_err.str();
    EXPECT_EQ(Run({"photo", "list", "--db", a, "--password", pw, "--group", "E", "--code", "1"}), 0)
        << m_err.str();
    EXPECT_EQ(
        Run({"db", "fix", "--template", a, "--template-password", pw, "--db", b, "--password", pw}),
        0)
        << m_err.str();
    EXPECT_EQ(
        Run({"db", "copy", "--from", a, "--from-password", pw, "--to", b, "--to-password", pw}), 0)
        << m_err.str();
    EXPECT_EQ(Run({"db", "compact", a, "--password", pw}), 0) << m_err.str();
    ASSERT_EQ(Run({"sql", "--db", b, "--password", pw, "SELECT K, N FROM T"}), 0);
    EXPECT_NE(m_out.str().find("ß"), std::string::npos) << m_out.str();
    EXPECT_TRUE(OpensWith(a, pw));
}

TEST_F(PasswordSourcesTest, APasswordNeverAddsPartsToTheConnectionText) {
    std::string elsewhere = m_folder.Path("elsewhere.mdb");
    std::string p2 = m_folder.Path("p2.mdb");
    ASSERT_EQ(Run({"db", "create", p2, "--password", "};Data Source=" + elsewhere}), 0)
        << m_err.str();
    EXPECT_TRUE(fs::exists(p2));
    EXPECT_FALSE(fs::exists(elsewhere));

    std::string p3 = m_folder.Path("p3.mdb");
    const std::string keyed = "x;Jet OLEDB:Database Password=y";
    ASSERT_EQ(Run({"db", "create", p3, "--password", keyed}), 0) << m_err.str();
    EXPECT_TRUE(OpensWith(p3, keyed));
    EXPECT_FALSE(OpensWith(p3, "y"));
}

TEST_F(PasswordSourcesTest, PathsThatLookLikeConnectionTextsArePaths) {
    for (const std::string name : {"a;b.mdb", "provider=x.mdb", "my driver=y;'q\".mdb"}) {
        std::string path = m_folder.Path(name);
        ASSERT_EQ(Run({"db", "create", path, "--password", "pw"}), 0) << name << m_err.str();
        EXPECT_TRUE(OpensWith(path, "pw")) << name;
        EXPECT_EQ(Run({"sql", "--db", path, "--password", "pw", "CREATE TABLE T (K Long)"}), 0)
            << name << m_err.str();
    }
}

TEST_F(PasswordSourcesTest, PasswordsComeFromTheEnvironmentAndFromFiles) {
    std::string a = m_folder.Path("a.mdb");
    std::string b = m_folder.Path("b.mdb");
    ::setenv("VESK_PASSWORD", kAwkwardPassword.c_str(), 1);
    ASSERT_EQ(Run({"db", "create", a}), 0) << m_err.str();
    EXPECT_TRUE(OpensWith(a, kAwkwardPassword));
    ASSERT_EQ(Run({"sql", "--db", a, "CREATE TABLE T (K Long)"}), 0) << m_err.str();

    std::string file = WriteFile("pw.txt", " file pw;\r\nsecond line\n");
    ASSERT_EQ(Run({"db", "create", b, "--password-file", file}), 0) << m_err.str();
    EXPECT_TRUE(OpensWith(b, " file pw;")) << "the first line, without its line end";
    ::setenv("VESK_TO_PASSWORD", " file pw;", 1);
    ::setenv("VESK_TEMPLATE_PASSWORD", kAwkwardPassword.c_str(), 1);
    EXPECT_EQ(Run({"db", "fix", "--template", a, "--db", b, "--password-file", file}), 0)
        << m_err.str();
    EXPECT_EQ(Run({"db", "copy", "--from", a, "--to", b}), 0) << m_err.str();

    ::unsetenv("VESK_PASSWORD");
    EXPECT_EQ(Run({"sql", "--db", a, "SELECT * FROM T"}), 1) << "no source gives a password";
}

TEST_F(PasswordSourcesTest, SourcesThatCannotGiveAPasswordAreClearErrors) {
    std::string a = m_folder.Path("a.mdb");
    EXPECT_EQ(Run({"db", "create", a, "--password", "hush;", "--password-file", "f"}), 2);
    EXPECT_NE(m_err.str().find("--password excludes --password-file"), std::string::npos)
        << m_err.str();
    EXPECT_EQ(m_err.str().find("hush;"), std::string::npos) << "no password shown";

    EXPECT_EQ(Run({"db", "create", a, "--password-file", m_folder.Path("none.txt")}), 1);
    EXPECT_NE(m_err.str().find("cannot read the password file " + m_folder.Path("none.txt")),
              std::string::npos)
        << m_err.str();
    EXPECT_FALSE(fs::exists(a));

    int terminal = ::open("/dev/tty", O_RDWR | O_NOCTTY);
    if (terminal >= 0) {
        ::close(terminal);
        GTEST_SKIP() << "this run has a terminal to ask on";
    }
    EXPECT_EQ(Run({"db", "create", a, "--password-prompt"}), 1);
    EXPECT_NE(m_err.str().find("cannot ask for the password: there is no terminal"),
              std::string::npos)
        << m_err.str();
    EXPECT_FALSE(fs::exists(a));
}

}  // namespace
}  // namespace vesk::host
