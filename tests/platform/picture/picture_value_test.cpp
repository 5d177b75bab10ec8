#include <gtest/gtest.h>

#include <QImage>

#include "picture_files.h"
#include "scratch_folder.h"
#include "vesk/picture/picture.h"
#include "vesk/picture/picture_error.h"

namespace vesk::picture {
namespace {

TEST(PictureValue, HandlesAreZeroWhenEmptyAndUniqueToEachPicture) {
    EXPECT_EQ(Picture().Handle(), 0u);
    EXPECT_TRUE(Picture(QImage()).IsEmpty());

    const QImage image = test::PatternImage(3, 3);
    const Picture first(image);
    const Picture second(image);
    const Picture copy = first;
    EXPECT_NE(first.Handle(), 0u);
    EXPECT_NE(first.Handle(), second.Handle());
    EXPECT_EQ(copy.Handle(), first.Handle());

    test::ScratchFolder folder;
    const std::string path = folder.Write("photo.bmp", test::QtEncoded(image, "bmp"));
    const Picture loaded = Picture::Load(path);
    EXPECT_NE(loaded.Handle(), Picture::Load(path).Handle());
    EXPECT_NE(loaded.Handle(), second.Handle());
}

TEST(PictureValue, BitmapSizesFollowFromPixelsAt96DotsPerInch) {
    const Picture picture(test::PatternImage(4, 3));
    EXPECT_EQ(picture.WidthPixels(), 4);
    EXPECT_EQ(picture.HeightPixels(), 3);
    EXPECT_DOUBLE_EQ(picture.WidthTwips(), 60);
    EXPECT_DOUBLE_EQ(picture.HeightTwips(), 45);
    EXPECT_EQ(picture.WidthHimetric(), 106);  // 105.83 rounded
    EXPECT_EQ(picture.HeightHimetric(), 79);  // 79.375 rounded
    EXPECT_EQ(Picture(test::PatternImage(96, 1)).WidthHimetric(), 2540);

    const Picture empty;
    EXPECT_EQ(empty.WidthPixels(), 0);
    EXPECT_DOUBLE_EQ(empty.HeightTwips(), 0);
    EXPECT_TRUE(empty.ToImage().isNull());
}

TEST(PictureValue, FileFormSizeIsTheLengthOfTheFileForm) {
    // Widths 1 to 4 give each padding of a bitmap row (3, 2, 1 and 0 bytes).
    for (int width = 1; width <= 4; ++width) {
        const Picture bitmap(test::PatternImage(width, 3));
        EXPECT_EQ(bitmap.FileFormSize(), bitmap.ToBytes().size()) << "width " << width;
    }
    const QImage indexed = test::PatternImage(5, 2).convertToFormat(QImage::Format_Indexed8);
    EXPECT_EQ(Picture(indexed).FileFormSize(), Picture(indexed).ToBytes().size());
    const Picture icon = Picture::FromBytes(test::QtEncoded(test::PatternImage(16, 16), "ico"));
    ASSERT_EQ(icon.Kind(), PictureKind::Icon);
    EXPECT_EQ(icon.FileFormSize(), icon.ToBytes().size());
    const Picture metafile = Picture::FromBytes(test::PlaceableWmf(100, 50, 1440));
    EXPECT_EQ(metafile.FileFormSize(), metafile.ToBytes().size());
    EXPECT_THROW(Picture().FileFormSize(), PictureError);
}

}  // namespace
}  // namespace vesk::picture
