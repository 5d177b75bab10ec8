#include "editor_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <functional>
#include <stdexcept>

#include "vesk/ui/current_ui.h"
#include "vesk/ui/scripted_ui_services.h"

namespace vesk::bench {

namespace {

using Clock = std::chrono::steady_clock;

// The editor's widget that draws the photo, as the dialog names it.
constexpr const char* kPhotoWidget = "imgMainPhoto";
constexpr std::chrono::seconds kPaintTimeout{60};

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Counts the paint events the widgets named `name` receive. The editor's photo widget scales
// the picture to its own size inside its paint event (there is no cached scaled copy), so a
// paint that has been delivered is the moment the user sees the picture: its scaling is done
// and the backing store holds it.
class PhotoPaintCounter : public QObject {
public:
    explicit PhotoPaintCounter(const char* name = kPhotoWidget) : m_name(name) {}

    int Paints() const { return m_paints; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->objectName() == m_name) {
            ++m_paints;
        }
        return false;
    }

private:
    QString m_name;
    int m_paints = 0;
};

// The least a widget viewer does: paints a decoded picture as the editor's photo widget does,
// scaled into its size or unscaled at the picture's natural size, inside a scroll area that
// centres it and shows scroll bars when it is larger (as Qt's image viewer example does).
class PlainViewer : public QWidget {
public:
    explicit PlainViewer(const QImage& image) : m_image(image) { setObjectName(kPlainViewer); }

    void ShowFitted(QSize fitted) {
        m_scaled = true;
        resize(fitted);
        update();
    }

    void ShowActualSize() {
        m_scaled = false;
        resize(m_image.size());
        update();
    }

    static constexpr const char* kPlainViewer = "plainViewer";

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (m_scaled) {
            painter.drawImage(rect(), m_image);
        } else {
            painter.drawImage(QPoint(0, 0), m_image);
        }
    }

private:
    QImage m_image;
    bool m_scaled = true;
};

// Runs the event loop until the photo widget has been painted more than `before` times; the
// paint is processed (not just requested) when this returns.
void WaitForPaint(const PhotoPaintCounter& counter, int before) {
    const Clock::time_point deadline = Clock::now() + kPaintTimeout;
    while (counter.Paints() == before) {
        QCoreApplication::processEvents();
        if (Clock::now() > deadline) {
            throw std::runtime_error("the editor did not paint its photo within a minute");
        }
    }
}

template <class Widget>
Widget& Child(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        throw std::runtime_error(std::string("the editor has no control ") + name);
    }
    return *widget;
}

// The seconds from `action` until the counted widget has painted.
double TimeUntilPainted(const PhotoPaintCounter& counter, const std::function<void()>& action) {
    const int before = counter.Paints();
    const Clock::time_point start = Clock::now();
    action();
    WaitForPaint(counter, before);
    return SecondsSince(start);
}

double TimeClick(QAbstractButton& button, const PhotoPaintCounter& counter) {
    return TimeUntilPainted(counter, [&] { button.click(); });
}

// Clicks each line of the photo list other than the one shown, as a user does with the mouse;
// scrolling a line into view is not timed.
std::vector<double> ClickOtherLines(QDialog& dialog, const PhotoPaintCounter& counter) {
    auto& list = Child<QTreeWidget>(dialog, "lvwPicDescription");
    const QTreeWidgetItem* shown = list.currentItem();
    std::vector<double> seconds;
    for (int line_idx = 0; line_idx < list.topLevelItemCount(); ++line_idx) {
        QTreeWidgetItem* line = list.topLevelItem(line_idx);
        if (line == shown) {
            continue;
        }
        list.scrollToItem(line);
        QCoreApplication::processEvents();
        seconds.push_back(TimeUntilPainted(counter, [&] {
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                              list.visualItemRect(line).center());
        }));
        if (list.currentItem() != line) {
            throw std::runtime_error("a click on a photo's line did not select it");
        }
    }
    return seconds;
}

// Types `description` over the shown photo's (not timed) and times the Save button until the
// row is stored and the dialog has processed its repaint.
double TimeSave(QDialog& dialog, const std::string& description) {
    Child<QLineEdit>(dialog, "txtDescription").setText(QString::fromStdString(description));
    QCoreApplication::processEvents();
    auto& save = Child<QPushButton>(dialog, "cmdSave");
    if (!save.isEnabled()) {
        throw std::runtime_error("an edited description did not enable Save");
    }
    const Clock::time_point start = Clock::now();
    save.click();
    QCoreApplication::processEvents();
    const double seconds = SecondsSince(start);
    const QTreeWidgetItem* line = Child<QTreeWidget>(dialog, "lvwPicDescription").currentItem();
    if (save.isEnabled() || line == nullptr || line->text(0).toStdString() != description) {
        throw std::runtime_error("Save did not store the edited description");
    }
    return seconds;
}

