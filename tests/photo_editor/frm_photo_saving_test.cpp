#include <gtest/gtest.h>

#include <QPushButton>

#include <filesystem>

#include "editor_fixture.h"

namespace vesk::photo_editor::testing {
namespace {

using ui::MessageBoxAnswer;
using ui::RecordedMessageBox;

class SavingTest : public EditorTest {
protected:
    void AddFromClipboard(int width = 30, int height = 20) {
        m_ui.SetClipboardPicture(picture::Picture::FromBytes(BitmapBytes(width, height)));
        m_dialog.mnuAddFromClipBoard->trigger();
    }
    const RecordedMessageBox& LastBox() const { return m_ui.MessageBoxes().back(); }
};

TEST_F(SavingTest, RefusalsComeInTheirOrder) {
    m_store.PhotosMaxSize = 1;  // a bitmap of 30 x 20 is about 1.8 KB
    Open();
    AddFromClipboard();
    ASSERT_TRUE(m_dialog.m_bPhotoTooBig);
    m_dialog.cmdSave->setEnabled(true);

    EXPECT_FALSE(m_dialog.cmdSave_Click());
    EXPECT_EQ(LastBox(),
              (RecordedMessageBox{"Photo too big!!! Maximum size allowed: 1 KB in bitmap format",
                                  48, "VeskPhoto"}));

    m_dialog.m_bPhotoTooBig = false;
    EXPECT_FALSE(m_dialog.cmdSave_Click());
    EXPECT_EQ(LastBox(), (RecordedMessageBox{"Enter a description for the photo!", 48,
                                             "Decription Not Entered"}));

    m_dialog.txtDescription->SetText("Scan");
    m_dialog.imgMainPhoto->SetPicture(picture::Picture());
    EXPECT_FALSE(m_dialog.cmdSave_Click());
    EXPECT_EQ(LastBox(), (RecordedMessageBox{"No photo to save!", 48, "No photo"}));
    EXPECT_EQ(CountRows(), 0);
}

TEST_F(SavingTest, ANewRecordNeedsADescriptionNotStoredYet) {
    AddPhoto("Portrait");
    Open();
    AddFromClipboard();
    m_dialog.txtDescription->SetText("PORTRAIT");

    m_dialog.cmdSave->click();

    EXPECT_EQ(LastBox(), (RecordedMessageBox{"Descrition exists. Please enter a unique description",
                                             48, "Description Exist"}));
    EXPECT_EQ(CountRows(), 1);
    EXPECT_TRUE(m_dialog.m_bAdding);
    EXPECT_TRUE(m_dialog.cmdSave->isEnabled());
}

TEST_F(SavingTest, AnEditedRecordMayNotTakeAnotherLinesDescription) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    Open();
    m_dialog.txtDescription->SetText("bADGE");

    m_dialog.cmdSave->click();

    EXPECT_EQ(LastBox(), (RecordedMessageBox{"Description already exists. Enter a unique one!", 48,
                                             "Decription Already Exists"}));
    EXPECT_EQ(CountRows("PhotoDescription = 'bADGE'"), 0);
}

TEST_F(SavingTest, AnEditedRecordKeepsItsOwnDescriptionInOtherCapitals) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    Open();
    m_dialog.txtDescription->SetText("PORTRAIT");
    m_dialog.txtComments->SetText("new comment");

    m_dialog.cmdSave->click();

    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_EQ(CountRows("PhotoDescription = 'PORTRAIT' AND PhotoComments = 'new comment'"), 1);
    EXPECT_EQ(CountRows(), 2);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"PORTRAIT", "Badge"}));
    EXPECT_TRUE(m_dialog.m_bEditing);
    EXPECT_FALSE(m_dialog.cmdSave->isEnabled());
    EXPECT_EQ(m_dialog.windowTitle().toStdString(), "EMP - [EMP001  Jane Smith]");
}

