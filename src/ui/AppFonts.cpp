#include "AppFonts.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>

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

QFont AppFont(const QString& family, int pixelHeight, bool bold)
{
    QFont font = QFontDatabase::families().contains(family, Qt::CaseInsensitive)
        ? QFont(family)
        : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}
