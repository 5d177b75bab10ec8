#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QImage;

namespace vesk::picture {

// What a picture holds. The values are the standard picture type codes that hosts know.
enum class PictureKind : int { None = 0, Bitmap = 1, Metafile = 2, Icon = 3, EnhancedMetafile = 4 };

// An immutable picture value: empty, a bitmap or icon image, or a metafile kept as its own
// bytes. Copies share the content and the handle. Failures throw PictureError.
class Picture {
public:
    using Bytes = std::vector<std::uint8_t>;

    // The empty picture: handle 0, kind None, size 0.
    Picture();

    // A bitmap picture of `image` with a new handle; a null image gives the empty picture.
    explicit Picture(const QImage& image);

    // Loads BMP (also RLE4/RLE8), ICO, CUR, GIF, JPEG, PNG, placeable WMF or EMF, found by
    // content, not by extension. An empty path gives the empty picture.
    static Picture Load(const std::string& path);

    // The same as Load, from the bytes of a picture file.
    static Picture FromBytes(const Bytes& bytes);

    // Writes ToBytes() to `path`, replacing an existing file in one atomic step; a replaced
    // file keeps its permissions, a new one gets the umask's. A link, folder or device at
    // `path` is refused.
    void Save(const std::string& path) const;

    // The file form of the picture: an uncompressed 24-bit BMP for a bitmap, an ICO for an
    // icon, the original bytes for a metafile. Fails for the empty picture.
    Bytes ToBytes() const;

    // The number of bytes ToBytes() gives. A bitmap's is counted from its size without encoding
    // it (a photo's file form is tens of megabytes). Fails for the empty picture.
    std::size_t FileFormSize() const;

    // The same picture under a handle of its own, as loading it again from its file would give;
    // the content is shared, not copied. The empty picture stays empty.
    Picture Copy() const;

    // 0 for the empty picture, else a number no other picture of the process has.
    std::uint32_t Handle() const;
    bool IsEmpty() const { return m_data == nullptr; }
    PictureKind Kind() const;

    // Size in pixels; a metafile's is its own size shown at 96 dots per inch.
    int WidthPixels() const;
    int HeightPixels() const;
    // Size in twips: 15 per pixel, 1440 per inch.
    double WidthTwips() const;
    double HeightTwips() const;
    // Size in HIMETRIC units (0.01 mm): a pixel is 2540/96 of them; a metafile's comes from its
    // header.
    int WidthHimetric() const;
    int HeightHimetric() const;

    // The image of a bitmap or icon; a null image for the empty picture and for metafiles,
    // which are not drawn here.
    QImage ToImage() const;

private:
    struct Data;

    explicit Picture(std::shared_ptr<const Data> data);

    std::shared_ptr<const Data> m_data;
};

}  // namespace vesk::picture
