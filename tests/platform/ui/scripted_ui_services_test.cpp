#include "vesk/ui/scripted_ui_services.h"

#include <gtest/gtest.h>

#include "vesk/ui/message_box.h"

namespace vesk::ui {
namespace {

TEST(ScriptedUiServices, RecordsEveryBoxAndAnswersFromTheQueueThenWithTheDefault) {
    ScriptedUiServices ui;
    ui.SetApplicationTitle("VeskPhoto");
    ui.QueueAnswer(MessageBoxAnswer::Cancel);
    ui.QueueAnswer(MessageBoxAnswer::No);

    EXPECT_EQ(ui.MessageBox("Save changes?", 35, "Changes Not Saved"), MessageBoxAnswer::Cancel);
    EXPECT_EQ(ui.MessageBox("Not a picture", 48), MessageBoxAnswer::No);
    EXPECT_EQ(ui.MessageBox("Delete Photo and it's details?", 35, "Photo Delete Confirm"),
              MessageBoxAnswer::Yes);
    EXPECT_EQ(ui.PendingAnswers(), 0u);

    const std::vector<RecordedMessageBox> expected = {
        {"Save changes?", 35, "Changes Not Saved"},
        {"Not a picture", 48, "VeskPhoto"},
        {"Delete Photo and it's details?", 35, "Photo Delete Confirm"},
    };
    EXPECT_EQ(ui.MessageBoxes(), expected);
}

TEST(ScriptedUiServices, OpenFileAnswersFromTheQueueThenCancels) {
    ScriptedUiServices ui;
    ui.QueueOpenFile("/photos/Ann Smith.jpg");
    ui.QueueOpenFile("");

    const OpenFileResult chosen = ui.OpenFile(4, "JPEG (*.jpg)|*.jpg");
    EXPECT_EQ(chosen.path, "/photos/Ann Smith.jpg");
    EXPECT_EQ(chosen.fileTitle, "Ann Smith.jpg");
    EXPECT_EQ(ui.OpenFile(4, "").path, "");
    EXPECT_EQ(ui.OpenFile(0, "").path, "");
    EXPECT_EQ(ui.OpenFileRequests().size(), 3u);
    EXPECT_EQ(ui.OpenFileRequests().front(), (RecordedOpenFile{4, "JPEG (*.jpg)|*.jpg"}));
}

}  // namespace
}  // namespace vesk::ui
