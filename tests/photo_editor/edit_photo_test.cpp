#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

#include "editor_fixture.h"
#include "qt_application.h"

namespace vesk::photo_editor::testing {
namespace {

class EditPhotoTest : public EditorTest {
protected:
    // Runs `user` on the editor dialog as soon as EditPhoto shows it.
    static void WhenShown(std::function<void(frmPhoto&)> user) {
        vesk::test::RunOnModal<frmPhoto>(std::move(user));
    }

    Picture Edit() { return m_store.EditPhoto("EMP", "EMP001", "Jane Smith", m_connection); }
};

TEST_F(EditPhotoTest, ReturnsThePictureShownWhenTheUserCloses) {
    AddPhoto("Portrait", false, 40, 30);
    AddPhoto("Badge", false, 20, 50);
    QPointer<frmPhoto> shown;
    WhenShown([&](frmPhoto& dialog) {
        shown = &dialog;
        EXPECT_EQ(dialog.objcPhoto(), &m_store);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "EMP - [EMP001  Jane Smith]");
        dialog.lvwPicDescription_ItemClick("ItemKeyBadge1");
        dialog.cmdClose->click();
    });

    Picture picture = Edit();

    EXPECT_EQ(picture.WidthPixels(), 20);
    EXPECT_EQ(picture.HeightPixels(), 50);
    EXPECT_TRUE(shown.isNull()) << "the dialog is released after the edit";
    EXPECT_EQ(m_store.PhotoDescription(), "Badge") << "the store stays where the dialog left it";
}

TEST_F(EditPhotoTest, EachCallGetsAFreshDialog) {
    AddPhoto("Portrait");
    AddPhoto("Badge");
    WhenShown([](frmPhoto& dialog) {
        dialog.optActualsize->click();
        dialog.lvwPicDescription_ItemClick("ItemKeyBadge1");
        dialog.close();  // the close box asks nothing
    });
    Edit();

    WhenShown([](frmPhoto& dialog) {
        EXPECT_TRUE(dialog.optFit->isChecked());
        EXPECT_EQ(dialog.m_sCurrentKey, "ItemKeyPortrait0");
        EXPECT_EQ(dialog.lvwPicDescription->Count(), 2);
        dialog.close();
    });
    Picture picture = Edit();
    EXPECT_EQ(picture.WidthPixels(), 40);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_F(EditPhotoTest, AnOwnerWithoutPhotosGivesAnEmptyPicture) {
    WhenShown([](frmPhoto& dialog) {
        EXPECT_TRUE(dialog.m_bAdding);
        dialog.cmdClose->click();
    });
    EXPECT_EQ(Edit().Handle(), 0u);
}

}  // namespace
}  // namespace vesk::photo_editor::testing
