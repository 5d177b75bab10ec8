#include "vesk/ui/qt_ui_services.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>

#include <memory>
#include <stdexcept>
#include <utility>

#include "vesk/ui/file_filter.h"
#include "vesk/ui/message_box.h"

namespace vesk::ui {

using picture::Picture;
using picture::PictureKind;

namespace {

// Metafiles have no Qt image; they travel on the clipboard as their bytes under these types.
constexpr const char* WmfMimeType = "image/x-wmf";
constexpr const char* EmfMimeType = "image/x-emf";

void RequireApplication() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        throw std::logic_error("The Qt user-interface services need a running QApplication");
    }
}

QClipboard& Clipboard() {
    RequireApplication();
    return *QGuiApplication::clipboard();
}

constexpr std::pair<int, QMessageBox::StandardButton> AnswerButtons[] = {
    {MessageBoxAnswer::Ok, QMessageBox::Ok},
    {MessageBoxAnswer::Cancel, QMessageBox::Cancel},
    {MessageBoxAnswer::Abort, QMessageBox::Abort},
    {MessageBoxAnswer::Retry, QMessageBox::Retry},
    {MessageBoxAnswer::Ignore, QMessageBox::Ignore},
    {MessageBoxAnswer::Yes, QMessageBox::Yes},
    {MessageBoxAnswer::No, QMessageBox::No},
};

QMessageBox::StandardButton ButtonOf(int answer) {
    for (const auto& [code, button] : AnswerButtons) {
        if (code == answer) {
            return button;
        }
    }
    return QMessageBox::Ok;
}

int AnswerOf(QMessageBox::StandardButton button, int fallback) {
    for (const auto& [code, candidate] : AnswerButtons) {
        if (candidate == button) {
            return code;
        }
    }
    return fallback;
}

QMessageBox::Icon IconOf(int flags) {
    constexpr int IconMask = 0x70;
    switch (flags & IconMask) {
        case MessageBoxFlags::Critical:
            return QMessageBox::Critical;
        case MessageBoxFlags::Question:
            return QMessageBox::Question;
        case MessageBoxFlags::Exclamation:
            return QMessageBox::Warning;
        case MessageBoxFlags::Information:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// Qt reads a filter's patterns from the last parentheses of its text; the dialog is told to
// hide them, so the user sees the caller's label as it is.
QStringList QtNameFilters(const std::string& filter) {
    QStringList nameFilters;
    for (const FileFilter& choice : ParseFileFilter(filter)) {
        QStringList patterns;
        for (const std::string& pattern : choice.patterns) {
            patterns << QString::fromStdString(pattern);
        }
        nameFilters << QString::fromStdString(choice.label) + " (" + patterns.join(' ') + ")";
    }
    return nameFilters;
}

}  // namespace

Picture QtUiServices::GetClipboardPicture() {
    const QMimeData* content = Clipboard().mimeData();
    if (content == nullptr) {
        return {};
    }
    if (content->hasImage()) {
        return Picture(qvariant_cast<QImage>(content->imageData()));
    }
    for (const char* type : {WmfMimeType, EmfMimeType}) {
        if (content->hasFormat(type)) {
            const QByteArray bytes = content->data(type);
            return Picture::FromBytes({bytes.begin(), bytes.end()});
        }
    }
    return {};
}

void QtUiServices::SetClipboardPicture(const Picture& picture) {
    if (picture.IsEmpty()) {
        return ClearClipboard();
    }
    auto content = std::make_unique<QMimeData>();
    if (picture.Kind() == PictureKind::Metafile ||
        picture.Kind() == PictureKind::EnhancedMetafile) {
        const Picture::Bytes bytes = picture.ToBytes();
        content->setData(picture.Kind() == PictureKind::Metafile ? WmfMimeType : EmfMimeType,
                         QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                    static_cast<qsizetype>(bytes.size())));
    } else {
        content->setImageData(picture.ToImage());
    }
    Clipboard().setMimeData(content.release());
}

void QtUiServices::ClearClipboard() {
    Clipboard().clear();
}

OpenFileResult QtUiServices::OpenFile(int, const std::string& filter) {
    RequireApplication();
    QFileDialog dialog(QApplication::activeWindow(), QObject::tr("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList nameFilters = QtNameFilters(filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString path = dialog.selectedFiles().constFirst();
    return {path.toStdString(), QFileInfo(path).fileName().toStdString()};
}

int QtUiServices::ShowMessageBox(const std::string& text, int flags, const std::string& title) {
    RequireApplication();
    QMessageBox box(IconOf(flags), QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);  // failure texts may hold '<' and must not turn into markup
    for (int answer : MessageBoxButtons(flags)) {
        box.addButton(ButtonOf(answer));
    }
    const int defaultAnswer = DefaultAnswer(flags);
    box.setDefaultButton(ButtonOf(defaultAnswer));
    box.exec();
    return AnswerOf(box.standardButton(box.clickedButton()), defaultAnswer);
}

}  // namespace vesk::ui
