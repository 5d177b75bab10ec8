#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "editor_fixture.h"

namespace vesk::photo_editor::testing {
namespace {

using ui::MessageBoxAnswer;

// What the user can use at one moment: Save, the details, whether closing would ask about
// unsaved changes, and the action menu's items as it opens.
struct Commands {
    bool save = false;
    bool details = false;
    bool unsaved = false;
    bool addFromFile = false;
    bool addFromClipboard = false;
    bool copy = false;
    bool remove = false;

    bool operator==(const Commands&) const = default;
};

void PrintTo(const Commands& seen, std::ostream* out) {
    *out << "{save " << seen.save << ", details " << seen.details << ", unsaved " << seen.unsaved
         << ", file " << seen.addFromFile << ", clipboard " << seen.addFromClipboard << ", copy "
         << seen.copy << ", delete " << seen.remove << "}";
}

// One user action and what the dialog offers after it.
struct Step {
    std::string name;
    std::function<void()> action;
    Commands expected;
};

class CommandStatesTest : public EditorTest {
protected:
    Commands Observe() {
        Commands seen;
        seen.save = m_dialog.cmdSave->isEnabled();
        seen.unsaved = m_dialog.HasUnsavedChanges();
        seen.details = !m_dialog.txtDescription->Locked();
        EXPECT_EQ(!m_dialog.txtComments->Locked(), seen.details);
        EXPECT_EQ(m_dialog.chkDefault->isEnabled(), seen.details);
        m_dialog.PopupMenuRunner = [&](QMenu&, const QPoint&) {
            seen.addFromFile = m_dialog.mnuAddFromFile->isEnabled();
            seen.addFromClipboard = m_dialog.mnuAddFromClipBoard->isEnabled();
            seen.copy = m_dialog.mnuCopyToClipboard->isEnabled();
            seen.remove = m_dialog.mnuDeleteCurrentPhoto->isEnabled();
        };
        m_dialog.chkAction->click();
        return seen;
    }

    // Opens the action menu and chooses `item`, as the user does; a disabled item does nothing.
    void Choose(QAction* item) {
        m_dialog.PopupMenuRunner = [item](QMenu&, const QPoint&) { item->trigger(); };
        m_dialog.chkAction->click();
    }

    void PutPictureOnClipboard(int width = 12, int height = 12) {
        m_ui.SetClipboardPicture(picture::Picture::FromBytes(BitmapBytes(width, height)));
    }

    void Run(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.name);
            step.action();
            EXPECT_EQ(Observe(), step.expected);
        }
    }
};

// Edit mode on a shown record, nothing changed, an empty clipboard.
constexpr Commands Editing{.details = true, .addFromFile = true, .copy = true, .remove = true};
// Add mode with an empty picture area.
constexpr Commands AddingEmpty{.details = true, .addFromFile = true, .addFromClipboard = true};

Commands With(Commands base, const std::function<void(Commands&)>& change) {
    change(base);
    return base;
}

TEST_F(CommandStatesTest, EditingARecordOffersSaveOnlyForWhatCanBeStored) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    AddPhoto("Passport");
    Open();
    const Commands edited = With(Editing, [](Commands& c) { c.save = c.unsaved = true; });
    const Commands saveOnly = With(Editing, [](Commands& c) { c.save = true; });
    Run({
        {"opening shows the first record for editing", [] {}, Editing},
        {"marking it default", [&] { m_dialog.chkDefault->click(); }, saveOnly},
        {"clicking another line", [&] { m_dialog.lvwPicDescription_ItemClick("ItemKeyBadge1"); },
         Editing},
        {"typing comments", [&] { m_dialog.txtComments->SetText("edited"); }, edited},
        {"saving", [&] { m_dialog.cmdSave->click(); }, Editing},
        // A save withdraws Save but leaves the typing counted: the mark brings both back.
        {"marking it default after the save", [&] { m_dialog.chkDefault->click(); }, edited},
        {"clicking the first line", [&] { m_dialog.lvwPicDescription_ItemClick(Keys().front()); },
         Editing},
        {"switching to actual size", [&] { m_dialog.optActualsize->click(); }, saveOnly},
        {"typing a description", [&] { m_dialog.txtDescription->SetText("Card"); }, edited},
        {"declining to delete",
         [&] {
             m_ui.QueueAnswer(MessageBoxAnswer::No);
             Choose(m_dialog.mnuDeleteCurrentPhoto);
         },
         edited},
        {"deleting it",
         [&] {
             m_ui.QueueAnswer(MessageBoxAnswer::Yes);
             Choose(m_dialog.mnuDeleteCurrentPhoto);
         },
         With(Editing, [](Commands& c) { c.copy = c.remove = false; })},
        {"choosing delete again with no record shown",
         [&] { Choose(m_dialog.mnuDeleteCurrentPhoto); },
         With(Editing, [](Commands& c) { c.copy = c.remove = false; })},
        {"a picture arriving on the clipboard", [&] { PutPictureOnClipboard(); },
         With(Editing,
              [](Commands& c) {
                  c.copy = c.remove = false;
                  c.addFromClipboard = true;
              })},
    });
}

