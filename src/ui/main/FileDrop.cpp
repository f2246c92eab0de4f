// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileDrop.h"

#include "ListPaths.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>
#include <optional>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray ThisHostName()
{
    std::array<char, 256> name {};
    if (gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return QByteArray(name.data());
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Each %XX becomes its byte; a '%' without two hex digits stays as it is (the toolkit's own
// decoder would turn "%zz" into some byte).
QByteArray PercentDecoded(const QByteArray& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            bytes += char(high * 16 + low);
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// The path bytes of a local file URL; nothing for any other URL.
std::optional<QByteArray> LocalPathOf(const QByteArray& url, const QByteArray& hostName)
{
    static const QByteArray kScheme("file:");
    if (url.size() < kScheme.size() || url.left(kScheme.size()).toLower() != kScheme)
        return std::nullopt;
    QByteArray rest = url.mid(kScheme.size());
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        if (slash < 0)
            return std::nullopt;
        const QByteArray host = rest.mid(2, slash - 2).toLower();
        if (!host.isEmpty() && host != "localhost" && (hostName.isEmpty() || host != hostName.toLower()))
            return std::nullopt;
        rest = rest.mid(slash);
    }
    // A '#' or '?' that a sloppy source left unescaped is taken as part of the name: a fragment or
    // query means nothing for a file on disk, and cutting it off would name another file.
    const QByteArray path = PercentDecoded(rest);
    if (!path.startsWith('/') || path.contains('\0'))
        return std::nullopt;
    return path;
}

template <typename Visit>
void ForEachUri(const QByteArray& uriList, Visit visit)
{
    for (const QByteArray& line : uriList.split('\n')) {
        // Some sources end the list with a NUL; surrounding blanks are no part of a URL.
        QByteArray uri = line.trimmed();
        while (uri.endsWith('\0'))
            uri.chop(1);
        uri = uri.trimmed();
        if (uri.isEmpty() || uri.startsWith('#'))
            continue;
        if (!visit(uri))
            return;
    }
}

struct FolderEntry {
    QString shown;
    QByteArray path;
};

// Adds the JPEG files directly inside `folder` to `out`, in natural order of their names.
void AddFolder(const QByteArray& folder, DroppedPaths& out)
{
    DIR* dir = opendir(folder.constData());
    if (dir == nullptr) {
        ++out.skipped;
        return;
    }
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    std::vector<FolderEntry> entries;
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        // Follows links, so a link to a photo counts as the photo; a broken link is skipped.
        if (fstatat(dirfd(dir), entry->d_name, &info, 0) != 0) {
            ++out.skipped;
        } else if (S_ISDIR(info.st_mode)) {
            continue;  // only one level: a subfolder is neither added nor a skipped file
        } else if (S_ISREG(info.st_mode) && HasJpegExtension(name)) {
            entries.push_back({ShownPath(name), prefix + name});
        } else {
            ++out.skipped;
        }
    }
    closedir(dir);

    // The C locale's collation compares code points and ignores the numeric mode, so it would put
    // IMG_10 before IMG_2: natural order needs a real language's rules.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English);
    QCollator collator(locale);
    collator.setNumericMode(true);
    std::sort(entries.begin(), entries.end(), [&collator](const FolderEntry& a, const FolderEntry& b) {
        const int order = collator.compare(a.shown, b.shown);
        return order != 0 ? order < 0 : a.path < b.path;
    });
    for (FolderEntry& entry : entries)
        out.paths.push_back(std::move(entry.path));
}

}  // namespace

DroppedPaths LocalPathsOfUriList(const QByteArray& uriList)
{
    const QByteArray hostName = ThisHostName();
    DroppedPaths result;
    ForEachUri(uriList, [&](const QByteArray& uri) {
        if (std::optional<QByteArray> path = LocalPathOf(uri, hostName)) {
            result.paths.push_back(std::move(*path));
        } else {
            ++result.skipped;
        }
        return true;
    });
    return result;
}

bool OffersLocalPath(const QByteArray& uriList)
{
    const QByteArray hostName = ThisHostName();
    bool found = false;
    ForEachUri(uriList, [&](const QByteArray& uri) {
        found = LocalPathOf(uri, hostName).has_value();
        return !found;
    });
    return found;
}

bool HasJpegExtension(const QByteArray& path)
{
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QByteArray extension = name.mid(dot + 1).toLower();
    return extension == "jpg" || extension == "jpeg" || extension == "jpe" || extension == "jfif";
}

DroppedPaths JpegFilesOf(const DroppedPaths& offered)
{
    DroppedPaths result;
    result.skipped = offered.skipped;
    for (const QByteArray& path : offered.paths) {
        struct stat info {};
        if (stat(path.constData(), &info) != 0) {
            ++result.skipped;
        } else if (S_ISDIR(info.st_mode)) {
            AddFolder(path, result);
        } else if (S_ISREG(info.st_mode) && HasJpegExtension(path)) {
            result.paths.push_back(path);
        } else {
            ++result.skipped;
        }
    }
    return result;
}
