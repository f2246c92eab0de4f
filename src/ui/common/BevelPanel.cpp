// SPDX-License-Identifier: GPL-2.0-or-later
#include "BevelPanel.h"

#include <QPainter>

namespace {

// One bevel ring `width` pixels wide just inside `outer`: `topLeft` on the top and left edges,
// `bottomRight` on the others, like light falling from the top-left.
void DrawBevel(QPainter& painter, QRect outer, int width, const QColor& topLeft, const QColor& bottomRight)
{
    for (int i = 0; i < width; ++i) {
        const QRect r = outer.adjusted(i, i, -i, -i);
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
}

}  // namespace

BevelPanel::BevelPanel(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

void BevelPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    DrawBevel(painter, rect(), kBevelWidth, shadow, highlight);
    DrawBevel(painter, rect().adjusted(kBevelWidth, kBevelWidth, -kBevelWidth, -kBevelWidth), kBevelWidth,
              highlight, shadow);
}