// Switches to "Actual size" and back to "Fit Space" a few times, keeping the fastest of each:
// the first switch of a dialog also prepares the scroll bars it shows for the first time.
void SwitchBackAndForth(QDialog& dialog, const PhotoPaintCounter& counter, EditorTimes& times) {
    constexpr int kSwitches = 3;
    auto& actualSize = Child<QRadioButton>(dialog, "optActualsize");
    auto& fit = Child<QRadioButton>(dialog, "optFit");
    for (int switch_idx = 0; switch_idx < kSwitches; ++switch_idx) {
        const double toActualSize = TimeClick(actualSize, counter);
        const double toFit = TimeClick(fit, counter);
        times.toActualSize =
            switch_idx == 0 ? toActualSize : std::min(times.toActualSize, toActualSize);
        times.toFit = switch_idx == 0 ? toFit : std::min(times.toFit, toFit);
    }
}

void PlayUser(QDialog& dialog, const PhotoPaintCounter& counter, Clock::time_point opened,
              const std::string& newDescription, EditorTimes& times) {
    WaitForPaint(counter, 0);
    times.open = SecondsSince(opened);
    times.fittedSize = Child<QWidget>(dialog, kPhotoWidget).size();
    times.frameSize = Child<QFrame>(dialog, "picPhotoFrame").contentsRect().size();
    times.selections = ClickOtherLines(dialog, counter);
    SwitchBackAndForth(dialog, counter, times);
    times.save = TimeSave(dialog, newDescription);
}

// Runs `user` on the modal dialog as soon as the event loop of its exec() runs.
void WhenModal(std::function<void(QDialog&)> user) {
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [poll, user] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            user(*dialog);
        }
    });
    poll->start(0);
}

}  // namespace

void RequireWidgetApplication() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        return;
    }
    if (QCoreApplication::instance() != nullptr) {
        throw std::logic_error("the editor benchmark needs a Qt widget application");
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "vesk_bench";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the editor library keeps Qt objects until the process ends.
    new QApplication(argc, argv);
}

EditorTimes RunEditorSession(photo_store::CPicture& store, const std::string& group,
                             const std::string& owner, data_access::ConnectionPtr connection,
                             const std::string& newDescription) {
    RequireWidgetApplication();
    ui::ScriptedUiServices user;
    ui::ScopedUi scripted(user);
    PhotoPaintCounter counter;
    QCoreApplication::instance()->installEventFilter(&counter);
    EditorTimes times;
    std::exception_ptr failure;
    const Clock::time_point opened = Clock::now();
    WhenModal([&](QDialog& dialog) {
        try {
            PlayUser(dialog, counter, opened, newDescription, times);
            Child<QPushButton>(dialog, "cmdClose").click();
        } catch (...) {
            failure = std::current_exception();
            dialog.reject();
        }
    });
    store.EditPhoto(group, owner, "Bench Owner", std::move(connection));
    QCoreApplication::instance()->removeEventFilter(&counter);
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (!user.MessageBoxes().empty()) {
        throw std::runtime_error("the editor showed a message: " + user.MessageBoxes()[0].text);
    }
    return times;
}

ViewerSwitchTimes TimeViewerSwitch(const QImage& image, QSize frameSize, QSize fittedSize,
                                   int rounds) {
    RequireWidgetApplication();
    QScrollArea frame;
    frame.setFrameShape(QFrame::NoFrame);
    frame.setAlignment(Qt::AlignCenter);
    frame.resize(frameSize);
    auto* shown = new PlainViewer(image);
    shown->ShowFitted(fittedSize);
    frame.setWidget(shown);
    PlainViewer& viewer = *shown;
    PhotoPaintCounter counter(PlainViewer::kPlainViewer);
    viewer.installEventFilter(&counter);
    frame.show();
    WaitForPaint(counter, 0);
    ViewerSwitchTimes best;
    for (int round = 0; round < rounds; ++round) {
        const double toActualSize = TimeUntilPainted(counter, [&] { viewer.ShowActualSize(); });
        const double toFit = TimeUntilPainted(counter, [&] { viewer.ShowFitted(fittedSize); });
        best.toActualSize = round == 0 ? toActualSize : std::min(best.toActualSize, toActualSize);
        best.toFit = round == 0 ? toFit : std::min(best.toFit, toFit);
    }
    return best;
}

}  // namespace vesk::bench
