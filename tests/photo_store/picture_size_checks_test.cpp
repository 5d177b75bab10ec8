#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "picture_files.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/ui/current_ui.h"
#include "vesk/ui/scripted_ui_services.h"

namespace vesk::photo_store::testing {
namespace {

// A picture that saves to exactly `bytes` bytes (an enhanced metafile keeps its own bytes).
Picture PictureOfSize(std::size_t bytes) {
    return Picture::FromBytes(vesk::test::Emf(100, 100, bytes));
}

// Runs Init over a record set of the caller's, so that the size limit is taken without a
// database (counting the unopened rows fails afterwards, which is reported and ignored).
void InitWithoutDatabase(CPicture& picture) {
    picture.Init("E1", "EMP", {}, std::make_shared<data_access::Recordset>());
}

// An image control whose natural size is that of its picture, as a real one has.
class PlainImageControl : public ImageControl {
public:
    PlainImageControl(double naturalWidth, double naturalHeight)
        : m_naturalWidth(naturalWidth), m_naturalHeight(naturalHeight) {}

    bool Visible() const override { return m_visible; }
    void SetVisible(bool visible) override { m_visible = visible; }
    bool Stretch() const override { return m_stretch; }
    void SetStretch(bool stretch) override {
        m_stretch = stretch;
        if (!stretch) {
            m_width = m_naturalWidth;
            m_height = m_naturalHeight;
        }
    }
    double Width() const override { return m_width; }
    void SetWidth(double width) override { m_width = width; }
    double Height() const override { return m_height; }
    void SetHeight(double height) override { m_height = height; }
    double Left() const override { return m_left; }
    void SetLeft(double left) override { m_left = left; }
    double Top() const override { return m_top; }
    void SetTop(double top) override { m_top = top; }
    int BorderStyle() const override { return m_borderStyle; }
    void SetBorderStyle(int style) override { m_borderStyle = style; }

private:
    double m_naturalWidth;
    double m_naturalHeight;
    bool m_visible = true;
    bool m_stretch = true;
    double m_width = 1;
    double m_height = 1;
    double m_left = -1;
    double m_top = -1;
    int m_borderStyle = 1;
};

TEST(GetTempPixName, TwoNamesDifferAndNameNoFile) {
    CPicture picture;
    std::string first = picture.GetTempPixName();
    std::string second = picture.GetTempPixName();
    EXPECT_NE(first, second);
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(second));
    EXPECT_EQ(std::filesystem::path(first).filename().string().rfind("Pix", 0), 0u) << first;
}

TEST(GetTempPixName, UnusableTemporaryFolderGivesEmptyText) {
    std::string saved = getenv("TMPDIR") ? getenv("TMPDIR") : "";
    setenv("TMPDIR", "/nonexistent/vesk", 1);
    CPicture picture;
    EXPECT_EQ(picture.GetTempPixName(), "");
    EXPECT_EQ(picture.CheckPicDiskSize(PictureOfSize(2048)), "2.00 KB")
        << "the size is measured without the temporary folder";
    saved.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", saved.c_str(), 1);
}

TEST(CheckPicDiskSize, MeasuresTheSavedFileAndLetsEventsRunOnce) {
    ui::ScriptedUiServices ui;
    ui::ScopedUi installed(ui);
    CPicture picture;
    double bytes = -1;
    EXPECT_EQ(picture.CheckPicDiskSize(PictureOfSize(2048), &bytes), "2.00 KB");
    EXPECT_EQ(bytes, 2048);
    EXPECT_EQ(ui.EventPumpCount(), 1);
}

TEST(CheckPicDiskSize, BitmapIsMeasuredInItsUncompressedForm) {
    CPicture picture;
    double bytes = 0;
    Picture bitmap(vesk::test::PatternImage(10, 10));
    EXPECT_EQ(picture.CheckPicDiskSize(bitmap, &bytes), "0.37 KB");  // 54 + 10 rows of 32 bytes
    EXPECT_EQ(bytes, 374);
}

TEST(CheckPicDiskSize, HalfHundredthsRoundAwayFromZero) {
    CPicture picture;
    EXPECT_EQ(picture.CheckPicDiskSize(PictureOfSize(128 + 1024)), "1.13 KB");  // 1.125
}

TEST(CheckPicDiskSize, EmptyPictureMeasuresZero) {
    CPicture picture;
    double bytes = -1;
    EXPECT_EQ(picture.CheckPicDiskSize(Picture(), &bytes), "0.00 KB");
    EXPECT_EQ(bytes, 0);
}

TEST(VerifyPhotoSize, LimitInForceAtInitDecides) {
    CPicture picture;
    picture.PhotosMaxSize = 100;
    InitWithoutDatabase(picture);
    bool over = true;
    EXPECT_EQ(picture.VerifyPhotoSize(PictureOfSize(102400), &over), "100");
    EXPECT_FALSE(over) << "a size equal to the limit is not over it";
    EXPECT_EQ(picture.VerifyPhotoSize(PictureOfSize(102410), &over), "100.01");
    EXPECT_TRUE(over);
    picture.PhotosMaxSize = 200;
    EXPECT_FALSE((picture.VerifyPhotoSize(PictureOfSize(102410), &over), over))
        << "a changed non-zero limit is compared with its new value";
}

TEST(VerifyPhotoSize, NoLimitAtInitMeansNeverOver) {
    CPicture picture;
    InitWithoutDatabase(picture);
    picture.PhotosMaxSize = 1;  // set only after Init: no effect until the next Init
    bool over = true;
    EXPECT_EQ(picture.VerifyPhotoSize(PictureOfSize(12646), &over), "12.35");
    EXPECT_FALSE(over);
}

struct FitCase {
    double width;
    double height;
    double expectedWidth;
    double expectedHeight;
    double expectedLeft;
    double expectedTop;
    bool expectedStretch;
};

TEST(ResizePhoto, FitsTheLongerSideAndCentres) {
    const FitCase cases[] = {
        {1000, 500, 550, 275, 0, 137.5, true},
        {400, 800, 275, 550, 137.5, 0, true},
        {300, 200, 300, 200, 125, 175, false},
        {600, 600, 550, 550, 0, 0, true},  // square counts as tall
    };
    CPicture picture;
    for (const FitCase& item : cases) {
        PlainImageControl control(item.width, item.height);
        picture.ResizePhoto(control, 600, 600);
        EXPECT_EQ(control.Width(), item.expectedWidth) << item.width << "x" << item.height;
        EXPECT_EQ(control.Height(), item.expectedHeight) << item.width << "x" << item.height;
        EXPECT_EQ(control.Left(), item.expectedLeft) << item.width << "x" << item.height;
        EXPECT_EQ(control.Top(), item.expectedTop) << item.width << "x" << item.height;
        EXPECT_EQ(control.Stretch(), item.expectedStretch);
        EXPECT_TRUE(control.Visible());
        EXPECT_EQ(control.BorderStyle(), 0);
    }
}

TEST(ResizePhoto, WidePictureInAWideAreaMayEndUpTallerThanTheArea) {
    CPicture picture;
    PlainImageControl control(1000, 900);
    picture.ResizePhoto(control, 2000, 300);
    EXPECT_EQ(control.Width(), 1950);
    EXPECT_EQ(control.Height(), 1755);
    EXPECT_LT(control.Top(), 0);
}

TEST(ResizePhoto, EmptyPictureSkipsTheFailingStep) {
    CPicture picture;
    PlainImageControl control(0, 0);
    picture.ResizePhoto(control, 10, 10);  // availW -40: the 0 x 0 picture "does not fit"
    EXPECT_EQ(control.Height(), -40);
    EXPECT_EQ(control.Width(), 0) << "a division by zero is skipped, not turned into a number";
    EXPECT_TRUE(control.Visible());
}

}  // namespace
}  // namespace vesk::photo_store::testing
