// SPDX-License-Identifier: GPL-2.0-or-later
// The steps of the list's undo history. Each step is pushed after its change has been made (by a
// command, a drop or a drag), so its first redo does nothing; later undos and redos replay the
// change on the list's items through ListPaths, so every item keeps its path bytes.
//
// After an undo or a redo the item the step touched is selected (the first one put back or put
// in; a moved item wherever it went); a step that leaves no such item leaves no selection.
#pragma once

#include <QByteArray>
#include <QUndoCommand>

#include <vector>

class QListWidget;

// Rows [row, row + removed.size()) held `removed` and now hold `inserted`: an add, a drop, a
// remove, a clear or a load.
class ListSpliceStep final : public QUndoCommand {
public:
    ListSpliceStep(const QString& text, QListWidget& list, int row, std::vector<QByteArray> removed,
                   std::vector<QByteArray> inserted);

    void undo() override;
    void redo() override;

private:
    void Replace(const std::vector<QByteArray>& out, const std::vector<QByteArray>& in);

    QListWidget& list_;
    int row_;
    std::vector<QByteArray> removed_;
    std::vector<QByteArray> inserted_;
    bool done_ = true;
};

// The item at row `from` went to row `to` (its row after the move).
class ListMoveStep final : public QUndoCommand {
public:
    ListMoveStep(const QString& text, QListWidget& list, int from, int to);

    void undo() override;
    void redo() override;

private:
    void Move(int from, int to);

    QListWidget& list_;
    int from_;
    int to_;
    bool done_ = true;
};

// The paths of rows [row, row + count), in order.
std::vector<QByteArray> PathsOfRows(const QListWidget& list, int row, int count);
