#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "editor_fixture.h"
#include "vesk/photo_editor/twips.h"

namespace vesk::photo_editor::testing {
namespace {

using OpeningTest = EditorTest;

std::string Caption(const frmPhoto& dialog) {
    return dialog.windowTitle().toStdString();
}

void ExpectDetailsLocked(const frmPhoto& dialog, bool locked) {
    EXPECT_EQ(dialog.txtDescription->Locked(), locked);
    EXPECT_EQ(dialog.txtComments->Locked(), locked);
    const long colour = locked ? SystemButtonFaceColor : SystemWindowColor;
    EXPECT_EQ(dialog.txtDescription->BackColor(), colour);
    EXPECT_EQ(dialog.txtComments->BackColor(), colour);
    EXPECT_EQ(dialog.chkDefault->isEnabled(), !locked);
}

TEST_F(OpeningTest, WithoutRecordsTheDialogAddsWithItsDetailsLocked) {
    frmPhoto& dialog = Open();

    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(dialog.m_bAdding);
    EXPECT_FALSE(dialog.m_bEditing);
    EXPECT_EQ(dialog.m_sCurrentKey, "");
    ExpectDetailsLocked(dialog, true);
    EXPECT_FALSE(dialog.cmdSave->isEnabled());
    EXPECT_EQ(Caption(dialog), "EMP - [EMP001  Jane Smith]");
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_F(OpeningTest, WithoutGroupTheCaptionIsTheModeText) {
    EXPECT_EQ(Caption(Open("")), "Add Photo");
}

TEST_F(OpeningTest, WithoutGroupAndWithRecordsTheCaptionIsEmpty) {
    AddRow("EMP001", "Portrait", "", false, BitmapBytes(4, 4));
    EXPECT_EQ(Caption(Open("")), "");
}

TEST_F(OpeningTest, WithoutDefaultTheFirstLineIsShownInEditMode) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    AddPhoto("Passport");
    frmPhoto& dialog = Open();

    EXPECT_EQ(Lines(), (std::vector<std::string>{"Portrait", "Badge", "Passport"}));
    EXPECT_EQ(Keys(),
              (std::vector<std::string>{"ItemKeyPortrait0", "ItemKeyBadge1", "ItemKeyPassport2"}));
    EXPECT_EQ(dialog.lvwPicDescription->SelectedKey(), "ItemKeyPortrait0");
    EXPECT_EQ(dialog.m_sCurrentKey, "ItemKeyPortrait0");
    EXPECT_TRUE(dialog.m_bEditing);
    EXPECT_FALSE(dialog.m_bAdding);
    EXPECT_FALSE(dialog.m_bChanged);
    ExpectDetailsLocked(dialog, false);
    EXPECT_FALSE(dialog.cmdSave->isEnabled());
    EXPECT_EQ(dialog.txtDescription->Text(), "Portrait");
    EXPECT_EQ(dialog.txtComments->Text(), "about Portrait");
    EXPECT_EQ(dialog.chkDefault->Value(), 0);
    EXPECT_EQ(m_store.PhotoDescription(), "Portrait");
    EXPECT_EQ(Caption(dialog), "EMP - [EMP001  Jane Smith]");
}

TEST_F(OpeningTest, TheFirstDefaultRecordIsShown) {
    AddPhoto("Portrait");
    AddPhoto("Badge", true);
    AddPhoto("Passport", true);
    frmPhoto& dialog = Open();

    EXPECT_EQ(dialog.lvwPicDescription->SelectedKey(), "ItemKeyBadge1");
    EXPECT_EQ(dialog.m_sCurrentKey, "ItemKeyBadge1");
    EXPECT_EQ(dialog.txtDescription->Text(), "Badge");
    EXPECT_EQ(dialog.chkDefault->Value(), 1);
    EXPECT_TRUE(dialog.m_bEditing);
    EXPECT_FALSE(dialog.cmdSave->isEnabled());
}

TEST_F(OpeningTest, TheThirdRecordMarkedDefaultIsShown) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    AddPhoto("Passport", true);
    frmPhoto& dialog = Open();

