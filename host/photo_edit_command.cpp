#include "photo_edit_command.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>

#include <fmt/format.h>

#include "command_ui.h"
#include "output_file.h"
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

struct EditOptions {
    std::string group;
    std::string code;
    std::string name;
    std::string out;
    std::string screenshot;
};

bool HasDisplay() {
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

// Qt's messages as they would go, less its warning that XDG_RUNTIME_DIR is not set: the
// dialog keeps nothing there, and a user can do nothing about the warning.
QtMessageHandler g_qtMessages = nullptr;

void WithoutRuntimeDirWarning(QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
    if (message.contains(QLatin1String("XDG_RUNTIME_DIR"))) {
        return;
    }
    if (g_qtMessages != nullptr) {
        g_qtMessages(type, context, message);
    }
}

// The Qt application the dialog runs in, made for the command unless the process has one.
// A screenshot needs no display: it is rendered off screen.
class DialogApplication {
public:
    explicit DialogApplication(bool offscreenAllowed) {
        if (QCoreApplication::instance() != nullptr) {
            return;
        }
        if (!HasDisplay()) {
            if (!offscreenAllowed) {
                throw Error(
                    "vesk photo edit needs a display: set DISPLAY (or WAYLAND_DISPLAY), or use "
                    "--screenshot to render the dialog without one");
            }
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        if (g_qtMessages == nullptr) {
            g_qtMessages = qInstallMessageHandler(WithoutRuntimeDirWarning);
        }
        m_application = std::make_unique<QApplication>(m_argc, m_argv);
    }

private:
    int m_argc = 1;
    char m_name[5] = "vesk";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_application;
};

// The dialog's client area under a plain title bar with its caption: an off-screen dialog
// has no window frame of its own.
QImage WithTitleBar(QWidget& dialog) {
    const QPixmap client = dialog.grab();
    const int barHeight = 24;
    QImage image(client.width(), client.height() + barHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, image.width(), barHeight, QColor(0x2b, 0x57, 0x9a));
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, image.width() - 16, barHeight), Qt::AlignVCenter | Qt::AlignLeft,
                     dialog.windowTitle());
    painter.drawPixmap(0, barHeight, client);
    return image;
}

// Saves the editor dialog to `path` as soon as it shows, then closes it as its close box does.
void ScreenshotWhenShown(const std::string& path, std::optional<Error>& failure) {
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [timer, path, &failure] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog->objectName() != QStringLiteral("frmPhoto")) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (!WithTitleBar(*dialog).save(QString::fromStdString(path), "PNG")) {
            failure.emplace("Could not write the screenshot " + path);
        }
        dialog->close();
    });
    timer->start(20);
}

void EditPhotos(const PhotoStoreOptions& options, const EditOptions& edit, Output& output) {
    const bool screenshot = !edit.screenshot.empty();
    DialogApplication application(screenshot);
    PhotoStoreSession session(options);
    std::optional<Error> screenshotFailure;
    std::unique_ptr<CommandUi> consoleBoxes;
    if (screenshot) {
        // Nobody is there to answer a box: they go to the error stream with their default.
        consoleBoxes = std::make_unique<CommandUi>(output.err);
        ScreenshotWhenShown(edit.screenshot, screenshotFailure);
    }
    Picture picture =
        session.Store().EditPhoto(edit.group, edit.code, edit.name, session.Connection());
    if (screenshotFailure) {
        throw *screenshotFailure;
    }
    if (screenshot) {
        output.out << fmt::format("Wrote {}\n", edit.screenshot);
    }
    if (!edit.out.empty()) {
        if (picture.IsEmpty()) {
            throw Error("The dialog closed without a photo; nothing written to " + edit.out);
        }
        WriteOutput(edit.out, PictureBytesFor(picture, edit.out), output.out);
        if (edit.out != "-") {
            output.out << fmt::format("Wrote {} ({}x{} pixels)\n", edit.out, picture.WidthPixels(),
                                      picture.HeightPixels());
        }
    }
}

}  // namespace

void InstallPhotoEditCommand(CLI::App& photo, std::shared_ptr<PhotoStoreOptions> options,
                             CommandAction& action) {
    auto edit = std::make_shared<EditOptions>();
    CLI::App* command =
        photo.add_subcommand("edit", "open the photo editor over an owner's photos");
    AddPhotoStoreOptions(*command, *options, kPhotoFolder | kSizeLimit);
    command->add_option("--group", edit->group, "the owner's group")->required();
    command->add_option("--code", edit->code, "the owner's code")->required();
    command->add_option("--name", edit->name, "the owner's name, shown in the caption");
    command->add_option("--out", edit->out, "write the photo current when the dialog closes");
    command->add_option("--screenshot", edit->screenshot,
                        "render the dialog as it opens to this PNG file and close it");
    command->callback([&action, options, edit] {
        action = [options, edit](Output& output) { EditPhotos(*options, *edit, output); };
    });
}

}  // namespace vesk::host
