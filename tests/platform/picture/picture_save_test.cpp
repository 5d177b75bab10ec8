#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "picture_files.h"
#include "scratch_folder.h"
#include "vesk/picture/picture.h"
#include "vesk/picture/picture_error.h"

namespace vesk::picture {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

Bytes ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

unsigned Field(const Bytes& bytes, std::size_t offset, int size) {
    unsigned value = 0;
    for (int index = size - 1; index >= 0; --index) {
        value = value << 8 | bytes[offset + static_cast<std::size_t>(index)];
    }
    return value;
}

TEST(PictureSave, BitmapsBecomeUncompressed24BitBmpsWithRowsPaddedTo4Bytes) {
    test::ScratchFolder folder;
    // Rows of 1 to 4 pixels take 3, 6, 9 and 12 bytes: padded to 4, 8, 12 and 12.
    const std::pair<int, std::uintmax_t> widthsAndSizes[] = {
        {1, 54 + 4 * 7}, {2, 54 + 8 * 7}, {3, 54 + 12 * 7}, {4, 54 + 12 * 7}, {331, 54 + 996 * 7}};
    for (const auto& [width, size] : widthsAndSizes) {
        const std::string path = folder.Path("saved.bmp");
        Picture(test::PatternImage(width, 7)).Save(path);
        const Bytes bytes = ReadAll(path);
        ASSERT_EQ(bytes.size(), size) << width;
        EXPECT_EQ(Field(bytes, 10, 4), 54u);
        EXPECT_EQ(Field(bytes, 28, 2), 24u);
        EXPECT_EQ(Field(bytes, 30, 4), 0u);
    }
}

TEST(PictureSave, PicturesFromEveryBitmapFormatSaveAsBmpsThatLoadBackTheSame) {
    test::ScratchFolder folder;
    const QImage image = test::PatternImage(6, 4);
    const Bytes sources[] = {test::QtEncoded(image, "png"), test::QtEncoded(image, "jpeg"),
                             test::Gif({{0, 1, 2, 3, 0, 1}, {1, 2, 3, 0, 1, 2}}),
                             test::RunLengthBitmap(8)};
    for (const Bytes& source : sources) {
        const Picture original = Picture::Load(folder.Write("source", source));
        const std::string path = folder.Path("saved.bmp");
        original.Save(path);
        const Picture copy = Picture::Load(path);
        const int rowBytes = (original.WidthPixels() * 3 + 3) / 4 * 4;
        EXPECT_EQ(fs::file_size(path), 54u + rowBytes * original.HeightPixels());
        EXPECT_EQ(copy.Kind(), PictureKind::Bitmap);
        EXPECT_EQ(copy.ToImage().pixel(1, 1), original.ToImage().pixel(1, 1));
    }
}

TEST(PictureSave, IconsAndCursorsSaveAsIcons) {
    test::ScratchFolder folder;
    for (const Bytes& source : {test::QtEncoded(test::PatternImage(5, 3), "ico"),
                                test::CursorOf(test::PatternImage(5, 3))}) {
        const std::string path = folder.Path("saved.ico");
        Picture::Load(folder.Write("source", source)).Save(path);
        const Bytes saved = ReadAll(path);
        EXPECT_EQ(Field(saved, 0, 4), 0x10000u);
        const Picture copy = Picture::Load(path);
        EXPECT_EQ(copy.Kind(), PictureKind::Icon);
        EXPECT_EQ(copy.ToImage().pixel(4, 2), test::PatternColor(4, 2));
    }
}

TEST(PictureSave, MetafilesSaveTheirOwnBytesToTheByte) {
    test::ScratchFolder folder;
    const Bytes emf = test::Emf(3000, 2000, 2048);
    const std::string path = folder.Path("saved.vpc");
    Picture::Load(folder.Write("photo.emf", emf)).Save(path);
    EXPECT_EQ(ReadAll(path), emf);
    EXPECT_EQ(fs::file_size(path), 2048u);
}

TEST(PictureSave, AnEmptyPictureOrAMissingFolderFailsWithADescription) {
    test::ScratchFolder folder;
    const std::string emptyTarget = folder.Path("empty.bmp");
    EXPECT_THROW(Picture().Save(emptyTarget), PictureError);
    EXPECT_FALSE(fs::exists(emptyTarget));

    const std::string missingFolder = folder.Path("missing/photo.bmp");
    try {
        Picture(test::PatternImage(2, 2)).Save(missingFolder);
        FAIL() << "saved into a missing folder";
    } catch (const PictureError& error) {
        EXPECT_NE(error.Description().find(missingFolder), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace vesk::picture
