#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "editor_fixture.h"

namespace vesk::photo_editor::testing {
namespace {

// The photo frame is 3955 x 3975 twips outside, 3900 x 3915 inside; a pixel is 15 twips.
constexpr double FrameWidth = 3955;
constexpr double FrameHeight = 3975;
constexpr double InnerWidth = 3900;
constexpr double InnerHeight = 3915;

class ViewingTest : public EditorTest {
protected:
    // Opens the dialog on one photo of width x height pixels.
    frmPhoto& OpenOnPhoto(int width, int height) {
        AddPhoto("Photo", false, width, height);
        return Open();
    }

    void ShowActualSize() { m_dialog.optActualsize->click(); }

    void ExpectImageAt(double left, double top, double width, double height) {
        EXPECT_FLOAT_EQ(m_dialog.imgMainPhoto->Left(), left);
        EXPECT_FLOAT_EQ(m_dialog.imgMainPhoto->Top(), top);
        EXPECT_FLOAT_EQ(m_dialog.imgMainPhoto->Width(), width);
        EXPECT_FLOAT_EQ(m_dialog.imgMainPhoto->Height(), height);
        EXPECT_TRUE(m_dialog.imgMainPhoto->Visible());
    }

    void ExpectBars(bool vertical, bool horizontal) {
        EXPECT_EQ(m_dialog.VSctopSet->isVisibleTo(&m_dialog), vertical);
        EXPECT_EQ(m_dialog.fraHideBackGround[0]->isVisibleTo(&m_dialog), vertical);
        EXPECT_EQ(m_dialog.HScLeftSet->isVisibleTo(&m_dialog), horizontal);
        EXPECT_EQ(m_dialog.fraHideBackGround[1]->isVisibleTo(&m_dialog), horizontal);
    }

