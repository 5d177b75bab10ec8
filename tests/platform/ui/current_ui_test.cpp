#include "vesk/ui/current_ui.h"

#include <gtest/gtest.h>

#include <QClipboard>

#include "picture_files.h"
#include "qt_application.h"
#include "vesk/ui/message_box.h"
#include "vesk/ui/scripted_ui_services.h"

namespace vesk::ui {

using picture::Picture;
namespace {

TEST(CurrentUi, WithoutAQtApplicationBoxesGoToStandardErrorWithTheirDefaultAnswer) {
    ::testing::internal::CaptureStderr();
    const int answer = Ui().MessageBox("Cannot fix table fields", 48, "Fix Fields Error");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Fix Fields Error: Cannot fix table fields\n");
    EXPECT_EQ(answer, MessageBoxAnswer::Ok);
}

TEST(CurrentUi, InstalledServicesServeUntilTheirScopeEnds) {
    UiServices& system = Ui();
    ScriptedUiServices outer;
    ScriptedUiServices inner;
    {
        ScopedUi installOuter(outer);
        {
            ScopedUi installInner(inner);
            Ui().MessageBox("inner");
        }
        Ui().MessageBox("outer");
    }
    EXPECT_EQ(&Ui(), &system);
    EXPECT_EQ(inner.MessageBoxes().size(), 1u);
    EXPECT_EQ(outer.MessageBoxes().front().text, "outer");

    EXPECT_EQ(SetUi(&outer), nullptr);
    EXPECT_EQ(SetUi(nullptr), &outer);
    EXPECT_EQ(&Ui(), &system);
}

class CurrentUiWithQt : public test::QtApplicationTest {};

TEST_F(CurrentUiWithQt, TheDefaultServicesUseTheQtClipboard) {
    Ui().SetClipboardPicture(Picture(test::PatternImage(3, 2)));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(3, 2));
}

}  // namespace
}  // namespace vesk::ui