TEST_F(SavingTest, TheDefaultMarkEndsOnTheSavedPhotoOrNowhere) {
    AddPhoto("Portrait", true);
    AddPhoto("Badge");
    Open();
    m_dialog.lvwPicDescription_ItemClick("ItemKeyBadge1");
    m_dialog.chkDefault->click();
    EXPECT_TRUE(m_dialog.cmdSave->isEnabled());
    EXPECT_FALSE(m_dialog.m_bChanged) << "the mark alone is no unsaved change";

    m_dialog.cmdSave->click();
    EXPECT_EQ(CountRows("DefaultPhoto <> 0"), 1);
    EXPECT_EQ(CountRows("DefaultPhoto <> 0 AND PhotoDescription = 'Badge'"), 1);

    m_dialog.chkDefault->click();
    m_dialog.cmdSave->click();
    EXPECT_EQ(CountRows("DefaultPhoto <> 0"), 0);
}

TEST_F(SavingTest, TheDefaultMarkInNeitherModeDoesNotEnableSave) {
    AddPhoto("Portrait");
    Open();
    m_dialog.m_bEditing = false;
    m_dialog.chkDefault->click();
    EXPECT_FALSE(m_dialog.cmdSave->isEnabled());
}

TEST_F(SavingTest, AFailedSaveLeavesListCaptionAndModeAsTheyWere) {
    AddPhoto("Portrait");
    Open();
    AddFromClipboard();
    m_dialog.txtDescription->SetText("Scan");
    const QString caption = m_dialog.windowTitle();
    m_connection->Execute("DROP TABLE Photos");

    EXPECT_FALSE(m_dialog.cmdSave_Click());

    ASSERT_FALSE(m_ui.MessageBoxes().empty());
    EXPECT_EQ(LastBox().flags, 0);
    EXPECT_EQ(LastBox().title, "VeskPhoto");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Portrait"}));
    EXPECT_EQ(m_dialog.windowTitle(), caption);
    EXPECT_TRUE(m_dialog.m_bAdding);
    EXPECT_TRUE(m_dialog.cmdSave->isEnabled());
}

TEST_F(SavingTest, DeleteAsksAndDeletesOnlyOnYes) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    Open();

    for (int answer : {MessageBoxAnswer::No, MessageBoxAnswer::Cancel}) {
        m_ui.QueueAnswer(answer);
        m_dialog.mnuDeleteCurrentPhoto->trigger();
        EXPECT_EQ(CountRows(), 2);
        EXPECT_EQ(m_dialog.txtDescription->Text(), "Portrait");
    }
    EXPECT_EQ(LastBox(),
              (RecordedMessageBox{"Delete Photo and it's details?", 35, "Photo Delete Confirm"}));

    m_ui.QueueAnswer(MessageBoxAnswer::Yes);
    m_dialog.mnuDeleteCurrentPhoto->trigger();
    EXPECT_EQ(CountRows("PhotoDescription = 'Portrait'"), 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Badge"}));
    EXPECT_EQ(m_dialog.m_sCurrentKey, "");
    EXPECT_EQ(m_dialog.txtDescription->Text(), "");
    EXPECT_TRUE(m_dialog.m_bEditing) << "the mode stays with lines left";
    EXPECT_EQ(m_dialog.windowTitle().toStdString(), "EMP - [EMP001  Jane Smith]");
}

TEST_F(SavingTest, DeletingTheLastPhotoSwitchesToAddMode) {
    AddPhoto("Portrait");
    Open();
    m_ui.QueueAnswer(MessageBoxAnswer::Yes);
    m_dialog.mnuDeleteCurrentPhoto->trigger();
    EXPECT_EQ(CountRows(), 0);
    EXPECT_TRUE(m_dialog.m_bAdding);
    EXPECT_TRUE(Lines().empty());

    m_dialog.DeleteCurrentPhoto();
    EXPECT_EQ(LastBox(), (RecordedMessageBox{"There are no Photos to delete", 48, "No Photos"}));
}

TEST_F(SavingTest, CloseAsksAboutUnsavedChanges) {
    AddPhoto("Portrait");
    Open();
    m_dialog.show();
    m_dialog.txtComments->SetText("changed");

    m_ui.QueueAnswer(MessageBoxAnswer::Cancel);
    m_dialog.cmdClose->click();
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(LastBox(), (RecordedMessageBox{"Save changes?", 35, "Changes Not Saved"}));

    m_ui.QueueAnswer(MessageBoxAnswer::No);
    m_dialog.cmdClose->click();
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(CountRows("PhotoComments = 'changed'"), 0);
}

