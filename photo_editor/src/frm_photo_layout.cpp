// The dialog's controls, their geometry (in twips) and the wiring of their notifications.
#include <QAction>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <exception>

#include "vesk/photo_editor/frm_photo.h"
#include "vesk/photo_editor/twips.h"
#include "vesk/ui/message_box.h"

namespace vesk::photo_editor {

namespace {

constexpr double ClientWidth = 7635;
constexpr double ClientHeight = 5730;
constexpr double PhotoFrameWidth = 3955;
constexpr double PhotoFrameHeight = 3975;
constexpr double ScrollBarThickness = 250;
constexpr double ListWidth = 2865;

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
    return Named(new QLabel(QString::fromLatin1(caption), parent), name);
}

QGroupBox* MakeFrame(QWidget* parent, const char* name) {
    return Named(new QGroupBox(parent), name);
}

QFont CaptionFont() {
    // Calibri, or a font with its metrics (Carlito) where fontconfig substitutes it.
    QFont font(QStringLiteral("Calibri"));
    font.setPointSizeF(9.75);
    return font;
}

}  // namespace

frmPhoto::frmPhoto(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPhoto"));
    BuildControls();
    ConnectHandlers();
    PopupMenuRunner = [this](QMenu& menu, const QPoint& position) {
        menu.exec(mapToGlobal(position));
    };
}

frmPhoto::~frmPhoto() {
    SetObjcPhoto(nullptr);
}

void frmPhoto::SetObjcPhoto(photo_store::CPicture* picture) {
    if (m_objcPhoto != nullptr) {
        m_objcPhoto->Unadvise(this);
    }
    m_objcPhoto = picture;
    if (m_objcPhoto != nullptr) {
        m_objcPhoto->Advise(this);
    }
}

void frmPhoto::BuildControls() {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(TwipsToPixels(ClientWidth), TwipsToPixels(ClientHeight));
    setFont(CaptionFont());

    BuildDetailsFrame();

    Shape1 = Named(new QFrame(this), "Shape1");
    Shape1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    PlaceInTwips(*Shape1, 120, 4800, 7395, 810);

    chkAction = Named(new ToggleButton(this), "chkAction");
    chkAction->setText(QStringLiteral("&Action"));
    chkAction->setToolTip(QStringLiteral("Click to view available actions"));
    PlaceInTwips(*chkAction, 300, 5055, 1215, 300);

    Label1 = MakeLabel(this, "Label1", "Vesk Photo Version 3.3.");
    PlaceInTwips(*Label1, 1620, 5085, 2700, 255);

    cmdSave = Named(new QPushButton(QStringLiteral("&Save"), this), "cmdSave");
    QFont bold = CaptionFont();
    bold.setBold(true);
    cmdSave->setFont(bold);
    cmdSave->setAutoDefault(false);
    PlaceInTwips(*cmdSave, 4815, 4995, 1215, 420);

    cmdClose = Named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");
    cmdClose->setAutoDefault(false);
    PlaceInTwips(*cmdClose, 6180, 4995, 1215, 420);

    BuildActionMenu();
}

void frmPhoto::BuildDetailsFrame() {
    fraDetails = MakeFrame(this, "fraDetails");
    PlaceInTwips(*fraDetails, 120, 60, 7395, 4650);

    lblPhoto = MakeLabel(fraDetails, "lblPhoto", "Photo");
    PlaceInTwips(*lblPhoto, 150, 330, 1200, 240);

    BuildPhotoFrame();
    BuildDataControls();
    BuildPhotoSizeFrame();
}