TEST_F(CommandStatesTest, AddingLeadsThroughAddModeToNeitherMode) {
    AddPhoto("Portrait");
    Open();
    const Commands pasted =
        With(AddingEmpty, [](Commands& c) { c.save = c.unsaved = c.copy = true; });
    const Commands neither = With(AddingEmpty, [](Commands& c) { c.copy = true; });
    Run({
        {"typing comments", [&] { m_dialog.txtComments->SetText("draft"); },
         With(Editing, [](Commands& c) { c.save = c.unsaved = true; })},
        {"cancelling the question before pasting",
         [&] {
             PutPictureOnClipboard();
             m_ui.QueueAnswer(MessageBoxAnswer::Cancel);
             Choose(m_dialog.mnuAddFromClipBoard);
         },
         With(Editing, [](Commands& c) { c.save = c.unsaved = c.addFromClipboard = true; })},
        {"pasting without saving",
         [&] {
             m_ui.QueueAnswer(MessageBoxAnswer::No);
             Choose(m_dialog.mnuAddFromClipBoard);
         },
         pasted},
        {"typing comments in add mode", [&] { m_dialog.txtComments->SetText("new"); }, pasted},
        {"saving it with a description",
         [&] {
             m_dialog.txtDescription->SetText("Scan");
             m_dialog.cmdSave->click();
         },
         neither},
        {"typing comments in neither mode", [&] { m_dialog.txtComments->SetText("later"); },
         neither},
        {"marking it default in neither mode", [&] { m_dialog.chkDefault->click(); }, neither},
        {"clicking its line", [&] { m_dialog.lvwPicDescription_ItemClick(Keys().front()); },
         With(Editing, [](Commands& c) { c.addFromClipboard = true; })},
        {"cancelling the file dialog after emptying the clipboard",
         [&] {
             m_ui.ClearClipboard();
             m_ui.QueueOpenFile("");
             Choose(m_dialog.mnuAddFromFile);
         },
         AddingEmpty},
    });
}

TEST_F(CommandStatesTest, WithoutRecordsTheDetailsStayLockedUntilAnAddIsChosen) {
    Open();
    const Commands locked = With(AddingEmpty, [](Commands& c) { c.details = false; });
    Run({
        {"opening", [] {}, locked},
        {"pasting a picture",
         [&] {
             PutPictureOnClipboard();
             Choose(m_dialog.mnuAddFromClipBoard);
         },
         With(AddingEmpty, [](Commands& c) { c.save = c.unsaved = c.copy = true; })},
        {"saving and clicking its line",
         [&] {
             m_dialog.txtDescription->SetText("Scan");
             m_dialog.cmdSave->click();
             m_dialog.lvwPicDescription_ItemClick(Keys().front());
         },
         With(Editing, [](Commands& c) { c.addFromClipboard = true; })},
        {"deleting the only record",
         [&] {
             m_ui.QueueAnswer(MessageBoxAnswer::Yes);
             Choose(m_dialog.mnuDeleteCurrentPhoto);
         },
         AddingEmpty},
    });
}

TEST_F(CommandStatesTest, APictureOverTheLimitWithdrawsSaveUntilTheNextEdit) {
    m_store.PhotosMaxSize = 1;  // a bitmap of 30 x 20 is about 1.8 KB
    Open();
    PutPictureOnClipboard(30, 20);
    const Commands refused = With(AddingEmpty, [](Commands& c) { c.copy = true; });
    Run({
        {"pasting it", [&] { Choose(m_dialog.mnuAddFromClipBoard); }, refused},
        {"typing its description", [&] { m_dialog.txtDescription->SetText("Scan"); },
         With(refused, [](Commands& c) { c.save = c.unsaved = true; })},
        {"switching the view", [&] { m_dialog.optActualsize->click(); }, refused},
    });
    EXPECT_TRUE(m_dialog.m_bPhotoTooBig);
}

// Message boxes that note whether Save was enabled behind each of them.
class SaveBehindBoxes : public ui::ScriptedUiServices {
public:
    explicit SaveBehindBoxes(const frmPhoto& dialog) : m_dialog(dialog) {}
    std::vector<bool> saveShown;

protected:
    int ShowMessageBox(const std::string& text, int flags, const std::string& title) override {
        saveShown.push_back(m_dialog.cmdSave->isEnabled());
        return ScriptedUiServices::ShowMessageBox(text, flags, title);
    }

private:
    const frmPhoto& m_dialog;
};

TEST_F(CommandStatesTest, TheSizeWarningAppearsWithSaveAlreadyWithdrawn) {
    m_store.PhotosMaxSize = 1;
    Open();
    SaveBehindBoxes boxes(m_dialog);
    ui::ScopedUi scoped(boxes);
    boxes.SetClipboardPicture(picture::Picture::FromBytes(BitmapBytes(30, 20)));

    Choose(m_dialog.mnuAddFromClipBoard);

    ASSERT_EQ(boxes.MessageBoxes().size(), 1u);
    EXPECT_EQ(boxes.saveShown, std::vector<bool>{false});
}

}  // namespace
}  // namespace vesk::photo_editor::testing
