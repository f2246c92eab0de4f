// SPDX-License-Identifier: GPL-2.0-or-later
#include "ListPaths.h"

#include <QFile>
#include <QListWidget>

namespace {

// Where an item keeps its path bytes, apart from the list's own object role.
constexpr int kPathBytesRole = Qt::UserRole + 0x5042;

}  // namespace

QString ShownPath(const QByteArray& path) { return QFile::decodeName(path); }

void InsertPath(QListWidget& list, int row, const QByteArray& path)
{
    if (row < 0 || row > list.count())
        row = list.count();
    auto* item = new QListWidgetItem(ShownPath(path));
    item->setData(kPathBytesRole, path);
    list.insertItem(row, item);
}

QByteArray PathOf(const QListWidgetItem& item)
{
    const QVariant bytes = item.data(kPathBytesRole);
    return bytes.isValid() ? bytes.toByteArray() : QFile::encodeName(item.text());
}

std::vector<std::string> PathsOf(const QListWidget& list)
{
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i)
        paths.push_back(PathOf(*list.item(i)).toStdString());
    return paths;
}
