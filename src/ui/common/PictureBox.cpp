// SPDX-License-Identifier: GPL-2.0-or-later
#include "PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
}

void PictureBox::SetPicture(const QPixmap& picture, Fit fit)
{
    picture_ = picture;
    fit_ = fit;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    // Smooth also at natural size: a picture made for a denser screen is scaled on a plainer one.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (fit_ == Fit::Stretch) {
        painter.drawPixmap(rect(), picture_);
    } else {
        painter.drawPixmap(0, 0, picture_);
    }
}
