// SPDX-License-Identifier: GPL-2.0-or-later
#include "PreviewFrame.h"

#include <QPainter>

PreviewFrame::PreviewFrame(const QString& caption, QWidget* parent) : QFrame(parent), caption_(caption)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void PreviewFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    // The grey of a scroll bar's track: visible while no picture covers it, quiet behind one.
    painter.setPen(QColor(200, 200, 200));
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextWordWrap, caption_);
}
