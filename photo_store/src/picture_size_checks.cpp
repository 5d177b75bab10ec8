// Temporary picture names, the stored size of a picture and fitting a picture to an area.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <fmt/format.h>

#include "vesk/errors/ignoring_failures.h"

#include "vesk/files/file_system.h"
#include "vesk/files/temp_names.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/ui/current_ui.h"

namespace vesk::photo_store {

namespace {

constexpr double kMargin = 50;

// Kilobytes with two decimals, halves rounded away from zero ("0.00" pattern).
std::string FormatKilobytes(std::int64_t bytes) {
    auto hundredths =
        static_cast<std::int64_t>(std::llround(static_cast<double>(bytes) * 100.0 / 1024.0));
    return fmt::format("{}.{:02}", hundredths / 100, hundredths % 100);
}

// The number at the start of `text`: digits with at most one '.' as decimal point.
double LeadingNumber(const std::string& text) {
    std::size_t end = 0;
    bool seenPoint = false;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) ||
                                 (text[end] == '.' && !seenPoint))) {
        seenPoint = seenPoint || text[end] == '.';
        ++end;
    }
    return end == 0 ? 0.0 : std::strtod(text.substr(0, end).c_str(), nullptr);
}

// `numerator / denominator`, failing (as the arithmetic of the fitting steps does) on zero.
double Ratio(double numerator, double denominator) {
    if (denominator == 0) {
        throw std::domain_error("Division by zero");
    }
    return numerator / denominator;
}

}  // namespace

std::string CPicture::GetTempPixName() {
    try {
        return files::FreshTempName("Pix");
    } catch (const std::exception&) {
        return {};
    }
}

// The size is that of the picture's file form, counted in memory rather than through a
// temporary file, so that a full or unusable temporary folder cannot make a photo measure 0.
std::string CPicture::CheckPicDiskSize(const Picture& Picx, double* dSize) {
    IgnoringFailure([] { ui::Ui().DoEvents(); });
    std::int64_t bytes = 0;
    IgnoringFailure([&] { bytes = FileFormSize(Picx); });
    if (dSize) {
        *dSize = static_cast<double>(bytes);
    }
    return FormatKilobytes(bytes) + " KB";
}

std::int64_t CPicture::FileFormSize(const Picture& Picx) {
    return Picx.IsEmpty() ? 0 : static_cast<std::int64_t>(Picx.FileFormSize());
}

std::string CPicture::VerifyPhotoSize(const Picture& Picx, bool* bSizeOver) {
    bool limited = m_dInitMaxSize != 0;
    if (limited && !(std::isfinite(PhotosMaxSize) && PhotosMaxSize >= 0)) {
        throw std::invalid_argument(fmt::format(
            "The size limit must be a number of kilobytes, 0 or more, not {}", PhotosMaxSize));
    }
    IgnoringFailure([] { ui::Ui().DoEvents(); });
    // Measured here rather than through CheckPicDiskSize, so that a picture that cannot be
    // measured is a failure instead of a size of 0 that passes every limit.
    double kilobytes = LeadingNumber(FormatKilobytes(FileFormSize(Picx)));
    if (bSizeOver) {
        *bSizeOver = limited && kilobytes > PhotosMaxSize;
    }
    return fmt::format("{}", kilobytes);
}

void CPicture::ResizePhoto(ImageControl& imgCtrl, double MaxWidth, double MaxHeight) {
    IgnoringFailure([&] { imgCtrl.SetVisible(false); });
    IgnoringFailure([&] { imgCtrl.SetStretch(false); });
    double naturalWidth = 0;
    double naturalHeight = 0;
    IgnoringFailure([&] { naturalWidth = imgCtrl.Width(); });
    IgnoringFailure([&] { naturalHeight = imgCtrl.Height(); });
    IgnoringFailure([&] { imgCtrl.SetStretch(true); });
    double availableWidth = MaxWidth - kMargin;
    double availableHeight = MaxHeight - kMargin;
    if (imgCtrl.Width() <= availableWidth && imgCtrl.Height() <= availableHeight) {
        IgnoringFailure([&] { imgCtrl.SetStretch(false); });
    } else if (imgCtrl.Width() > imgCtrl.Height()) {
        IgnoringFailure([&] { imgCtrl.SetWidth(availableWidth); });
        IgnoringFailure([&] {
            imgCtrl.SetHeight(naturalHeight -
                              Ratio(naturalWidth - imgCtrl.Width(), naturalWidth) * naturalHeight);
        });
    } else {
        IgnoringFailure([&] { imgCtrl.SetHeight(availableHeight); });
        IgnoringFailure([&] {
            imgCtrl.SetWidth(naturalWidth -
                             Ratio(naturalHeight - imgCtrl.Height(), naturalHeight) * naturalWidth);
        });
    }
    IgnoringFailure([&] { imgCtrl.SetLeft((availableWidth - imgCtrl.Width()) / 2); });
    IgnoringFailure([&] { imgCtrl.SetTop((availableHeight - imgCtrl.Height()) / 2); });
    IgnoringFailure([&] { imgCtrl.SetVisible(true); });
    IgnoringFailure([&] { imgCtrl.SetBorderStyle(0); });
}

}  // namespace vesk::photo_store
