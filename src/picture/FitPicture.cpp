// SPDX-License-Identifier: GPL-2.0-or-later
#include "FitPicture.h"

QSize FitPictureSize(QSize picture, QSize area)
{
    const int w = picture.width();
    const int h = picture.height();
    if (w <= 0 || h <= 0)
        return QSize(0, 0);
    const double aspect = static_cast<double>(w) / h;
    const int cw = area.width();
    const int ch = area.height();
    if (w > h) {
        int drawnWidth = cw;
        int drawnHeight = static_cast<int>(cw / aspect);
        if (drawnHeight > ch) {
            drawnHeight = ch;
            drawnWidth = static_cast<int>(ch * aspect);
        }
        return QSize(drawnWidth, drawnHeight);
    }
    int drawnHeight = ch;
    int drawnWidth = static_cast<int>(ch * aspect);
    if (drawnWidth > cw) {
        drawnWidth = cw;
        drawnHeight = static_cast<int>(cw / aspect);
    }
    return QSize(drawnWidth, drawnHeight);
}
