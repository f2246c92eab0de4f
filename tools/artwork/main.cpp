// SPDX-License-Identifier: GPL-2.0-or-later
// Draws every picture the program loads and writes them into the resources folder given as the
// only argument: each picture at 1x and, as name@2x, at twice the pixels for high-density screens,
// and the application icon at every size the desktop's icon theme looks for. The output is
// committed; rerun this after changing a drawing.
#include "Artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <functional>

namespace {

bool Write(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    if (image.save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// "glyphs/add.png" -> "glyphs/add@2x.png": the name Qt looks for on a screen of scale 2.
QString DoubleName(const QString& path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const struct {
        const char* path;
        std::function<QImage(qreal)> draw;
    } pictures[] = {
        {"glyphs/add.png", art::AddGlyph},       {"glyphs/remove.png", art::RemoveGlyph},
        {"glyphs/create.png", art::CreateGlyph}, {"glyphs/clear.png", art::ClearGlyph},
        {"glyphs/save.png", art::SaveGlyph},     {"glyphs/load.png", art::LoadGlyph},
        {"glyphs/about.png", art::AboutGlyph},   {"glyphs/exit.png", art::ExitGlyph},
        {"about/image3.png", art::CloseBadge},   {"about/image4.png", art::GoldFrame},
        {"about/image1.bmp", art::FramedPicture},
    };
    for (const auto& picture : pictures) {
        const QString path = out.filePath(QString::fromLatin1(picture.path));
        if (!Write(picture.draw(1), path) || !Write(picture.draw(2), DoubleName(path)))
            return 1;
    }

    // One file per size of the hicolor theme's apps folders; the resources name the largest as
    // the window's icon.
    for (const int size : art::kIconSizes) {
        const QString path = out.filePath(QStringLiteral("icons/hicolor/%1x%1/apps/leafbind.png").arg(size));
        if (!Write(art::AppIcon(size / 256.0), path))
            return 1;
    }
    return 0;
}
