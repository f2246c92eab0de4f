// SPDX-License-Identifier: GPL-2.0-or-later
#include "ResourcePicture.h"

QPixmap LoadResourcePicture(const QString& path, qreal devicePixelRatio)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (devicePixelRatio > 1 && dot > path.lastIndexOf(QLatin1Char('/'))) {
        QPixmap twin;
        if (twin.load(path.left(dot) + QStringLiteral("@2x") + path.mid(dot))) {
            twin.setDevicePixelRatio(2);
            return twin;
        }
    }
    return QPixmap(path);
}
