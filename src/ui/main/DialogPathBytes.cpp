// SPDX-License-Identifier: GPL-2.0-or-later
#include "DialogPathBytes.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool Exists(const QByteArray& path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

// The one entry of folder that shows as name; empty when none or several do.
QByteArray EntryShownAs(const QByteArray& folder, const QString& name)
{
    DIR* listing = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!listing)
        return {};
    QByteArray found;
    int matches = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray entryName(entry->d_name);
        if (QFile::decodeName(entryName) == name) {
            found = entryName;
            ++matches;
        }
    }
    ::closedir(listing);
    return matches == 1 ? found : QByteArray();
}

}  // namespace

QByteArray DialogPathBytes(const QString& chosen)
{
    const QByteArray encoded = QFile::encodeName(chosen);
    const qsizetype slash = chosen.lastIndexOf(u'/');
    if (Exists(encoded) || slash < 0)
        return encoded;
    const QString name = chosen.mid(slash + 1);
    const QByteArray folder = slash == 0 ? QByteArray("/") : DialogPathBytes(chosen.left(slash));
    const QByteArray entry = name.isEmpty() ? QByteArray() : EntryShownAs(folder, name);
    const QByteArray separator = folder.endsWith('/') ? QByteArray() : QByteArray("/");
    return folder + separator + (entry.isEmpty() ? QFile::encodeName(name) : entry);
}

QList<QByteArray> DialogPathsBytes(const QStringList& chosen)
{
    QList<QByteArray> paths;
    paths.reserve(chosen.size());
    for (const QString& path : chosen)
        paths.append(DialogPathBytes(path));
    return paths;
}
