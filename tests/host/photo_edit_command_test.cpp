#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "host_test.h"

namespace vesk::host {
namespace {

// Sets an environment variable (or removes it) for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class PhotoEditCommandTest : public HostTest {
protected:
    void SetUp() override {
        m_database = MakeDatabase("pay.mdb", "pw");
        ASSERT_EQ(Photo({"create-table"}), 0) << m_err.str();
        QImage image(30, 40, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(QString::fromStdString(m_folder.Path("face.png")));
        ASSERT_EQ(Photo({"add", "--group", "EMP", "--code", "EMP001", "--description", "Portrait",
                         m_folder.Path("face.png")}),
                  0)
            << m_err.str();
    }

    int Photo(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "photo");
        arguments.insert(arguments.begin() + 2, {"--db", m_database, "--password", "pw"});
        return Run(arguments);
    }

    std::string m_database;
};

TEST_F(PhotoEditCommandTest, AScreenshotShowsTheDialogAndTheShownPhotoIsWritten) {
    const std::string shot = m_folder.Path("dialog.png");
    const std::string out = m_folder.Path("photo.bmp");
    ASSERT_EQ(Photo({"edit", "--group", "EMP", "--code", "EMP001", "--name", "Jane Smith",
                     "--screenshot", shot, "--out", out}),
              0)
        << m_err.str();

    const QImage image(QString::fromStdString(shot));
    EXPECT_EQ(image.width(), 509);
    EXPECT_GT(image.height(), 382);
    EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(30, 40));
    EXPECT_NE(m_out.str().find("Wrote " + out), std::string::npos);
}

TEST_F(PhotoEditCommandTest, AScreenshotThatCannotBeWrittenFailsAndWritesNothingElse) {
    const std::string shot = m_folder.Path("no such folder/dialog.png");
    const std::string out = m_folder.Path("photo.bmp");
    EXPECT_EQ(
        Photo({"edit", "--group", "EMP", "--code", "EMP001", "--screenshot", shot, "--out", out}),
        1);
    EXPECT_NE(m_err.str().find("Could not write the screenshot " + shot), std::string::npos)
        << m_err.str();
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(PhotoEditCommandTest, WithoutADisplayTheEditorIsAClearError) {
    ScopedEnvironment platform("QT_QPA_PLATFORM", nullptr);
    ScopedEnvironment x11("DISPLAY", nullptr);
    ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
    EXPECT_EQ(Photo({"edit", "--group", "EMP", "--code", "EMP001"}), 1);
    EXPECT_NE(m_err.str().find("needs a display"), std::string::npos) << m_err.str();
}

}  // namespace
}  // namespace vesk::host