    std::string FrameCaption() const { return m_dialog.fraDetails->title().toStdString(); }
};

TEST_F(ViewingTest, APictureThatFitsIsShownUnchangedAndCentred) {
    OpenOnPhoto(200, 134);  // 3000 x 2010 twips
    ExpectImageAt((FrameWidth - 3000) / 2, (FrameHeight - 2010) / 2, 3000, 2010);
    EXPECT_TRUE(m_dialog.imgMainPhoto->Stretch());
    ExpectBars(false, false);

    ShowActualSize();
    ExpectImageAt((FrameWidth - 3000) / 2, (FrameHeight - 2010) / 2, 3000, 2010);
    EXPECT_FALSE(m_dialog.imgMainPhoto->Stretch());
    ExpectBars(false, false);
    EXPECT_DOUBLE_EQ(m_dialog.m_dPhotoWidthPx, 200);
    EXPECT_DOUBLE_EQ(m_dialog.m_dPhotoHeight, 2010);
}

TEST_F(ViewingTest, AWidePictureIsFittedByItsWidth) {
    OpenOnPhoto(400, 200);  // 6000 x 3000 twips
    const double width = InnerWidth - 200;
    const double height = 3000 - ((6000 - width) / 6000) * 3000;
    ExpectImageAt((FrameWidth - width) / 2, (FrameHeight - height) / 2, width, height);
}

TEST_F(ViewingTest, ATallPictureIsFittedByItsHeight) {
    OpenOnPhoto(200, 534);  // 3000 x 8010 twips
    const double height = InnerHeight - 200;
    const float width = static_cast<float>(3000 - ((8010 - height) / 8010) * 3000);
    ExpectImageAt((FrameWidth - width) / 2, (FrameHeight - height) / 2, width, height);
}

TEST_F(ViewingTest, ASquarePictureLargerThanTheFrameIsFittedByItsHeight) {
    OpenOnPhoto(300, 300);
    const double side = InnerHeight - 200;
    ExpectImageAt((FrameWidth - side) / 2, (FrameHeight - side) / 2, side, side);
}

TEST_F(ViewingTest, ActualSizeScrollsALargePictureInBothDirections) {
    OpenOnPhoto(400, 300);  // 6000 x 4500 twips
    ShowActualSize();

    ExpectImageAt(0, 0, 6000, 4500);
    ExpectBars(true, true);
    EXPECT_EQ(m_dialog.VSctopSet->Max(), 4500 - 3975 + 250 + 100);
    EXPECT_EQ(m_dialog.HScLeftSet->Max(), 6000 - 3955 + 250 + 100);
    EXPECT_EQ(m_dialog.VSctopSet->SmallChange(), 200);
    EXPECT_EQ(m_dialog.VSctopSet->LargeChange(), 200);
    EXPECT_EQ(m_dialog.HScLeftSet->SmallChange(), 200);
    EXPECT_EQ(m_dialog.HScLeftSet->LargeChange(), 200);

    m_dialog.HScLeftSet->SetValue(400);
    m_dialog.VSctopSet->SetValue(600);
    EXPECT_FLOAT_EQ(m_dialog.imgMainPhoto->Left(), -400);
    EXPECT_FLOAT_EQ(m_dialog.imgMainPhoto->Top(), -600);

    // Back to fit: the bars and masks go, the picture is fitted again.
    m_dialog.optFit->click();
    ExpectBars(false, false);
    EXPECT_FLOAT_EQ(m_dialog.imgMainPhoto->Width(), InnerWidth - 200);
}

TEST_F(ViewingTest, APictureExactlyAsHighAsTheFrameGetsAVerticalBar) {
    OpenOnPhoto(100, 265);  // 1500 x 3975 twips
    ShowActualSize();
    ExpectBars(true, false);
    EXPECT_EQ(m_dialog.VSctopSet->Max(), 250 + 100);
    ExpectImageAt((FrameWidth - 1500) / 2, 0, 1500, 3975);
}

TEST_F(ViewingTest, AScrollRangeBeyondSixteenBitsIsSkippedAndTheLayoutGoesOn) {
    OpenOnPhoto(60, 2500);  // 37500 twips high: the range would be 33875
    const int maxBefore = m_dialog.VSctopSet->Max();
    ShowActualSize();
    EXPECT_EQ(m_dialog.VSctopSet->Max(), maxBefore);
    EXPECT_EQ(m_dialog.VSctopSet->SmallChange(), 200);
    ExpectBars(true, false);
    EXPECT_TRUE(m_dialog.imgMainPhoto->Visible());
    EXPECT_EQ(FrameCaption().rfind("Photo - 60 x 2500 Pixels (", 0), 0u);
}

TEST_F(ViewingTest, TheFrameCaptionGivesPixelsAndKilobytes) {
    OpenOnPhoto(400, 300);
    const std::string size = m_store.VerifyPhotoSize(m_dialog.imgMainPhoto->Picture());
    EXPECT_EQ(FrameCaption(), "Photo - 400 x 300 Pixels (" + size + " KB)");
}

TEST_F(ViewingTest, ARecordWithoutPictureShowsZeroSizes) {
    AddRow("EMP001", "Empty", "EMP");
    Open();
    EXPECT_EQ(FrameCaption(), "Photo - 0 x 0 Pixels (0 KB)");
    EXPECT_EQ(m_dialog.imgMainPhoto->Picture().Handle(), 0u);
}

TEST_F(ViewingTest, APictureOverTheLimitIsReportedAndRefusedWhenTheStoreSaysSo) {
    m_store.PhotosMaxSize = 250;  // in force from Init on
    AddRow("EMP001", "Scan", "EMP", false,
           photo_store::testing::PictureOfSize(300 * 1024).ToBytes());
    Open();

    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_ui.MessageBoxes()[0],
              (ui::RecordedMessageBox{
                  "This Photo is bigger than the maximum photo size: 250KB, Photo size: 300KB "
                  "(Bitmap Format)",
                  48, "VeskPhoto"}));
    EXPECT_TRUE(m_dialog.m_bPhotoTooBig);
    m_dialog.optFit->click();
    EXPECT_FALSE(m_dialog.cmdSave->isEnabled());
    EXPECT_EQ(m_ui.MessageBoxes().size(), 2u);
}

TEST_F(ViewingTest, ALimitSetAfterOpeningWarnsButDoesNotRefuse) {
    AddRow("EMP001", "Scan", "EMP", false,
           photo_store::testing::PictureOfSize(300 * 1024).ToBytes());
    Open();
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    m_store.PhotosMaxSize = 250;
    m_dialog.optActualsize->click();
    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_FALSE(m_dialog.m_bPhotoTooBig);
    EXPECT_TRUE(m_dialog.cmdSave->isEnabled());
}

TEST_F(ViewingTest, WithoutLimitAChangeOfViewEnablesSave) {
    OpenOnPhoto(40, 30);
    ASSERT_FALSE(m_dialog.cmdSave->isEnabled());
    m_dialog.optActualsize->click();
    EXPECT_TRUE(m_dialog.cmdSave->isEnabled());
    EXPECT_FALSE(m_dialog.m_bPhotoTooBig);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

}  // namespace
}  // namespace vesk::photo_editor::testing
