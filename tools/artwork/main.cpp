// Draws every picture the program loads and writes them into the resources folder given as the
// only argument. The output is committed; rerun this after changing a drawing.
#include "Artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <functional>

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
        std::function<QImage()> draw;
    } pictures[] = {
        {"glyphs/add.png", art::AddGlyph},       {"glyphs/remove.png", art::RemoveGlyph},
        {"glyphs/create.png", art::CreateGlyph}, {"glyphs/clear.png", art::ClearGlyph},
        {"glyphs/save.png", art::SaveGlyph},     {"glyphs/load.png", art::LoadGlyph},
        {"glyphs/about.png", art::AboutGlyph},   {"glyphs/exit.png", art::ExitGlyph},
        {"about/image3.png", art::CloseBadge},   {"about/image4.png", art::GoldFrame},
        {"about/image1.bmp", art::FramedPicture}, {"icons/leafbind.png", art::AppIcon},
    };
    for (const auto& picture : pictures) {
        const QString path = out.filePath(QString::fromLatin1(picture.path));
        QDir().mkpath(QFileInfo(path).path());
        if (!picture.draw().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
