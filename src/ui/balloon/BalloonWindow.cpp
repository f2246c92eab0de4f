// SPDX-License-Identifier: GPL-2.0-or-later
#include "BalloonWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPathStroker>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int kPadding = 8;
constexpr int kIconSize = 16;
constexpr int kIconGap = 6;
constexpr int kMaxTextWidth = 320;
constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;

QRect AvailableArea(const QPoint& globalPoint)
{
    const QScreen* screen = QGuiApplication::screenAt(globalPoint);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

BalloonWindow::BalloonWindow(QWidget* host)
    : QWidget(host, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                        | Qt::WindowTransparentForInput)
{
    // The stem's tip sits at the pointer: clicks and moves there belong to the control beneath.
    setObjectName(QStringLiteral("balloonToolTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void BalloonWindow::ShowText(const QString& text, const QFont& font, const QPoint& hintPoint)
{
    text_ = text;
    setFont(font);
    const QRect textBounds = fontMetrics().boundingRect(QRect(0, 0, kMaxTextWidth, 10000), kTextFlags, text);
    const QSize body(2 * kPadding + kIconSize + kIconGap + textBounds.width(),
                     2 * kPadding + std::max(kIconSize, textBounds.height()));
    shape_ = PlaceBalloon(AvailableArea(hintPoint), hintPoint, body);

    setGeometry(shape_.bounds);
    // A window mask keeps the corners and the space beside the stem see-through without a compositor.
    // It takes in the outline's pen too, so the border is not shaved off the stem's slanted sides.
    const QPainterPath outline = BalloonOutline(shape_);
    QPainterPathStroker pen;
    pen.setWidth(1);
    setMask(QRegion(outline.united(pen.createStroke(outline)).toFillPolygon().toPolygon()));
    update();
    show();
    raise();
}

QRect BalloonWindow::TextRect() const
{
    const QRect body = shape_.body.translated(-shape_.bounds.topLeft());
    return body.adjusted(kPadding + kIconSize + kIconGap, kPadding, -kPadding, -kPadding);
}

void BalloonWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The mask's rim outside the outline takes the border's colour, so the edge stays one dark line.
    painter.fillRect(rect(), palette().color(QPalette::ToolTipText));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::ToolTipText), 1));
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.drawPath(BalloonOutline(shape_));

    const QRect body = shape_.body.translated(-shape_.bounds.topLeft());
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this);
    icon.paint(&painter, QRect(body.left() + kPadding, body.top() + kPadding, kIconSize, kIconSize));

    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawText(TextRect(), kTextFlags, text_);
}

void BalloonWindow::mousePressEvent(QMouseEvent*)
{
    hide();
}
