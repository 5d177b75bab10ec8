// The dialog acts on the record it shows: after every save, add, delete and selection, the
// photo store stands on that record, and the table changes exactly as the list does.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "editor_fixture.h"
#include "vesk/data_access/recordset.h"

namespace vesk::photo_editor::testing {
namespace {

using ui::MessageBoxAnswer;
using ui::RecordedMessageBox;

class RecordShownTest : public EditorTest {
protected:
    // Every row as "description:comments:default", in description order.
    std::string Table() {
        data_access::Recordset rows;
        rows.Open(
            "SELECT group_concat(PhotoDescription || ':' || PhotoComments || ':' || "
            "DefaultPhoto, ' ') FROM (SELECT * FROM Photos ORDER BY PhotoDescription)",
            m_connection, data_access::adOpenStatic, data_access::adLockReadOnly);
        return rows.Fields().Item(0L).Value().ToText();
    }
    void EditComments(const std::string& comments) {
        m_dialog.txtComments->SetText(comments);
        m_dialog.cmdSave->click();
    }
    void Delete() {
        m_ui.QueueAnswer(MessageBoxAnswer::Yes);
        m_dialog.mnuDeleteCurrentPhoto->trigger();
    }
    void AddFromClipboard(const std::string& description) {
        m_ui.SetClipboardPicture(picture::Picture::FromBytes(BitmapBytes(12, 12)));
        m_dialog.mnuAddFromClipBoard->trigger();
        m_dialog.txtDescription->SetText(description);
        m_dialog.cmdSave->click();
    }
    void Press(Qt::Key key) {
        m_dialog.show();
        m_dialog.lvwPicDescription->setFocus();
        QTest::keyClick(m_dialog.lvwPicDescription, key);
    }

    // Saves the shown photo twice, then deletes it: only that photo's row changes and goes.
    void SaveTwiceThenDelete() {
        AddPhoto("Portrait", true);
        AddPhoto("Badge");
        Open();
        ASSERT_EQ(m_dialog.txtDescription->Text(), "Portrait");

        EditComments("once");
        EditComments("twice");
        EXPECT_EQ(Table(), "Badge:about Badge:0 Portrait:twice:1");

        Delete();
        EXPECT_EQ(Table(), "Badge:about Badge:0") << "the deleted row is the one that was shown";
        EXPECT_EQ(Lines(), (std::vector<std::string>{"Badge"}));
    }
};

TEST_F(RecordShownTest, TwoSavesInARowChangeTheShownPhotoOnly) {
    SaveTwiceThenDelete();
}

TEST_F(RecordShownTest, TwoSavesInARowChangeTheShownPhotoOnlyInFileStorage) {
    UseFileStorage();
    SaveTwiceThenDelete();
    EXPECT_FALSE(std::filesystem::exists(PhotosFolderPath() + "/EMP001_Portrait_EMP.vpc"));
    EXPECT_TRUE(std::filesystem::exists(PhotosFolderPath() + "/EMP001_Badge_EMP.vpc"));
}

TEST_F(RecordShownTest, KeyboardSelectionShowsTheRecordThatDeleteThenRemoves) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    AddPhoto("Scan");
    Open();
    Press(Qt::Key_Down);
    EXPECT_EQ(m_dialog.txtDescription->Text(), "Badge");
    Press(Qt::Key_End);
    EXPECT_EQ(m_dialog.txtDescription->Text(), "Scan");
    Press(Qt::Key_Home);
    Press(Qt::Key_Down);
    ASSERT_EQ(m_dialog.txtComments->Text(), "about Badge");

    Delete();
    EXPECT_EQ(Table(), "Portrait:about Portrait:0 Scan:about Scan:0");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Portrait", "Scan"}));
}

TEST_F(RecordShownTest, NothingIsDeletedWhileNoRecordIsShown) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    AddPhoto("Scan");
    Open();
    Delete();
    ASSERT_EQ(CountRows(), 2);
    const std::size_t boxes = m_ui.MessageBoxes().size();

    m_dialog.DeleteCurrentPhoto();
    bool offered = true;
    m_dialog.PopupMenuRunner = [&](QMenu&, const QPoint&) {
        offered = m_dialog.mnuDeleteCurrentPhoto->isEnabled();
    };
    m_dialog.chkAction->click();

    EXPECT_FALSE(offered);
    EXPECT_EQ(CountRows(), 2);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Badge", "Scan"}));
    EXPECT_EQ(m_ui.MessageBoxes().size(), boxes) << "no question about a photo not shown";
}

