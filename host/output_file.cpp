#include "output_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <stdexcept>

#include <fmt/format.h>
#include <QBuffer>
#include <QImage>

#include "vesk/errors/error.h"
#include "vesk/files/binary_file.h"
#include "vesk/files/pending_file.h"

namespace vesk::host {

namespace {

namespace fs = std::filesystem;
using picture::Picture;
using picture::PictureKind;

std::string LowerExtension(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::vector<std::uint8_t> Encoded(const Picture& picture, const char* format,
                                  const std::string& path) {
    QImage image = picture.ToImage();
    if (image.isNull()) {
        throw Error(fmt::format(
            "cannot write {}: a metafile is written only in its own form (.wmf or .emf)", path));
    }
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) {
        throw Error(fmt::format("cannot write {}: the {} codec failed", path, format));
    }
    return {encoded.begin(), encoded.end()};
}

std::vector<std::uint8_t> OwnForm(const Picture& picture, PictureKind wanted,
                                  const std::string& path) {
    if (picture.Kind() != wanted) {
        throw Error(
            fmt::format("cannot write {}: the picture is not a metafile of that kind", path));
    }
    return picture.ToBytes();
}

// What a symbolic link at `path` finally names; throws when it names nothing.
std::string LinkTarget(const std::string& path) {
    std::error_code error;
    fs::path target = fs::canonical(path, error);
    if (error) {
        throw Error(fmt::format("cannot write {}: it is a symbolic link to nothing ({})", path,
                                error.message()));
    }
    return target.string();
}

}  // namespace

std::vector<std::uint8_t> PictureBytesFor(const Picture& picture, const std::string& path) {
    std::string extension = path == "-" ? std::string() : LowerExtension(path);
    if (extension.empty()) {
        return picture.ToBytes();
    }
    if (extension == ".bmp" || extension == ".dib") {
        return picture.Kind() == PictureKind::Bitmap ? picture.ToBytes()
                                                     : Encoded(picture, "BMP", path);
    }
    if (extension == ".png") {
        return Encoded(picture, "PNG", path);
    }
    if (extension == ".jpg" || extension == ".jpeg") {
        return Encoded(picture, "JPEG", path);
    }
    if (extension == ".ico") {
        return picture.Kind() == PictureKind::Icon ? picture.ToBytes()
                                                   : Encoded(picture, "ICO", path);
    }
    if (extension == ".wmf") {
        return OwnForm(picture, PictureKind::Metafile, path);
    }
    if (extension == ".emf") {
        return OwnForm(picture, PictureKind::EnhancedMetafile, path);
    }
    throw Error(fmt::format(
        "cannot write {}: {} names no picture format (give .bmp, .png, .jpg, .ico, .wmf or .emf)",
        path, extension));
}

void WriteOutput(const std::string& path, const std::vector<std::uint8_t>& bytes,
                 std::ostream& standardOutput) {
    if (path == "-") {
        standardOutput.write(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<std::streamsize>(bytes.size()));
        standardOutput.flush();
        return;
    }
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
        files::ReplaceFileWith(path, bytes);
        return;
    }
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) {
        throw Error(fmt::format("cannot write {}: it is a symbolic link to nothing", path));
    }
    if (S_ISDIR(named.st_mode)) {
        throw Error(fmt::format("cannot write {}: it is a folder", path));
    }
    if (!S_ISREG(named.st_mode)) {
        // A device or pipe takes the bytes as they come; opening it neither creates nor
        // truncates anything.
        files::BinaryFile device(path, files::BinaryFile::Mode::Write);
        device.Write(bytes);
        device.Close();
    } else if (S_ISLNK(entry.st_mode)) {
        files::ReplaceFileWith(LinkTarget(path), bytes);
    } else {
        files::ReplaceFileWith(path, bytes);
    }
}

}  // namespace vesk::host
