// SPDX-License-Identifier: GPL-2.0-or-later
// The two faces the layouts are drawn with, and how to ask for them.
#pragma once

#include <QFont>
#include <QString>

// Registers the metric-compatible faces that fonts-wine ships outside fontconfig's reach.
// Call once after the QApplication exists; missing files are skipped silently.
void RegisterAppFonts();

// Same, reading the face files from another folder (tests point it at a folder of their own).
void RegisterAppFontsFrom(const QString& folder);

// `family` at `pixelHeight` pixels; the system's sans font when that family is not available. A bitmap
// face without a strike near that size (the about box face has small strikes only), or on a screen
// scaled above one pixel per point, gives way to Tahoma when registered, else to the system's sans font.
QFont AppFont(const QString& family, int pixelHeight, bool bold = false);