void frmPhoto::BuildPhotoFrame() {
    picPhotoFrame = Named(new PictureBox(fraDetails), "picPhotoFrame");
    picPhotoFrame->Place(150, 570, PhotoFrameWidth, PhotoFrameHeight);
    const double innerWidth = picPhotoFrame->ScaleWidth();
    const double innerHeight = picPhotoFrame->ScaleHeight();

    imgMainPhoto = Named(new ImageBox(*picPhotoFrame), "imgMainPhoto");

    // Masks over the picture along the right and bottom edges, under their scroll bars.
    for (std::size_t index = 0; index < fraHideBackGround.size(); ++index) {
        fraHideBackGround[index] = Named(new QFrame(picPhotoFrame), "fraHideBackGround");
        fraHideBackGround[index]->setProperty("Index", static_cast<int>(index));
        fraHideBackGround[index]->setAutoFillBackground(true);
        fraHideBackGround[index]->hide();
    }
    fraHideBackGround[0]->setGeometry(picPhotoFrame->ToWidgetRect(
        innerWidth - ScrollBarThickness, 0, ScrollBarThickness, innerHeight));
    fraHideBackGround[1]->setGeometry(picPhotoFrame->ToWidgetRect(
        0, innerHeight - ScrollBarThickness, innerWidth, ScrollBarThickness));

    HScLeftSet = Named(new ScrollBar(Qt::Horizontal, *picPhotoFrame), "HScLeftSet");
    HScLeftSet->Place(0, innerHeight - ScrollBarThickness, innerWidth - ScrollBarThickness,
                      ScrollBarThickness);
    HScLeftSet->hide();
    VSctopSet = Named(new ScrollBar(Qt::Vertical, *picPhotoFrame), "VSctopSet");
    VSctopSet->Place(innerWidth - ScrollBarThickness, 0, ScrollBarThickness,
                     innerHeight - ScrollBarThickness);
    VSctopSet->hide();
}

void frmPhoto::BuildDataControls() {
    fraDatactrls = MakeFrame(fraDetails, "fraDatactrls");
    PlaceInTwips(*fraDatactrls, 4230, 300, 3045, 3315);

    lblDescription = MakeLabel(fraDatactrls, "lblDescription", "Description:");
    PlaceInTwips(*lblDescription, 90, 210, 1500, 240);
    txtDescription = Named(new SingleLineTextBox(fraDatactrls), "txtDescription");
    txtDescription->setToolTip(
        QStringLiteral("The descrption of the photo. Double click to edit."));
    PlaceInTwips(*txtDescription, 90, 450, ListWidth, 330);

    lblComments = MakeLabel(fraDatactrls, "lblComments", "Comments:");
    PlaceInTwips(*lblComments, 90, 840, 1500, 240);
    txtComments = Named(new MultiLineTextBox(fraDatactrls), "txtComments");
    txtComments->setToolTip(QStringLiteral("Comments about the photo. Double click to edit."));
    txtComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtComments->setTabChangesFocus(true);
    PlaceInTwips(*txtComments, 90, 1080, ListWidth, 690);

    lblExisting = MakeLabel(fraDatactrls, "lblExisting", "Existing:");
    PlaceInTwips(*lblExisting, 90, 1830, 1500, 240);
    lvwPicDescription = Named(new ReportList(fraDatactrls), "lvwPicDescription");
    lvwPicDescription->setToolTip(QStringLiteral("Existing photos. Double click to edit."));
    PlaceInTwips(*lvwPicDescription, 90, 2070, ListWidth, 1140);
}

void frmPhoto::BuildPhotoSizeFrame() {
    fraPhotoSize = MakeFrame(fraDetails, "fraPhotoSize");
    PlaceInTwips(*fraPhotoSize, 4230, 3720, 3045, 825);

    chkDefault = Named(new CheckBox(fraPhotoSize), "chkDefault");
    chkDefault->setText(QStringLiteral("Default"));
    chkDefault->setToolTip(QStringLiteral("Will set te current photo as a default photo"));
    PlaceInTwips(*chkDefault, 120, 180, 1400, 270);

    optFit = Named(new QRadioButton(QStringLiteral("Fit Space"), fraPhotoSize), "optFit");
    optFit->setToolTip(QStringLiteral("Fit photo in the photo area"));
    optFit->setChecked(true);
    PlaceInTwips(*optFit, 120, 480, 1350, 270);

    optActualsize =
        Named(new QRadioButton(QStringLiteral("Actual size"), fraPhotoSize), "optActualsize");
    optActualsize->setToolTip(QStringLiteral("View the actual size of the photo"));
    PlaceInTwips(*optActualsize, 1560, 480, 1400, 270);
}

