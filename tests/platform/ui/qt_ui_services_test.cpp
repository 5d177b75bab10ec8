#include "vesk/ui/qt_ui_services.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "picture_files.h"
#include "qt_application.h"
#include "scratch_folder.h"
#include "vesk/ui/message_box.h"

namespace vesk::ui {

using picture::Picture;
namespace {

class QtUiServicesTest : public test::QtApplicationTest {
protected:
    QtUiServices m_ui;
};

TEST_F(QtUiServicesTest, AMessageBoxShowsItsTextTitleAndButtonsAndReturnsTheOnePressed) {
    m_ui.SetApplicationTitle("VeskPhoto");
    OnModal<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "Save changes?");
        EXPECT_EQ(box.windowTitle(), "VeskPhoto");
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(static_cast<QAbstractButton*>(box.defaultButton()), box.button(QMessageBox::Yes));
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(m_ui.MessageBox("Save changes?", 35), MessageBoxAnswer::No);

    OnModal<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "Error Loading Photo");
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(m_ui.MessageBox("Cannot copy", 16, "Error Loading Photo"), MessageBoxAnswer::Ok);
}

TEST_F(QtUiServicesTest, PicturesGoThroughTheClipboardAndClearingEmptiesIt) {
    const Picture picture(test::PatternImage(6, 4));
    m_ui.SetClipboardPicture(picture);
    const Picture pasted = m_ui.GetClipboardPicture();
    ASSERT_EQ(pasted.WidthPixels(), 6);
    EXPECT_EQ(pasted.ToImage().pixel(5, 3), test::PatternColor(5, 3));

    const Picture metafile = Picture::FromBytes(test::Emf(3000, 2000));
    m_ui.SetClipboardPicture(metafile);
    EXPECT_EQ(m_ui.GetClipboardPicture().ToBytes(), metafile.ToBytes());

    m_ui.ClearClipboard();
    EXPECT_EQ(m_ui.GetClipboardPicture().Handle(), 0u);
    m_ui.SetClipboardPicture(picture);
    m_ui.SetClipboardPicture(Picture());
    EXPECT_TRUE(m_ui.GetClipboardPicture().IsEmpty());
}

TEST_F(QtUiServicesTest, TheOpenFileDialogOffersTheLabelsAndReturnsTheChosenFile) {
    test::ScratchFolder folder;
    const std::string path = folder.Write("Ann Smith.jpg", "");
    OnModal<QFileDialog>([&path](QFileDialog& dialog) {
        EXPECT_EQ(dialog.nameFilters(),
                  (QStringList{"All Photos (*.bmp *.jpg)", "All Files (*.*) (*.*)"}));
        EXPECT_TRUE(dialog.testOption(QFileDialog::HideNameFilterDetails));
        dialog.selectFile(QString::fromStdString(path));
        static_cast<QDialog&>(dialog).accept();  // QFileDialog hides accept()
    });
    const OpenFileResult chosen = m_ui.OpenFile(4, "All Photos |*.bmp;*.jpg|All Files (*.*)|*.*");
    EXPECT_EQ(chosen.path, path);
    EXPECT_EQ(chosen.fileTitle, "Ann Smith.jpg");

    OnModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(m_ui.OpenFile(4, "").path, "");
}

TEST(QtUiServicesWithoutApplication, EveryCallFailsInsteadOfTouchingWidgets) {
    QtUiServices ui;
    EXPECT_THROW(ui.MessageBox("text"), std::logic_error);
    EXPECT_THROW(ui.GetClipboardPicture(), std::logic_error);
    EXPECT_THROW(ui.OpenFile(0, ""), std::logic_error);
}

}  // namespace
}  // namespace vesk::ui
