// SPDX-License-Identifier: GPL-2.0-or-later
// The steps of the list's undo history. Each step is pushed after its change has been made (by a
// command, a drop or a drag), so its first redo does nothing; later undos and redos replay the
// change on the list's items through ListPaths, so every item keeps its path bytes.
//
// After an undo or a redo the item the step touched is selected: the first one put back or put in,
// the one now standing where items were taken out (the last item when they were at the end), a
// moved item wherever it went; only an empty list is left without a selection.
#pragma once

#include <QByteArray>
#include <QUndoCommand>

#include <vector>

class QListWidget;

// A change already made when it is pushed: the first redo does nothing, later ones replay it.
class ListStep : public QUndoCommand {
public:
    void undo() final { Play(false); }
    void redo() final;

protected:
    ListStep(const QString& text, QListWidget& list) : QUndoCommand(text), list_(list) { }
    // Makes the change again (forward) or takes it back.
    virtual void Play(bool forward) = 0;

    QListWidget& list_;

private:
    bool done_ = true;
};

// Rows [row, row + removed.size()) held `removed` and now hold `inserted`: an add, a drop, a
// remove, a clear or a load.
class ListSpliceStep final : public ListStep {
public:
    ListSpliceStep(const QString& text, QListWidget& list, int row, std::vector<QByteArray> removed,
                   std::vector<QByteArray> inserted);

private:
    void Play(bool forward) override;
    void Replace(const std::vector<QByteArray>& out, const std::vector<QByteArray>& in);

    int row_;
    std::vector<QByteArray> removed_;
    std::vector<QByteArray> inserted_;
};

// The item at row `from` went to row `to` (its row after the move).
class ListMoveStep final : public ListStep {
public:
    ListMoveStep(const QString& text, QListWidget& list, int from, int to);

private:
    void Play(bool forward) override;
    void Move(int from, int to);

    int from_;
    int to_;
};

// The paths of rows [row, row + count), in order.
std::vector<QByteArray> PathsOfRows(const QListWidget& list, int row, int count);
