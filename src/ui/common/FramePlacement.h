// SPDX-License-Identifier: GPL-2.0-or-later
// Centring a window by its outer frame (title bar and borders included), not by its client area.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where the frame's top-left corner goes so that a frame of `outer` size is centred on `desktop`:
// left = (desktop width - outer width) / 2 and top likewise, never left of or above the desktop.
QPoint CentredFramePosition(const QRect& desktop, const QSize& outer);

// Centres the top-level `window` on `desktop` by its frame now, with the frame size the window
// system reports so far, and once more when it reports another: on X11 the window manager adds
// the frame only when the window is mapped. A window hidden before that keeps where it is.
void CentreByFrame(QWidget* window, const QRect& desktop);
