// SPDX-License-Identifier: GPL-2.0-or-later
#include "About.h"

#include "AppFonts.h"
#include "AppTitle.h"
#include "BalloonToolTip.h"
#include "BevelPanel.h"
#include "FramePlacement.h"
#include "PictureBox.h"
#include "PointerNotifier.h"
#include "ResourcePicture.h"
#include "ShellOpener.h"

#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

constexpr const char* kDialogFontFamily = "MS Sans Serif";
constexpr QSize kClientSize(298, 287);
constexpr QPoint kHoverShift(2, 2);
const QColor kLinkHoverColour(0, 0, 255);
const QColor kLinkRestColour(0, 0, 0);

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

PictureBox* MakePicture(QWidget* parent, const QString& name, const QString& resource, PictureBox::Fit fit,
                        const QRect& geometry)
{
    auto* picture = new PictureBox(parent);
    picture->setObjectName(name);
    picture->setGeometry(geometry);
    picture->SetPicture(LoadResourcePicture(resource, parent->devicePixelRatioF()), fit);
    return picture;
}

void SetTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent, std::shared_ptr<ShellOpener> opener)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      opener_(opener ? std::move(opener) : std::make_shared<DesktopShellOpener>())
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QString::fromLatin1(kProductCaption));
    setFixedSize(kClientSize);
    setFont(AppFont(QString::fromLatin1(kDialogFontFamily), 11));

    // The whole dialog sits on the button-face colour, as a classic dialog does.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);

    BuildControls();
    AttachHandlers();
    // The hints are link targets, not help texts: this window shows no tooltips at all.
    SuppressBalloonToolTips(this);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::BuildControls()
{
    // Creation order is stacking order: a later sibling is drawn over an earlier one.
    image3 = MakePicture(this, QStringLiteral("image3"), QStringLiteral(":/about/image3.png"),
                         PictureBox::Fit::Natural, QRect(128, 233, 48, 48));

    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(9, 8, 281, 218);

    const QString address = QString::fromLatin1(kMakerAddress);
    makerLine = MakeLabel(Panel1, QStringLiteral("makerLine"), QString::fromLatin1(kMakerLine), QRect(3, 34, 273, 13));

    Comments = MakeLabel(Panel1, QStringLiteral("Comments"), QString::fromLatin1(kMakerAddressShown),
                         QRect(3, 69, 273, 13));
    Comments->setWordWrap(true);
    Comments->setToolTip(address);
    SetTextColour(Comments, palette().color(QPalette::WindowText));

    Image1 = MakePicture(Panel1, QStringLiteral("Image1"), QStringLiteral(":/about/image1.bmp"),
                         PictureBox::Fit::Natural, QRect(71, 95, 145, 105));
    Image1->setToolTip(address);

    const QString family = QString::fromLatin1(kDialogFontFamily);
    sLabelFX1 = MakeLabel(Panel1, QStringLiteral("sLabelFX1"), QString::fromLatin1(kProductCaption),
                          QRect(3, 0, 273, 32));
    sLabelFX1->setFont(AppFont(family, 19, true));
    sLabelFX1->setAlignment(Qt::AlignCenter);
    SetTextColour(sLabelFX1, Qt::black);
    auto* shadow = new QGraphicsDropShadowEffect(sLabelFX1);
    shadow->setBlurRadius(6);
    shadow->setOffset(2, 2);
    shadow->setColor(QColor(0, 0, 0, 150));
    sLabelFX1->setGraphicsEffect(shadow);

    sLabel1 = MakeLabel(Panel1, QStringLiteral("sLabel1"), QString::fromLatin1(kApplicationTitle),
                        QRect(3, 53, 273, 13));
    sLabel1->setFont(AppFont(family, 11));
    SetTextColour(sLabel1, Qt::black);

    image4 = MakePicture(Panel1, QStringLiteral("image4"), QStringLiteral(":/about/image4.png"),
                         PictureBox::Fit::Stretch, QRect(59, 83, 168, 128));
    // A frame only: the pointer reaches the picture beneath its transparent middle.
    image4->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TAboutBox::AttachHandlers()
{
    const auto* comments = PointerNotifier::Watch(Comments);
    connect(comments, &PointerNotifier::Moved, this, &TAboutBox::CommentsMouseMove);
    connect(comments, &PointerNotifier::Left, this, &TAboutBox::CommentsMouseLeave);
    connect(comments, &PointerNotifier::Clicked, this, &TAboutBox::CommentsClick);

    const auto* picture = PointerNotifier::Watch(Image1);
    connect(picture, &PointerNotifier::Moved, this, &TAboutBox::Image1MouseMove);
    connect(picture, &PointerNotifier::Left, this, &TAboutBox::Image1MouseLeave);
    connect(picture, &PointerNotifier::Clicked, this, &TAboutBox::Image1Click);

    const auto* close = PointerNotifier::Watch(image3);
    connect(close, &PointerNotifier::Entered, this, &TAboutBox::image3MouseEnter);
    connect(close, &PointerNotifier::Left, this, &TAboutBox::image3MouseLeave);
    connect(close, &PointerNotifier::Clicked, this, &TAboutBox::image3Click);
}

void TAboutBox::setVisible(bool visible)
{
    // Centred on the screen the first time only; afterwards the dialog reopens where it was left.
    if (visible && !placed_) {
        create();  // the platform window reports the frame's size, where it already knows it
        const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        if (screen)
            CentreByFrame(this, screen->geometry());
        placed_ = true;
    }
    QDialog::setVisible(visible);
}

void TAboutBox::hideEvent(QHideEvent* event)
{
    // The pointer is gone with the window; a leave that never arrived must not keep image3 shifted.
    image3MouseLeave(image3);
    QDialog::hideEvent(event);
}

void TAboutBox::CommentsMouseMove(QObject*)
{
    // Set again on every move, not only on arrival.
    Comments->setCursor(Qt::PointingHandCursor);
    SetTextColour(Comments, kLinkHoverColour);
}

void TAboutBox::CommentsMouseLeave(QObject*)
{
    Comments->unsetCursor();
    SetTextColour(Comments, kLinkRestColour);
}

void TAboutBox::CommentsClick(QObject* sender)
{
    if (const auto* label = qobject_cast<QLabel*>(sender))
        opener_->Open(label->toolTip());
}

void TAboutBox::Image1MouseMove(QObject*)
{
    Image1->setCursor(Qt::PointingHandCursor);
}

void TAboutBox::Image1MouseLeave(QObject*)
{
    Image1->unsetCursor();
}

void TAboutBox::Image1Click(QObject* sender)
{
    if (const auto* picture = qobject_cast<PictureBox*>(sender))
        opener_->Open(picture->toolTip());
}

void TAboutBox::image3MouseEnter(QObject*)
{
    // Shift and unshift strictly in pairs, so a lost enter or leave cannot walk the control away.
    if (image3Shifted_)
        return;
    image3Shifted_ = true;
    image3->move(image3->pos() + kHoverShift);
    image3->setCursor(Qt::PointingHandCursor);
}

void TAboutBox::image3MouseLeave(QObject*)
{
    if (!image3Shifted_)
        return;
    image3Shifted_ = false;
    image3->move(image3->pos() - kHoverShift);
    image3->unsetCursor();
}

void TAboutBox::image3Click(QObject*)
{
    reject();
}
