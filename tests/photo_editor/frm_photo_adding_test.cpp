#include <gtest/gtest.h>

#include <QPushButton>

#include <fstream>
#include <stdexcept>

#include "editor_fixture.h"
#include "picture_files.h"

namespace vesk::photo_editor::testing {
namespace {

class AddingTest : public EditorTest {
protected:
    // Writes a bitmap file of width x height pixels into the scratch folder.
    std::string WriteBitmap(const std::string& name, int width = 40, int height = 30) {
        const std::string path = m_folder.Path(name);
        const data_access::Bytes bytes = BitmapBytes(width, height);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

TEST_F(AddingTest, AFileIsShownWithItsNameAsDescriptionAndNothingIsStoredYet) {
    AddPhoto("Portrait");
    Open();
    m_ui.QueueOpenFile(WriteBitmap("holiday.bmp", 60, 20));

    m_dialog.mnuAddFromFile->trigger();

    ASSERT_EQ(m_ui.OpenFileRequests().size(), 1u);
    EXPECT_EQ(m_ui.OpenFileRequests()[0].flags, 4);
    EXPECT_EQ(m_ui.OpenFileRequests()[0].filter,
              "All Photos |*.bmp;*.ico;*.cur;*.rle;*.wmf;*.emf;*.gif;*.rle;*.jpg|Bitmaps "
              "(*.bmp)|*.bmp|Icons (*.ico)|*.ico|Cursors (*.cur)|*.cur|Run Length Encoded "
              "(*.rle)|*.rle|Metafile (*.wmf)|*.wmf|Enhanced Metafiles (*.emf)|*.emf|GIF "
              "(*.gif)|*.gif|JPEG (*.jpg)|*.jpg|All Files (*.*)|*.*");
    EXPECT_TRUE(m_dialog.m_bAdding);
    EXPECT_EQ(m_dialog.m_sCurrentKey, "");
    EXPECT_EQ(m_dialog.txtDescription->Text(), "holiday.bmp");
    EXPECT_EQ(m_dialog.imgMainPhoto->Picture().WidthPixels(), 60);
    EXPECT_TRUE(m_dialog.cmdSave->isEnabled());
    EXPECT_EQ(m_dialog.windowTitle().toStdString(), "[Add Photo] - EMP - [EMP001  Jane Smith]");
    EXPECT_EQ(CountRows(), 1);
}

TEST_F(AddingTest, SavingAnAddedFilePutsItsLineOnTopAndLeavesBothModes) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    Open();
    m_ui.QueueOpenFile(WriteBitmap("holiday.bmp"));
    m_dialog.mnuAddFromFile->trigger();

    m_dialog.cmdSave->click();

    EXPECT_EQ(CountRows("PhotoDescription = 'holiday.bmp' AND Photo IS NOT NULL"), 1);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"holiday.bmp", "Portrait", "Badge"}));
    EXPECT_EQ(Keys()[0], "ItemKey3");
    EXPECT_EQ(m_dialog.lvwPicDescription->SelectedKey(), "ItemKey3");
    EXPECT_EQ(m_dialog.m_sCurrentKey, "ItemKey3");
    EXPECT_FALSE(m_dialog.m_bAdding);
    EXPECT_FALSE(m_dialog.m_bEditing);
    EXPECT_FALSE(m_dialog.cmdSave->isEnabled());
    EXPECT_EQ(m_dialog.windowTitle().toStdString(), "EMP - [EMP001  Jane Smith]");
    EXPECT_TRUE(m_ui.MessageBoxes().empty());

    // In neither mode the comments do not enable Save.
    m_dialog.txtComments->SetText("later");
    EXPECT_FALSE(m_dialog.cmdSave->isEnabled());
}

TEST_F(AddingTest, AFileThatIsNoPictureIsReported) {
    Open();
    const std::string path = m_folder.Path("notes.bmp");
    std::ofstream(path) << "not a picture";
    m_ui.QueueOpenFile(path);

    m_dialog.mnuAddFromFile->trigger();

    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_ui.MessageBoxes()[0].flags, 48);
    EXPECT_EQ(m_ui.MessageBoxes()[0].title, "VeskPhoto");
    EXPECT_FALSE(m_ui.MessageBoxes()[0].text.empty());
    EXPECT_EQ(m_dialog.imgMainPhoto->Picture().Handle(), 0u);
    EXPECT_TRUE(m_dialog.m_bAdding);
}

TEST_F(AddingTest, ACancelledFileDialogLeavesAnEmptyAddMode) {
    AddPhoto("Portrait");
    Open();
    m_dialog.mnuAddFromFile->trigger();
    EXPECT_TRUE(m_dialog.m_bAdding);
    EXPECT_EQ(m_dialog.txtDescription->Text(), "");
    EXPECT_EQ(m_dialog.imgMainPhoto->Picture().Handle(), 0u);
    EXPECT_EQ(m_store.OwnerPhoto.Handle(), 0u);
}

