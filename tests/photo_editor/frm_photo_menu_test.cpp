#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "editor_fixture.h"
#include "picture_files.h"

namespace vesk::photo_editor::testing {
namespace {

// What the action menu offered when it opened.
struct MenuSeen {
    bool addFromFile = false;
    bool addFromClipboard = false;
    bool copyToClipboard = false;
    bool deletePhoto = false;
    int buttonValue = -1;
    QPoint position;
    int opened = 0;
};

class ActionMenuTest : public EditorTest {
protected:
    MenuSeen Click() {
        MenuSeen seen;
        m_dialog.PopupMenuRunner = [&](QMenu& menu, const QPoint& position) {
            EXPECT_EQ(&menu, m_dialog.mnuPhotoAction);
            seen.addFromFile = m_dialog.mnuAddFromFile->isEnabled();
            seen.addFromClipboard = m_dialog.mnuAddFromClipBoard->isEnabled();
            seen.copyToClipboard = m_dialog.mnuCopyToClipboard->isEnabled();
            seen.deletePhoto = m_dialog.mnuDeleteCurrentPhoto->isEnabled();
            seen.buttonValue = m_dialog.chkAction->Value();
            seen.position = position;
            ++seen.opened;
            // A click on the button while its menu is open is swallowed.
            m_dialog.chkAction_Click();
        };
        m_dialog.chkAction->click();
        return seen;
    }

    void PutPictureOnClipboard() {
        m_ui.SetClipboardPicture(picture::Picture::FromBytes(BitmapBytes(5, 5)));
    }
};

TEST_F(ActionMenuTest, EditModeOffersEverythingButAnEmptyClipboard) {
    AddPhoto("Portrait");
    Open();
    MenuSeen seen = Click();
    EXPECT_EQ(seen.opened, 1);
    EXPECT_TRUE(seen.addFromFile);
    EXPECT_FALSE(seen.addFromClipboard);
    EXPECT_TRUE(seen.copyToClipboard);
    EXPECT_TRUE(seen.deletePhoto);
    EXPECT_EQ(seen.buttonValue, 1);
    EXPECT_EQ(m_dialog.chkAction->Value(), 0);
    EXPECT_EQ(seen.position, QPoint(m_dialog.chkAction->x(),
                                    m_dialog.chkAction->y() + m_dialog.chkAction->height()));

    PutPictureOnClipboard();
    EXPECT_TRUE(Click().addFromClipboard);
}

TEST_F(ActionMenuTest, AddModeOffersTheClipboardEvenWhenEmpty) {
    Open();
    MenuSeen seen = Click();
    EXPECT_TRUE(seen.addFromFile);
    EXPECT_TRUE(seen.addFromClipboard);
    EXPECT_FALSE(seen.copyToClipboard);
    EXPECT_FALSE(seen.deletePhoto);
}

TEST_F(ActionMenuTest, NeitherModeOffersNoDeleteAndFollowsTheClipboard) {
    AddPhoto("Portrait");
    Open();
    m_dialog.m_bEditing = false;
    MenuSeen seen = Click();
    EXPECT_FALSE(seen.deletePhoto);
    EXPECT_FALSE(seen.addFromClipboard);
    EXPECT_TRUE(seen.copyToClipboard);
    PutPictureOnClipboard();
    EXPECT_TRUE(Click().addFromClipboard);
}

TEST_F(ActionMenuTest, TheMenuIsUsableAgainAfterItsRunnerFailed) {
    AddPhoto("Portrait");
    Open();
    m_dialog.PopupMenuRunner = [](QMenu&, const QPoint&) { throw std::runtime_error("boom"); };
    m_dialog.chkAction->click();
    EXPECT_EQ(m_dialog.chkAction->Value(), 0);
    EXPECT_EQ(Click().opened, 1);
}

TEST_F(ActionMenuTest, TheMenuHasItsItemsInOrderWithAddFromFileAsDefault) {
    QStringList names;
    for (QAction* action : m_dialog.mnuPhotoAction->actions()) {
        names << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(names, (QStringList{"Add Photo From File", "Add Photo From Clipboard", "-",
                                  "Copy Photo To Clipboard", "Delete Current Photo"}));
    EXPECT_EQ(m_dialog.mnuPhotoAction->defaultAction(), m_dialog.mnuAddFromFile);
    EXPECT_EQ(m_dialog.mnuPhotoAction->title(), QStringLiteral("Photo Action"));
}

}  // namespace
}  // namespace vesk::photo_editor::testing