void frmPhoto::BuildActionMenu() {
    mnuPhotoAction = Named(new QMenu(QStringLiteral("Photo Action"), this), "mnuPhotoAction");
    mnuAddFromFile = mnuPhotoAction->addAction(QStringLiteral("Add Photo From File"));
    mnuAddFromFile->setObjectName(QStringLiteral("mnuAddFromFile"));
    mnuAddFromClipBoard = mnuPhotoAction->addAction(QStringLiteral("Add Photo From Clipboard"));
    mnuAddFromClipBoard->setObjectName(QStringLiteral("mnuAddFromClipBoard"));
    mnuNill0 = mnuPhotoAction->addSeparator();
    mnuNill0->setObjectName(QStringLiteral("mnuNill0"));
    mnuCopyToClipboard = mnuPhotoAction->addAction(QStringLiteral("Copy Photo To Clipboard"));
    mnuCopyToClipboard->setObjectName(QStringLiteral("mnuCopyToClipboard"));
    mnuDeleteCurrentPhoto = mnuPhotoAction->addAction(QStringLiteral("Delete Current Photo"));
    mnuDeleteCurrentPhoto->setObjectName(QStringLiteral("mnuDeleteCurrentPhoto"));
    mnuPhotoAction->setDefaultAction(mnuAddFromFile);
}

void frmPhoto::ConnectHandlers() {
    // A failure that escapes a handler is shown, never thrown into Qt's event loop.
    auto guarded = [this](auto handler) {
        return [this, handler] {
            try {
                (this->*handler)();
            } catch (const std::exception& error) {
                ShowMessage(error.what(), ui::MessageBoxFlags::Critical);
            }
        };
    };
    connect(cmdSave, &QPushButton::clicked, this, guarded(&frmPhoto::cmdSave_Click));
    connect(cmdClose, &QPushButton::clicked, this, guarded(&frmPhoto::cmdClose_Click));
    connect(chkAction, &ToggleButton::Click, this, guarded(&frmPhoto::chkAction_Click));
    connect(chkDefault, &CheckBox::Click, this, guarded(&frmPhoto::chkDefault_Click));
    connect(txtDescription, &QLineEdit::textChanged, this,
            guarded(&frmPhoto::txtDescription_Change));
    connect(txtComments, &QPlainTextEdit::textChanged, this,
            guarded(&frmPhoto::txtComments_Change));
    connect(optFit, &QRadioButton::clicked, this, guarded(&frmPhoto::optFit_Click));
    connect(optActualsize, &QRadioButton::clicked, this, guarded(&frmPhoto::optActualsize_Click));
    connect(HScLeftSet, &ScrollBar::Change, this, guarded(&frmPhoto::HScLeftSet_Change));
    connect(VSctopSet, &ScrollBar::Change, this, guarded(&frmPhoto::VSctopSet_Change));
    connect(mnuAddFromFile, &QAction::triggered, this, guarded(&frmPhoto::mnuAddFromFile_Click));
    connect(mnuAddFromClipBoard, &QAction::triggered, this,
            guarded(&frmPhoto::mnuAddFromClipBoard_Click));
    connect(mnuCopyToClipboard, &QAction::triggered, this,
            guarded(&frmPhoto::mnuCopyToClipboard_Click));
    connect(mnuDeleteCurrentPhoto, &QAction::triggered, this,
            guarded(&frmPhoto::mnuDeleteCurrentPhoto_Click));
    connect(lvwPicDescription, &ReportList::ItemClick, this, [this](const std::string& key) {
        try {
            lvwPicDescription_ItemClick(key);
        } catch (const std::exception& error) {
            ShowMessage(error.what(), ui::MessageBoxFlags::Critical);
        }
    });
}

}  // namespace vesk::photo_editor
