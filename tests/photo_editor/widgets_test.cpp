#include <gtest/gtest.h>

#include <stdexcept>

#include "editor_fixture.h"
#include "vesk/photo_editor/check_box.h"
#include "vesk/photo_editor/image_box.h"
#include "vesk/photo_editor/picture_box.h"
#include "vesk/photo_editor/report_list.h"
#include "vesk/photo_editor/scroll_bar.h"
#include "vesk/photo_editor/twips.h"

namespace vesk::photo_editor::testing {
namespace {

TEST(ScrollBarTest, ValuesAreSixteenBitAndEveryChangeIsSignalled) {
    PictureBox box;
    ScrollBar bar(Qt::Horizontal, box);
    int changes = 0;
    QObject::connect(&bar, &ScrollBar::Change, [&] { ++changes; });

    bar.SetMax(875.5);  // halves go to the even number
    EXPECT_EQ(bar.Max(), 876);
    bar.SetMax(32767);
    EXPECT_THROW(bar.SetMax(32767.6), std::out_of_range);
    EXPECT_THROW(bar.SetMax(-40000), std::out_of_range);
    EXPECT_EQ(bar.Max(), 32767);

    bar.SetValue(400);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(bar.SetValue(-1), std::out_of_range);
    bar.SetMax(300);  // the value follows a smaller range
    EXPECT_EQ(bar.Value(), 300);
    EXPECT_EQ(changes, 2);
}

TEST(ReportListTest, LinesAreKeyedAndPositionedFromOne) {
    ReportList list;
    list.Add(0, "a", "Alpha");
    list.Add(0, "b", "Beta");
    list.Add(1, "c", "Gamma");
    EXPECT_EQ(list.TextAt(1), "Gamma");
    EXPECT_EQ(list.KeyAt(3), "b");
    EXPECT_THROW(list.Add(0, "a", "again"), std::invalid_argument);
    EXPECT_THROW(list.TextAt(4), std::out_of_range);
    EXPECT_THROW(list.Remove("zz"), std::out_of_range);

    EXPECT_EQ(list.ForeColorOf("a"), SystemWindowTextColor);
    list.SetForeColorOf("a", 0);
    EXPECT_EQ(list.ForeColorOf("a"), 0);

    EXPECT_EQ(list.SelectedKey(), "");
    list.Select("b");
    EXPECT_EQ(list.SelectedKey(), "b");
    list.Remove("b");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.SelectedKey(), "");
}

TEST(CheckBoxTest, ClickIsSignalledForProgramChangesOnly) {
    CheckBox box;
    int clicks = 0;
    QObject::connect(&box, &CheckBox::Click, [&] { ++clicks; });
    box.SetValue(1);
    box.SetValue(1);
    EXPECT_EQ(box.Value(), 1);
    box.SetValue(0);
    EXPECT_EQ(clicks, 2);
}

TEST(ImageBoxTest, SizesFollowTheContainersScaleAndStretch) {
    PictureBox box;
    box.Place(0, 0, 3955, 3975);
    ImageBox image(box);
    image.SetPicture(picture::Picture::FromBytes(BitmapBytes(40, 30)));
    EXPECT_DOUBLE_EQ(image.Width(), 600);  // stretch off: the natural size, in twips

    box.SetScale(PictureBox::ScaleMode::Pixels);
    EXPECT_DOUBLE_EQ(image.Width(), 40);
    EXPECT_DOUBLE_EQ(box.ScaleWidth(), 260);
    box.SetScale(PictureBox::ScaleMode::Twips);

    image.SetStretch(true);
    image.SetWidth(1000.3);  // kept in single precision, not rounded to pixels
    EXPECT_DOUBLE_EQ(image.Width(), static_cast<double>(1000.3f));
    image.SetPicture(picture::Picture());
    EXPECT_DOUBLE_EQ(image.Width(), static_cast<double>(1000.3f));
    image.SetStretch(false);
    EXPECT_DOUBLE_EQ(image.Width(), 0);
}

}  // namespace
}  // namespace vesk::photo_editor::testing
