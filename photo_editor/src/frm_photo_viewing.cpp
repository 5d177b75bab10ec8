// The photo area: the picture fitted to the frame or at its natural size with scroll bars,
// the frame's size caption and the photo size check.
#include <QGroupBox>
#include <QRadioButton>

#include <cmath>
#include <string>

#include "number_text.h"
#include "vesk/errors/ignoring_failures.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/ui/message_box.h"

namespace vesk::photo_editor {

using detail::NumberText;

namespace {

constexpr double FitMargin = 200;
constexpr double ScrollStep = 200;
constexpr double ScrollOverrun = 100;

// A whole number of pixels for the caption, halves to even.
std::string WholeText(double value) {
    return NumberText(std::nearbyint(value));
}

}  // namespace

void frmPhoto::ResetPhotoArea() {
    imgMainPhoto->SetLeft(0);
    imgMainPhoto->SetTop(0);
    imgMainPhoto->SetWidth(picPhotoFrame->Width());
    imgMainPhoto->SetHeight(picPhotoFrame->Height());
    imgMainPhoto->SetBorderStyle(0);
    fraHideBackGround[0]->hide();
    fraHideBackGround[1]->hide();
}

void frmPhoto::StorePhotoNaturalSize() {
    imgMainPhoto->SetVisible(false);
    imgMainPhoto->SetStretch(false);
    picPhotoFrame->SetScale(PictureBox::ScaleMode::Pixels);
    m_dPhotoWidthPx = imgMainPhoto->Width();
    m_dPhotoHeightPx = imgMainPhoto->Height();
    picPhotoFrame->SetScale(PictureBox::ScaleMode::Twips);
    m_dPhotoWidth = imgMainPhoto->Width();
    m_dPhotoHeight = imgMainPhoto->Height();
}

void frmPhoto::LayoutPhoto() {
    if (optFit->isChecked()) {
        LayoutFitView();
    } else {
        LayoutActualSizeView();
    }
    imgMainPhoto->SetVisible(true);
    CheckPhotoSize();
}

void frmPhoto::LayoutFitView() {
    IgnoringFailure([&] { VSctopSet->hide(); });
    IgnoringFailure([&] { HScLeftSet->hide(); });
    IgnoringFailure([&] { fraHideBackGround[0]->hide(); });
    IgnoringFailure([&] { fraHideBackGround[1]->hide(); });
    IgnoringFailure([&] { imgMainPhoto->SetVisible(false); });
    IgnoringFailure([&] { imgMainPhoto->SetStretch(true); });
    const double innerWidth = picPhotoFrame->ScaleWidth();
    const double innerHeight = picPhotoFrame->ScaleHeight();
    const double width = imgMainPhoto->Width();
    const double height = imgMainPhoto->Height();
    if (width > innerWidth || height > innerHeight) {
        if (width > height) {
            imgMainPhoto->SetWidth(innerWidth - FitMargin);
            const double shown = imgMainPhoto->Width();
            imgMainPhoto->SetHeight(m_dPhotoHeight -
                                    ((m_dPhotoWidth - shown) / m_dPhotoWidth) * m_dPhotoHeight);
        } else {
            imgMainPhoto->SetHeight(innerHeight - FitMargin);
            const double shown = imgMainPhoto->Height();
            imgMainPhoto->SetWidth(m_dPhotoWidth -
                                   ((m_dPhotoHeight - shown) / m_dPhotoHeight) * m_dPhotoWidth);
        }
    }
    imgMainPhoto->SetLeft((picPhotoFrame->Width() - imgMainPhoto->Width()) / 2);
    imgMainPhoto->SetTop((picPhotoFrame->Height() - imgMainPhoto->Height()) / 2);
}

void frmPhoto::LayoutActualSizeView() {
    IgnoringFailure([&] { imgMainPhoto->SetStretch(false); });
    if (imgMainPhoto->Height() >= picPhotoFrame->Height()) {
        imgMainPhoto->SetTop(0);
        fraHideBackGround[0]->show();
        VSctopSet->show();
        IgnoringFailure([&] {
            VSctopSet->SetMax(imgMainPhoto->Height() - picPhotoFrame->Height() +
                              HScLeftSet->Height() + ScrollOverrun);
        });
        VSctopSet->SetSmallChange(ScrollStep);
        VSctopSet->SetLargeChange(ScrollStep);
        IgnoringFailure([&] { HScLeftSet->SetValue(0); });
    } else {
        fraHideBackGround[0]->hide();
        VSctopSet->hide();
        imgMainPhoto->SetTop((picPhotoFrame->Height() - imgMainPhoto->Height()) / 2);
    }
    if (imgMainPhoto->Width() >= picPhotoFrame->Width()) {
        imgMainPhoto->SetLeft(0);
        fraHideBackGround[1]->show();
        HScLeftSet->show();
        IgnoringFailure([&] {
            HScLeftSet->SetMax(imgMainPhoto->Width() - picPhotoFrame->Width() + VSctopSet->Width() +
                               ScrollOverrun);
        });
        HScLeftSet->SetSmallChange(ScrollStep);
        HScLeftSet->SetLargeChange(ScrollStep);
        IgnoringFailure([&] { VSctopSet->SetValue(0); });
    } else {
        fraHideBackGround[1]->hide();
        HScLeftSet->hide();
        imgMainPhoto->SetLeft((picPhotoFrame->Width() - imgMainPhoto->Width()) / 2);
    }
}

void frmPhoto::CheckPhotoSize() {
    bool sizeOver = false;
    double size = 0;
    IgnoringFailure(
        [&] { size = std::stod(Store().VerifyPhotoSize(imgMainPhoto->Picture(), &sizeOver)); });
    fraDetails->setTitle(QString::fromStdString("Photo - " + WholeText(m_dPhotoWidthPx) + " x " +
                                                WholeText(m_dPhotoHeightPx) + " Pixels (" +
                                                NumberText(size) + " KB)"));
    const double limit = Store().PhotosMaxSize;
    const bool overLimit = limit > 0 && size > limit;
    // The verdict decides Save until the next edit; it is shown before the warning.
    m_bPhotoTooBig = overLimit && sizeOver;
    m_bSaveOffered = !m_bPhotoTooBig;
    UpdateCommandStates();
    if (overLimit) {
        ShowMessage("This Photo is bigger than the maximum photo size: " + NumberText(limit) +
                        "KB, Photo size: " + NumberText(size) + "KB (Bitmap Format)",
                    ui::MessageBoxFlags::Exclamation);
    }
}

void frmPhoto::HScLeftSet_Change() {
    imgMainPhoto->SetLeft(-HScLeftSet->Value());
}

void frmPhoto::VSctopSet_Change() {
    imgMainPhoto->SetTop(-VSctopSet->Value());
}

void frmPhoto::optFit_Click() {
    LayoutPhoto();
}

void frmPhoto::optActualsize_Click() {
    LayoutPhoto();
}

}  // namespace vesk::photo_editor