TEST_F(AddingTest, TheClipboardsPictureIsAddedWithoutDescription) {
    Open();
    m_ui.SetClipboardPicture(picture::Picture::FromBytes(BitmapBytes(30, 70)));

    m_dialog.mnuAddFromClipBoard->trigger();

    EXPECT_EQ(m_dialog.imgMainPhoto->Picture().HeightPixels(), 70);
    EXPECT_TRUE(m_dialog.cmdSave->isEnabled());
    EXPECT_TRUE(m_dialog.m_bChanged);
    EXPECT_EQ(m_dialog.txtDescription->Text(), "");

    m_dialog.cmdSave->click();
    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_ui.MessageBoxes()[0], (ui::RecordedMessageBox{"Enter a description for the photo!",
                                                              48, "Decription Not Entered"}));
}

TEST_F(AddingTest, AnEmptyClipboardAddsNothingAndSaysNothing) {
    Open();
    m_dialog.mnuAddFromClipBoard->trigger();
    EXPECT_TRUE(m_dialog.m_bAdding);
    EXPECT_EQ(m_dialog.imgMainPhoto->Picture().Handle(), 0u);
    EXPECT_FALSE(m_dialog.cmdSave->isEnabled());
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_F(AddingTest, CopyPutsTheShownPictureOnTheClipboard) {
    AddPhoto("Portrait", false, 44, 33);
    Open();
    m_dialog.mnuCopyToClipboard->trigger();
    EXPECT_EQ(m_ui.GetClipboardPicture().WidthPixels(), 44);
    EXPECT_EQ(m_ui.GetClipboardPicture().Handle(), m_dialog.imgMainPhoto->Picture().Handle());
}

TEST_F(AddingTest, UnsavedChangesAreOfferedBeforeAdding) {
    AddPhoto("Portrait");
    Open();
    m_dialog.txtComments->SetText("changed");

    m_ui.QueueAnswer(ui::MessageBoxAnswer::Cancel);
    m_dialog.mnuAddFromFile->trigger();
    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_ui.MessageBoxes()[0],
              (ui::RecordedMessageBox{"Save changes?", 35, "Changes Not Saved"}));
    EXPECT_TRUE(m_dialog.m_bEditing);
    EXPECT_EQ(m_dialog.txtComments->Text(), "changed");
    EXPECT_TRUE(m_dialog.cmdSave->isEnabled());
    EXPECT_TRUE(m_ui.OpenFileRequests().empty());

    m_ui.QueueAnswer(ui::MessageBoxAnswer::Yes);
    m_dialog.mnuAddFromClipBoard->trigger();
    EXPECT_EQ(CountRows("PhotoComments = 'changed'"), 1);
    EXPECT_TRUE(m_dialog.m_bAdding);
}

TEST_F(AddingTest, AnsweringYesWhenTheSaveIsRefusedKeepsTheChange) {
    AddPhoto("Portrait");
    Open();
    m_dialog.txtDescription->SetText("");
    m_ui.QueueAnswer(ui::MessageBoxAnswer::Yes);

    m_dialog.mnuAddFromFile->trigger();

    ASSERT_EQ(m_ui.MessageBoxes().size(), 2u);
    EXPECT_EQ(m_ui.MessageBoxes()[1].text, "Enter a description for the photo!");
    EXPECT_TRUE(m_dialog.m_bEditing) << "the add did not start";
    EXPECT_EQ(m_dialog.imgMainPhoto->Picture().WidthPixels(), 40);
    EXPECT_TRUE(m_ui.OpenFileRequests().empty());
}

}  // namespace
}  // namespace vesk::photo_editor::testing

namespace vesk::photo_editor::testing {
namespace {

// A clipboard that cannot be read or written, as when another program holds it.
class FailingClipboard : public ui::ScriptedUiServices {
public:
    Picture GetClipboardPicture() override { throw std::runtime_error("clipboard is busy"); }
    void SetClipboardPicture(const Picture&) override {
        throw std::runtime_error("clipboard is busy");
    }
};

using ClipboardFailureTest = EditorTest;

TEST_F(ClipboardFailureTest, FailuresOfTheClipboardAreShownWithTheirTitles) {
    AddPhoto("Portrait");
    Open();
    FailingClipboard clipboard;
    ui::ScopedUi scoped(clipboard);

    m_dialog.mnuCopyToClipboard->trigger();
    m_dialog.mnuAddFromClipBoard->trigger();

    ASSERT_EQ(clipboard.MessageBoxes().size(), 2u);
    EXPECT_EQ(clipboard.MessageBoxes()[0],
              (ui::RecordedMessageBox{"clipboard is busy", 16, "Error Loading Photo"}));
    EXPECT_EQ(clipboard.MessageBoxes()[1],
              (ui::RecordedMessageBox{"clipboard is busy", 48, "VeskPhoto"}));
    EXPECT_TRUE(m_dialog.m_bAdding);
    EXPECT_EQ(m_dialog.imgMainPhoto->Picture().Handle(), 0u);
}

}  // namespace
}  // namespace vesk::photo_editor::testing
