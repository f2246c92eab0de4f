// SPDX-License-Identifier: GPL-2.0-or-later
#include "AppFonts.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include <cstdlib>

namespace {

constexpr const char* kWineFontFolder = "/usr/share/wine/fonts";
// Tahoma (regular and bold) for the main window, MS Sans Serif for the about box.
constexpr const char* kFaceFiles[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};

}  // namespace

void RegisterAppFontsFrom(const QString& folder)
{
    const QDir dir(folder);
    for (const char* name : kFaceFiles) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
}

void RegisterAppFonts()
{
    RegisterAppFontsFrom(QString::fromLatin1(kWineFontFolder));
}

namespace {

constexpr const char* kGeneralFamily = "Tahoma";
// A bitmap strike this close to the wanted height is the intended one: the cell of a face whose
// characters are that high is a little taller than the characters.
constexpr int kStrikeTolerance = 2;

QFont Sized(QFont font, int pixelHeight, bool bold)
{
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

bool Available(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

}  // namespace

QFont AppFont(const QString& family, int pixelHeight, bool bold)
{
    const QFont systemSans = Sized(QFontDatabase::systemFont(QFontDatabase::GeneralFont), pixelHeight, bold);
    if (!Available(family))
        return systemSans;
    const QFont font = Sized(QFont(family), pixelHeight, bold);
    if (QFontDatabase::isScalable(family))
        return font;
    // On a screen with more pixels than points a strike is drawn at its own pixel size with its
    // advances scaled up: small letters spaced wide apart. Any screen that dense rules it out.
    const bool denseScreen = qApp != nullptr && qApp->devicePixelRatio() > 1;
    if (!denseScreen && std::abs(QFontInfo(font).pixelSize() - pixelHeight) <= kStrikeTolerance)
        return font;
    // A bitmap face far from any strike: a scalable sans of similar design reads better than a
    // misfit strike.
    const QString general = QString::fromLatin1(kGeneralFamily);
    return Available(general) ? Sized(QFont(general), pixelHeight, bold) : systemSans;
}
