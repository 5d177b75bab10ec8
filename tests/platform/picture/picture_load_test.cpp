#include <gtest/gtest.h>

#include <QImage>

#include <QByteArray>

#include <filesystem>

#include "picture_files.h"
#include "scratch_folder.h"
#include "vesk/picture/picture.h"
#include "vesk/picture/picture_error.h"

namespace vesk::picture {
namespace {

using test::Bytes;

struct SampleFile {
    const char* name;
    Bytes bytes;
    PictureKind kind;
    bool lossless;
};

// One file of every raster kind, each 5 x 3 pixels of the test pattern.
std::vector<SampleFile> RasterSamples() {
    const QImage image = test::PatternImage(5, 3);
    const std::vector<std::vector<int>> indices(3, std::vector<int>(5, 2));
    return {
        {"photo.bmp", test::QtEncoded(image, "bmp"), PictureKind::Bitmap, true},
        {"photo.png", test::QtEncoded(image, "png"), PictureKind::Bitmap, true},
        {"photo.jpg", test::QtEncoded(image, "jpeg"), PictureKind::Bitmap, false},
        {"photo.ico", test::QtEncoded(image, "ico"), PictureKind::Icon, true},
        {"photo.cur", test::CursorOf(image), PictureKind::Icon, true},
        {"photo.gif", test::Gif(indices), PictureKind::Bitmap, false},
    };
}

std::uint32_t Crc32(const Bytes& bytes, std::size_t from, std::size_t to) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t pos = from; pos < to; ++pos) {
        crc ^= bytes[pos];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutBigEndian(Bytes& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void AppendChunk(Bytes& png, const char* type, const Bytes& data) {
    PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBigEndian(png, Crc32(png, start, png.size()));
}

// A well-formed PNG whose header claims width x height pixels of 8-bit RGB, with a few bytes
// of image data: what a decompression bomb looks like before it is inflated.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    AppendChunk(png, "IHDR", header);
    QByteArray zeros(4096, '\0');
    QByteArray compressed = qCompress(zeros).mid(4);  // the zlib stream without Qt's length
    AppendChunk(png, "IDAT", Bytes(compressed.begin(), compressed.end()));
    AppendChunk(png, "IEND", {});
    return png;
}

class PictureLoad : public ::testing::Test {
protected:
    Picture LoadBytes(std::string_view name, const Bytes& bytes) {
        return Picture::Load(m_folder.Write(name, bytes));
    }

    // Loading must fail with a PictureError whose description names the file.
    void ExpectLoadFails(const std::string& path) {
        try {
            Picture::Load(path);
            ADD_FAILURE() << path << " loaded";
        } catch (const PictureError& error) {
            EXPECT_NE(error.Description().find("'" + path + "'"), std::string::npos)
                << error.what();
        }
    }

    test::ScratchFolder m_folder;
};

TEST_F(PictureLoad, EveryRasterKindLoadsWithItsKindSizeAndPixels) {
    for (const SampleFile& sample : RasterSamples()) {
        const Picture picture = LoadBytes(sample.name, sample.bytes);
        EXPECT_EQ(picture.Kind(), sample.kind) << sample.name;
        EXPECT_EQ(picture.WidthPixels(), 5) << sample.name;
        EXPECT_EQ(picture.HeightPixels(), 3) << sample.name;
        if (sample.lossless) {
            EXPECT_EQ(picture.ToImage().pixel(4, 2), test::PatternColor(4, 2)) << sample.name;
        }
    }
}

TEST_F(PictureLoad, GifPixelsComeFromItsPalette) {
    const Picture picture = LoadBytes("two.gif", test::Gif({{0, 1, 2}, {3, 3, 0}}));
    const QImage image = picture.ToImage();
    EXPECT_EQ(image.pixel(1, 0), test::PaletteColor(1));
    EXPECT_EQ(image.pixel(2, 0), test::PaletteColor(2));
    EXPECT_EQ(image.pixel(0, 1), test::PaletteColor(3));
}

TEST_F(PictureLoad, RunLengthEncodedBitmapsDecodeBottomUp) {
    for (int bits : {8, 4}) {
        const Picture picture = LoadBytes("photo.rle", test::RunLengthBitmap(bits));
        const QImage image = picture.ToImage();
        ASSERT_EQ(image.size(), QSize(4, 2)) << bits;
        EXPECT_EQ(picture.Kind(), PictureKind::Bitmap);
        EXPECT_EQ(image.pixel(3, 0), test::PaletteColor(3)) << bits;
        EXPECT_EQ(image.pixel(0, 1), test::PaletteColor(1)) << bits;
        EXPECT_EQ(image.pixel(3, 1), test::PaletteColor(2)) << bits;
    }
}

TEST_F(PictureLoad, MetafilesKeepTheirBytesAndTakeTheSizeOfTheirHeader) {
    const Bytes wmfBytes = test::PlaceableWmf(1440, 720, 1440);
    const Picture wmf = LoadBytes("photo.wmf", wmfBytes);
    EXPECT_EQ(wmf.Kind(), PictureKind::Metafile);
    EXPECT_EQ(wmf.WidthHimetric(), 2540);
    EXPECT_EQ(wmf.HeightHimetric(), 1270);
    EXPECT_EQ(wmf.WidthPixels(), 96);
    EXPECT_DOUBLE_EQ(wmf.HeightTwips(), 720);
    EXPECT_EQ(wmf.ToBytes(), wmfBytes);
    EXPECT_TRUE(wmf.ToImage().isNull());

    const Bytes emfBytes = test::Emf(5000, 2500);
    const Picture emf = LoadBytes("photo.emf", emfBytes);
    EXPECT_EQ(emf.Kind(), PictureKind::EnhancedMetafile);
    EXPECT_EQ(emf.WidthHimetric(), 5000);
    EXPECT_EQ(emf.HeightHimetric(), 2500);
    EXPECT_EQ(emf.WidthPixels(), 189);
    EXPECT_EQ(emf.HeightPixels(), 94);
    EXPECT_EQ(emf.ToBytes(), emfBytes);
}

TEST_F(PictureLoad, LargePhotosLoadAndLargerOnesAreRefusedAsTooLarge) {
    QImage large(8000, 6000, QImage::Format_RGB32);
    large.fill(QColor(20, 40, 60));
    const Picture photo = LoadBytes("large.png", test::QtEncoded(large, "png"));
    EXPECT_EQ(photo.WidthPixels(), 8000);
    EXPECT_EQ(photo.HeightPixels(), 6000);

    for (auto [width, height] : {std::pair{10000u, 10001u}, std::pair{60000u, 60000u}}) {
        try {
            Picture::FromBytes(PngClaiming(width, height));
            ADD_FAILURE() << width << " x " << height << " loaded";
        } catch (const PictureError& error) {
            EXPECT_NE(error.Description().find("too large"), std::string::npos) << error.what();
        }
    }
}

TEST_F(PictureLoad, MetafilesWhoseBoundsRunBackwardsAreDamaged) {
    for (const Bytes& bytes :
         {test::PlaceableWmf(-1440, 720, 1440), test::PlaceableWmf(1440, -720, 1440),
          test::Emf(-5000, 2500), test::Emf(5000, 0)}) {
        EXPECT_THROW(Picture::FromBytes(bytes), PictureError);
    }
}

TEST_F(PictureLoad, AnEmptyPathGivesTheEmptyPicture) {
    const Picture picture = Picture::Load("");
    EXPECT_EQ(picture.Handle(), 0u);
    EXPECT_EQ(picture.Kind(), PictureKind::None);
}

TEST_F(PictureLoad, MissingFoldersAndNonPicturesFailWithADescription) {
    ExpectLoadFails(m_folder.Path("missing.bmp"));
    ExpectLoadFails(m_folder.Path());
    ExpectLoadFails(m_folder.Write("empty.bmp", ""));
    ExpectLoadFails(m_folder.Write("notes.jpg", "not a picture at all"));
    ExpectLoadFails(m_folder.Write("flat.wmf", test::PlaceableWmf(0, 720, 1440)));
    ExpectLoadFails(m_folder.Write("units.wmf", test::PlaceableWmf(10, 10, 0)));

    Bytes damagedPng = test::QtEncoded(test::PatternImage(40, 40), "png");
    for (std::size_t pos = damagedPng.size() / 3; pos < damagedPng.size() / 2; ++pos) {
        damagedPng[pos] ^= 0x5A;
    }
    ExpectLoadFails(m_folder.Write("damaged.png", damagedPng));
}

TEST_F(PictureLoad, EveryTruncatedFileFailsWithADescription) {
    std::vector<SampleFile> samples = RasterSamples();
    samples.push_back({"photo.rle8", test::RunLengthBitmap(8), PictureKind::Bitmap, true});
    samples.push_back({"photo.rle4", test::RunLengthBitmap(4), PictureKind::Bitmap, true});
    samples.push_back({"photo.wmf", test::PlaceableWmf(100, 100, 96), PictureKind::Metafile, true});
    samples.push_back({"photo.emf", test::Emf(100, 100), PictureKind::EnhancedMetafile, true});
    for (const SampleFile& sample : samples) {
        for (std::size_t length :
             {std::size_t{4}, std::size_t{30}, sample.bytes.size() / 2, sample.bytes.size() - 1}) {
            const Bytes cut(sample.bytes.begin(), sample.bytes.begin() + static_cast<long>(length));
            SCOPED_TRACE(std::string(sample.name) + " cut to " + std::to_string(length));
            ExpectLoadFails(m_folder.Write(sample.name, cut));
        }
    }
}

}  // namespace
}  // namespace vesk::picture
