// SPDX-License-Identifier: GPL-2.0-or-later
// The fit rule every preview decoder scales by.
#pragma once

#include <QSize>

// The drawn size of a picture fitted into area: scaled up or down keeping the aspect ratio,
// the long side filling the area, the other truncated to an integer.
QSize FitPictureSize(QSize picture, QSize area);