    EXPECT_EQ(dialog.m_sCurrentKey, "ItemKeyPassport2");
    EXPECT_EQ(dialog.lvwPicDescription->SelectedKey(), "ItemKeyPassport2");
    EXPECT_EQ(m_store.PhotoDescription(), "Passport");
    EXPECT_EQ(m_store.OwnerPhoto.WidthPixels(), 40);
}

TEST_F(OpeningTest, EqualDescriptionsGetLinesOfTheirOwn) {
    AddPhoto("Portrait");
    AddPhoto("Portrait");
    Open();
    EXPECT_EQ(Keys(), (std::vector<std::string>{"ItemKeyPortrait0", "ItemKeyPortrait1"}));
}

TEST_F(OpeningTest, ClickingALineShowsItsRecordAndDropsUnsavedTyping) {
    AddPhoto("Portrait", false, 40, 30);
    AddPhoto("Badge", false, 20, 50);
    frmPhoto& dialog = Open();
    dialog.txtDescription->SetText("Typed but not saved");
    ASSERT_TRUE(dialog.cmdSave->isEnabled());

    dialog.lvwPicDescription_ItemClick("ItemKeyBadge1");

    EXPECT_EQ(dialog.m_sCurrentKey, "ItemKeyBadge1");
    EXPECT_EQ(dialog.txtDescription->Text(), "Badge");
    EXPECT_EQ(dialog.imgMainPhoto->Picture().WidthPixels(), 20);
    EXPECT_FALSE(dialog.cmdSave->isEnabled());
    EXPECT_FALSE(dialog.m_bChanged);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_F(OpeningTest, TypingEnablesSaveByMode) {
    AddPhoto("Portrait");
    frmPhoto& dialog = Open();

    dialog.txtComments->SetText("edited");
    EXPECT_TRUE(dialog.cmdSave->isEnabled());
    EXPECT_TRUE(dialog.m_bChanged);
    EXPECT_TRUE(dialog.HasUnsavedChanges());

    // In neither mode typing changes nothing; in add mode only the description counts.
    dialog.m_bEditing = false;
    dialog.cmdSave->setEnabled(false);
    dialog.m_bChanged = false;
    dialog.txtComments->SetText("again");
    dialog.txtDescription->SetText("again");
    EXPECT_FALSE(dialog.cmdSave->isEnabled());
    dialog.m_bAdding = true;
    dialog.txtComments->SetText("once more");
    EXPECT_FALSE(dialog.cmdSave->isEnabled());
    dialog.txtDescription->SetText("once more");
    EXPECT_TRUE(dialog.cmdSave->isEnabled());
}

TEST_F(OpeningTest, NoRecordsReportedLocksTheDetails) {
    AddPhoto("Portrait");
    frmPhoto& dialog = Open();
    std::int32_t position = 0;
    std::int32_t total = 3;
    dialog.objcPhoto_RecordPosition(position, total);
    ExpectDetailsLocked(dialog, false);
    total = 0;
    dialog.objcPhoto_RecordPosition(position, total);
    ExpectDetailsLocked(dialog, true);
}

TEST_F(OpeningTest, ARowSetThatCannotBeOpenedIsReportedAndTheDialogStillOpens) {
    m_store.TableName = "NoSuchTable";
    frmPhoto& dialog = Open();
    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_ui.MessageBoxes()[0].flags, 48);
    EXPECT_EQ(m_ui.MessageBoxes()[0].title, "VeskPhoto");
    EXPECT_TRUE(dialog.m_bAdding);
}

TEST_F(OpeningTest, TheLayoutFollowsTheDesign) {
    frmPhoto& dialog = Open();
    EXPECT_EQ(dialog.size(), QSize(509, 382));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.picPhotoFrame->Width(), 3955);
    EXPECT_EQ(dialog.picPhotoFrame->Height(), 3975);
    EXPECT_EQ(dialog.picPhotoFrame->ScaleWidth(), 3900);
    EXPECT_EQ(dialog.picPhotoFrame->ScaleHeight(), 3915);
    EXPECT_EQ(dialog.HScLeftSet->Height(), 250);
    EXPECT_EQ(dialog.VSctopSet->Width(), 250);
    EXPECT_EQ(dialog.lvwPicDescription->width(), 191);
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Vesk Photo Version 3.3."));
    EXPECT_TRUE(dialog.cmdSave->font().bold());
    EXPECT_DOUBLE_EQ(dialog.cmdClose->font().pointSizeF(), 9.75);
    EXPECT_TRUE(dialog.optFit->isChecked());
    EXPECT_EQ(dialog.chkDefault->toolTip(),
              QStringLiteral("Will set te current photo as a default photo"));
    EXPECT_EQ(dialog.findChild<QWidget*>(QStringLiteral("lvwPicDescription")),
              dialog.lvwPicDescription);
    EXPECT_EQ(dialog.lvwPicDescription->headerItem()->text(0), QStringLiteral("Description"));
}

}  // namespace
}  // namespace vesk::photo_editor::testing
