// SPDX-License-Identifier: GPL-2.0-or-later
// Pictures from the program's resources, sharp on high-density screens.
#pragma once

#include <QPixmap>
#include <QString>

// The picture at `path`; on a screen with more than one pixel per point, its name@2x twin where
// there is one, marked as two pixels per point so it takes the same room. Unlike icons, plain
// pictures get no such lookup from Qt.
QPixmap LoadResourcePicture(const QString& path, qreal devicePixelRatio);
