// SPDX-License-Identifier: GPL-2.0-or-later
#include "ListUndo.h"

#include "ListPaths.h"

#include <QListWidget>

namespace {

// Selects `row` (none when out of range) without raising anything a user's click would.
void SelectRow(QListWidget& list, int row)
{
    if (row >= 0 && row < list.count()) {
        list.setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        list.scrollToItem(list.item(row));
    } else {
        list.selectionModel()->clear();
    }
}

}  // namespace

std::vector<QByteArray> PathsOfRows(const QListWidget& list, int row, int count)
{
    std::vector<QByteArray> paths;
    paths.reserve(static_cast<size_t>(qMax(count, 0)));
    for (int i = row; i < row + count && i < list.count(); ++i)
        paths.push_back(PathOf(*list.item(i)));
    return paths;
}

void ListStep::redo()
{
    if (done_) {
        done_ = false;
        return;
    }
    Play(true);
}

ListSpliceStep::ListSpliceStep(const QString& text, QListWidget& list, int row, std::vector<QByteArray> removed,
                               std::vector<QByteArray> inserted)
    : ListStep(text, list), row_(row), removed_(std::move(removed)), inserted_(std::move(inserted))
{
}

void ListSpliceStep::Play(bool forward)
{
    if (forward)
        Replace(removed_, inserted_);
    else
        Replace(inserted_, removed_);
}

void ListSpliceStep::Replace(const std::vector<QByteArray>& out, const std::vector<QByteArray>& in)
{
    const int row = qBound(0, row_, list_.count());
    list_.setUpdatesEnabled(false);
    for (size_t i = 0; i < out.size() && row < list_.count(); ++i)
        delete list_.takeItem(row);
    int at = row;
    for (const QByteArray& path : in)
        InsertPath(list_, at++, path);
    list_.setUpdatesEnabled(true);
    // Where items were only taken out, the one now in their place (the last, at the end) is touched.
    SelectRow(list_, in.empty() ? qMin(row, list_.count() - 1) : row);
}

ListMoveStep::ListMoveStep(const QString& text, QListWidget& list, int from, int to)
    : ListStep(text, list), from_(from), to_(to)
{
}

void ListMoveStep::Play(bool forward)
{
    if (forward)
        Move(from_, to_);
    else
        Move(to_, from_);
}

void ListMoveStep::Move(int from, int to)
{
    if (from < 0 || from >= list_.count())
        return;
    QListWidgetItem* moved = list_.takeItem(from);
    list_.insertItem(qBound(0, to, list_.count()), moved);
    SelectRow(list_, list_.row(moved));
}