TEST_F(RecordShownTest, LinesOfOneDescriptionShowTheirOwnRecords) {
    AddPhoto("Scan");
    AddPhoto("Scan");
    m_connection->Execute("UPDATE Photos SET PhotoComments = 'second' WHERE rowid = 2");
    Open();
    m_dialog.lvwPicDescription_ItemClick(Keys()[1]);
    EXPECT_EQ(m_dialog.txtComments->Text(), "second");

    Delete();
    EXPECT_EQ(Table(), "Scan:about Scan:0");
}

TEST_F(RecordShownTest, AddingAfterADeleteKeepsEveryNewLine) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    Open();
    AddFromClipboard("First");
    m_dialog.lvwPicDescription_ItemClick(Keys()[1]);
    Delete();
    AddFromClipboard("Second");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Second", "First", "Badge"}));
    EXPECT_EQ(m_dialog.txtDescription->Text(), "Second");

    m_dialog.lvwPicDescription_ItemClick(Keys()[0]);
    EditComments("edited after adding");
    EXPECT_EQ(CountRows("PhotoDescription = 'Second' AND PhotoComments = 'edited after adding'"),
              1);
    EXPECT_EQ(CountRows(), 3);
}

TEST_F(RecordShownTest, DescriptionsCompareUnderTheOneLetterCaseRule) {
    AddPhoto("STRASSE");
    AddPhoto("Straße");
    Open();
    m_dialog.lvwPicDescription_ItemClick(Keys()[1]);
    EXPECT_EQ(m_dialog.txtDescription->Text(), "Straße");
    EXPECT_EQ(m_dialog.txtComments->Text(), "about Straße");

    AddFromClipboard("STRAẞE");
    EXPECT_EQ(m_ui.MessageBoxes().back().title, "Description Exist");
    m_dialog.txtDescription->SetText("Strasse\u0301");
    m_dialog.cmdSave->click();
    EXPECT_EQ(CountRows(), 3);

    m_dialog.lvwPicDescription_ItemClick(Keys()[2]);
    ASSERT_EQ(m_dialog.txtDescription->Text(), "Straße");
    m_dialog.txtDescription->SetText("strasse");
    m_dialog.cmdSave->click();
    EXPECT_EQ(m_ui.MessageBoxes().back().title, "Decription Already Exists");
}

TEST_F(RecordShownTest, EscapeGoesThroughCloseAndItsQuestion) {
    AddPhoto("Portrait");
    Open();
    m_dialog.show();
    m_dialog.txtComments->SetText("changed");
    m_ui.QueueAnswer(MessageBoxAnswer::Cancel);
    QTest::keyClick(&m_dialog, Qt::Key_Escape);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(m_ui.MessageBoxes().back(),
              (RecordedMessageBox{"Save changes?", 35, "Changes Not Saved"}));

    m_ui.QueueAnswer(MessageBoxAnswer::Yes);
    QTest::keyClick(&m_dialog, Qt::Key_Escape);
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(CountRows("PhotoComments = 'changed'"), 1);
}

TEST_F(RecordShownTest, ActionIsAButtonThatStaysPressedWhileItsMenuIsOpen) {
    AddPhoto("Portrait");
    Open();
    EXPECT_TRUE(m_dialog.chkAction->isCheckable());
    EXPECT_NE(qobject_cast<QPushButton*>(m_dialog.chkAction), nullptr);
    bool pressed = false;
    m_dialog.PopupMenuRunner = [&](QMenu&, const QPoint&) {
        pressed = m_dialog.chkAction->isChecked();
    };
    m_dialog.chkAction->click();
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(m_dialog.chkAction->isChecked());
}

TEST_F(RecordShownTest, ARefusedSaveInFileStorageLeavesNoFile) {
    UseFileStorage();
    AddPhoto("Portrait", true);
    Open();
    m_connection->Execute(
        "CREATE TRIGGER RefuseInsert BEFORE INSERT ON Photos WHEN NEW.PhotoDescription = 'Scan' "
        "BEGIN SELECT RAISE(ABORT, 'no scans'); END");
    AddFromClipboard("Scan");
    EXPECT_EQ(m_ui.MessageBoxes().back().flags, 0);
    EXPECT_FALSE(std::filesystem::exists(PhotosFolderPath() + "/EMP001_Scan_EMP.vpc"));
    EXPECT_EQ(Table(), "Portrait:about Portrait:1");
}

}  // namespace
}  // namespace vesk::photo_editor::testing