TEST_F(SavingTest, CloseWithYesSavesFirst) {
    AddPhoto("Portrait");
    Open();
    m_dialog.show();
    m_dialog.txtComments->SetText("changed");
    m_ui.QueueAnswer(MessageBoxAnswer::Yes);
    m_dialog.cmdClose->click();
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(CountRows("PhotoComments = 'changed'"), 1);
}

TEST_F(SavingTest, CloseWithYesStaysOpenWhenTheSaveIsRefused) {
    AddPhoto("Portrait");
    Open();
    m_dialog.show();
    m_dialog.txtDescription->SetText("");
    m_ui.QueueAnswer(MessageBoxAnswer::Yes);
    m_dialog.cmdClose->click();
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(LastBox().text, "Enter a description for the photo!");
}

TEST_F(SavingTest, TheCloseBoxAsksNothing) {
    AddPhoto("Portrait");
    Open();
    m_dialog.show();
    m_dialog.txtComments->SetText("changed");
    m_dialog.close();
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_F(SavingTest, FileStorageKeepsTheSavedPhotoInItsFile) {
    UseFileStorage();
    Open();
    AddFromClipboard(25, 25);
    m_dialog.txtDescription->SetText("Scan");
    m_dialog.cmdSave->click();
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    EXPECT_TRUE(std::filesystem::exists(PhotosFolderPath() + "/EMP001_Scan_EMP.vpc"));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Scan"}));
}

}  // namespace
}  // namespace vesk::photo_editor::testing

namespace vesk::photo_editor::testing {
namespace {

using ui::MessageBoxAnswer;

// Saves and deletes the store refuses: the dialog shows what is stored, nothing else.
class RefusedChangeTest : public EditorTest {
protected:
    void RefuseInserts() {
        m_connection->Execute(
            "CREATE TRIGGER RefuseInsert BEFORE INSERT ON Photos "
            "BEGIN SELECT RAISE(ABORT, 'the photo table is full'); END");
    }
};

TEST_F(RefusedChangeTest, AFailedSaveKeepsTheOtherPhotosDefaultMark) {
    AddPhoto("Portrait", true);
    Open();
    m_ui.SetClipboardPicture(picture::Picture::FromBytes(BitmapBytes(10, 10)));
    m_dialog.mnuAddFromClipBoard->trigger();
    m_dialog.txtDescription->SetText("Scan");
    RefuseInserts();

    EXPECT_FALSE(m_dialog.cmdSave_Click());

    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_NE(m_ui.MessageBoxes()[0].text.find("the photo table is full"), std::string::npos);
    EXPECT_EQ(m_ui.MessageBoxes()[0].flags, 0);
    EXPECT_EQ(CountRows("PhotoDescription = 'Portrait' AND DefaultPhoto <> 0"), 1);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Portrait"}));
}

TEST_F(RefusedChangeTest, ADeleteTheStoreRefusesKeepsItsLine) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    Open();
    m_connection->Execute(
        "CREATE TRIGGER RefuseDelete BEFORE DELETE ON Photos "
        "BEGIN SELECT RAISE(ABORT, 'photos are kept'); END");
    m_ui.QueueAnswer(MessageBoxAnswer::Yes);

    m_dialog.mnuDeleteCurrentPhoto->trigger();

    ASSERT_EQ(m_ui.MessageBoxes().size(), 2u);
    EXPECT_NE(m_ui.MessageBoxes()[1].text.find("photos are kept"), std::string::npos);
    EXPECT_EQ(m_ui.MessageBoxes()[1].flags, 48);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Portrait", "Badge"}));
    EXPECT_EQ(m_dialog.m_sCurrentKey, "ItemKeyPortrait0");
    EXPECT_EQ(CountRows(), 2);
}

}  // namespace
}  // namespace vesk::photo_editor::testing
