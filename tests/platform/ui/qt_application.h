#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

namespace vesk::test {

// Runs `action` on the next modal widget of type T as soon as it shows (polled from the event
// loop of the running application).
template <class T>
void RunOnModal(std::function<void(T&)> action) {
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*widget);
        }
    });
    timer->start(5);
}

// Runs the tests of a suite inside a QApplication on the offscreen platform; the application
// is gone again after the suite.
class QtApplicationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "vesk_ui_tests";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        s_application = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { s_application.reset(); }

    template <class T>
    static void OnModal(std::function<void(T&)> action) {
        RunOnModal<T>(std::move(action));
    }

    static inline std::unique_ptr<QApplication> s_application;
};

}  // namespace vesk::test
