// SPDX-License-Identifier: GPL-2.0-or-later
// Balloon hints: every tooltip of the application is shown as a balloon (a rounded body with a stem
// pointing at the pointer, the information icon, no title, no sound) instead of the standard tooltip.
#pragma once

class QApplication;
class QWidget;

// Installs one application-wide event filter that answers every widget's tooltip request, menu
// items' included (for menus that show tooltips). Call once, after the QApplication exists.
void InstallBalloonToolTips(QApplication& app);

// `window` and its children show no tooltips at all, balloon or standard. Call after the window's
// children exist.
void SuppressBalloonToolTips(QWidget* window);

// True when `widget` lies in a window that opted out.
bool BalloonToolTipsSuppressed(const QWidget* widget);

// The balloon on screen now, or null when none is showing (for tests and the main window's tests).
QWidget* VisibleBalloon();
