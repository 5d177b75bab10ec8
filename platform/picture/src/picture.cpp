#include "vesk/picture/picture.h"

#include <QFile>
#include <QImage>

#include <atomic>
#include <cmath>

#include "image_codec.h"
#include "metafile_size.h"
#include "picture_format.h"
#include "structure_check.h"
#include "vesk/files/pending_file.h"
#include "vesk/picture/picture_error.h"

namespace vesk::picture {

namespace {

constexpr double PixelsPerInch = 96.0;
constexpr double TwipsPerInch = 1440.0;
constexpr double HimetricPerInch = 2540.0;

struct PictureSize {
    int widthPixels = 0;
    int heightPixels = 0;
    int widthHimetric = 0;
    int heightHimetric = 0;
    double widthTwips = 0;
    double heightTwips = 0;
};

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

PictureSize SizeFromPixels(int width, int height) {
    const double himetricPerPixel = HimetricPerInch / PixelsPerInch;
    const double twipsPerPixel = TwipsPerInch / PixelsPerInch;
    return {width,
            height,
            Round(width * himetricPerPixel),
            Round(height * himetricPerPixel),
            width * twipsPerPixel,
            height * twipsPerPixel};
}

PictureSize SizeFromHimetric(HimetricSize size) {
    const double pixelsPerHimetric = PixelsPerInch / HimetricPerInch;
    const double twipsPerHimetric = TwipsPerInch / HimetricPerInch;
    return {Round(size.width * pixelsPerHimetric),
            Round(size.height * pixelsPerHimetric),
            size.width,
            size.height,
            size.width * twipsPerHimetric,
            size.height * twipsPerHimetric};
}

// Handles are never reused within the process; 0 is skipped when the counter wraps.
std::uint32_t NextHandle() {
    static std::atomic<std::uint32_t> lastHandle{0};
    std::uint32_t handle = ++lastHandle;
    while (handle == 0) {
        handle = ++lastHandle;
    }
    return handle;
}

Picture::Bytes ReadFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        throw PictureError(file.errorString().toStdString());
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw PictureError(file.errorString().toStdString());
    }
    return {content.begin(), content.end()};
}

}  // namespace

struct Picture::Data {
    PictureKind kind;
    QImage image;
    Bytes metafile;
    PictureSize size;
    std::uint32_t handle = NextHandle();

    static std::shared_ptr<const Data> ForImage(PictureKind kind, QImage image) {
        const PictureSize size = SizeFromPixels(image.width(), image.height());
        return std::make_shared<const Data>(Data{kind, std::move(image), {}, size});
    }

    static std::shared_ptr<const Data> ForMetafile(PictureKind kind, Bytes bytes,
                                                   HimetricSize size) {
        return std::make_shared<const Data>(
            Data{kind, {}, std::move(bytes), SizeFromHimetric(size)});
    }

    // The sizes of a picture; all 0 for the empty one.
    static const PictureSize& SizeOf(const Data* data) {
        static const PictureSize empty;
        return data ? data->size : empty;
    }
};

Picture::Picture() = default;

Picture::Picture(const QImage& image)
    : m_data(image.isNull() ? nullptr : Data::ForImage(PictureKind::Bitmap, image)) {}

Picture::Picture(std::shared_ptr<const Data> data) : m_data(std::move(data)) {}

Picture Picture::Load(const std::string& path) {
    if (path.empty()) {
        return Picture();
    }
    try {
        return FromBytes(ReadFile(path));
    } catch (const PictureError& error) {
        throw PictureError("Cannot load picture '" + path + "': " + error.Description());
    }
}

Picture Picture::FromBytes(const Bytes& bytes) {
    const PictureFormat format = DetectFormat(bytes);
    switch (format) {
        case PictureFormat::Unknown:
            throw PictureError("The file is not a picture of a known format");
        case PictureFormat::Wmf:
            return Picture(Data::ForMetafile(PictureKind::Metafile, bytes, ReadWmfSize(bytes)));
        case PictureFormat::Emf:
            return Picture(
                Data::ForMetafile(PictureKind::EnhancedMetafile, bytes, ReadEmfSize(bytes)));
        default:
            break;
    }
    CheckComplete(format, bytes);
    const bool icon = format == PictureFormat::Ico || format == PictureFormat::Cur;
    return Picture(
        Data::ForImage(icon ? PictureKind::Icon : PictureKind::Bitmap, DecodeImage(bytes, format)));
}

void Picture::Save(const std::string& path) const {
    try {
        files::ReplaceFileWith(path, ToBytes());
    } catch (const std::exception& error) {
        throw PictureError("Cannot save picture to '" + path + "': " + error.what());
    }
}

Picture Picture::Copy() const {
    if (!m_data) {
        return {};
    }
    Data copy = *m_data;
    copy.handle = NextHandle();
    return Picture(std::make_shared<const Data>(std::move(copy)));
}

Picture::Bytes Picture::ToBytes() const {
    switch (Kind()) {
        case PictureKind::None:
            throw PictureError("The picture is empty");
        case PictureKind::Bitmap:
            return EncodeBitmap(m_data->image);
        case PictureKind::Icon:
            return EncodeIcon(m_data->image);
        case PictureKind::Metafile:
        case PictureKind::EnhancedMetafile:
            break;
    }
    return m_data->metafile;
}

std::size_t Picture::FileFormSize() const {
    if (Kind() == PictureKind::Bitmap) {
        return EncodedBitmapSize(m_data->image.width(), m_data->image.height());
    }
    return ToBytes().size();
}

std::uint32_t Picture::Handle() const {
    return m_data ? m_data->handle : 0;
}

PictureKind Picture::Kind() const {
    return m_data ? m_data->kind : PictureKind::None;
}

int Picture::WidthPixels() const {
    return Data::SizeOf(m_data.get()).widthPixels;
}

int Picture::HeightPixels() const {
    return Data::SizeOf(m_data.get()).heightPixels;
}

double Picture::WidthTwips() const {
    return Data::SizeOf(m_data.get()).widthTwips;
}

double Picture::HeightTwips() const {
    return Data::SizeOf(m_data.get()).heightTwips;
}

int Picture::WidthHimetric() const {
    return Data::SizeOf(m_data.get()).widthHimetric;
}

int Picture::HeightHimetric() const {
    return Data::SizeOf(m_data.get()).heightHimetric;
}

QImage Picture::ToImage() const {
    return m_data ? m_data->image : QImage();
}

}  // namespace vesk::picture
