// SPDX-License-Identifier: GPL-2.0-or-later
// TListBox: a single-selection list of text items that tells its owner about every change of
// selection or contents (OnChange) and lets the user reorder items by dragging them, within one
// list and between two lists paired as drag partners.
//
// Behaviour chosen where the list's contract is open (as a Linux desktop user would expect):
// - Clearing the partner (SetDragDropListBox(nullptr)) unlinks and sets dmManual on this list
//   only; the former partner keeps naming this list, as a new pairing also leaves it.
// - A drag started by a press that is not on an item (empty area, empty list) carries nothing:
//   it shows the refuse cursor and drops nothing. A drop whose source has no selected item (the
//   user deselected it with Ctrl) inserts nothing, yet still reaches OnDragDrop and OnChange.
// - Drag visuals: a move cursor over a list that accepts, a forbidden cursor elsewhere. Escape, a
//   press of another mouse button, or a move that shows the left button already up cancels.
//   A modal dialog opened meanwhile (by a listener, say) ends the drag too.
//   While a drag is armed, key presses go to the drag, not to the focused widget, so the dragged
//   item cannot change under the pointer.
// - The drag's drop point is the release point: the release is asked of the list under it like
//   one more move, so a drop lands where the user let go.
// - A drop leaves the source without a selection; the target's selection stays on the item it
//   was on. The item itself moves, so its object, tooltip and other data travel with its text.
// - Removing the selected item (takeItem, a drag) leaves the list without a selection, rather
//   than quietly selecting a neighbour that nobody was told about.
// - SetItemIndex with an index outside 0..count()-1 clears the selection, like -1.
// - Type-ahead: each typed character extends the search text (a pause of 500 ms or more starts
//   it afresh); the first item from the top whose text begins with it, ignoring case, is
//   selected through SetItemIndex. When nothing matches, the selection stays.
// - OnClick is raised after a mouse press, a held-button move or a key that changed the selected
//   item; program assignments and drops never raise it.
// - An OnKeyDown listener that calls event->ignore() keeps the key from the list's own
//   processing.
// - Alt+Up and Alt+Down move the selected item one place, Alt+Home and Alt+End to the top and the
//   bottom, wherever a drag could move it within this list; the selection follows the item and
//   OnChange is raised once, as after that drop. A move that would change nothing raises nothing.
// - Every move of an item that lands it on another row (a drop, a move by keys) emits ItemMoved
//   from the list that received it, before OnDragDrop and OnChange, so an owner can record it.
//   Where the list cannot reorder itself, the keys act as without Alt.
// - Right and middle presses select the item under the pointer (as lists on Linux desktops do,
//   so a context menu acts on the item clicked) and raise OnChange and OnClick when that changed
//   the selection. A left double click is handled as a left press.
// - A click on the empty area below the items keeps the selection.
// - A move that arrives with the left button already up while LeftButtonDown is still set (the
//   release went elsewhere) clears LeftButtonDown and is consumed like any move without button.
#pragma once

#include <QElapsedTimer>
#include <QListWidget>
#include <QPoint>
#include <QPointer>
#include <functional>

class QKeyEvent;
class QMouseEvent;
class ListDragOperation;
class ListItemHeightDelegate;

class TListBox : public QListWidget {
    Q_OBJECT

public:
    using Notification = std::function<void(TListBox* sender)>;
    using KeyNotification = std::function<void(TListBox* sender, QKeyEvent* event)>;
    using MouseNotification = std::function<void(TListBox* sender, QMouseEvent* event)>;
    // Called while a drag moves over this list; `accept` arrives true and may be set false.
    using DragOverNotification = std::function<void(TListBox* sender, TListBox* source, QPoint pos, bool& accept)>;
    using DragDropNotification = std::function<void(TListBox* sender, TListBox* source, QPoint pos)>;

    enum TDragMode { dmManual, dmAutomatic };

    explicit TListBox(QWidget* parent = nullptr);
    ~TListBox() override;

    // Index of the selected item, -1 when none is selected.
    int ItemIndex() const;
    // Selects item `index` (-1 or out of range: no selection), then raises OnChange, always.
    void SetItemIndex(int index);

    // Text of the selected item; empty when none is selected.
    QString ActiveString() const;
    // Object of the selected item (not owned, may be null); null when none is selected.
    QObject* ActiveObject() const;

    bool AllowInternalDrag() const;
    void SetAllowInternalDrag(bool allow);

    // The drag partner: the list whose items may be dropped here and which receives this list's
    // items. Pairing with P links P back to this list and puts both in dmAutomatic; P may be this
    // list. Not owned; a partner that is destroyed reads as none from then on.
    TListBox* DragDropListBox() const;
    void SetDragDropListBox(TListBox* partner);

    const Notification& OnChange() const;
    void SetOnChange(Notification handler);

    TDragMode DragMode() const;
    void SetDragMode(TDragMode mode);

    // True from a left press on this list until its next left release; a press in dmAutomatic ends
    // itself when it arms the drag, so this is false again before the press handling returns.
    bool LeftButtonDown() const;

    // Index of the item whose rectangle holds the viewport point (x, y); -1 outside the viewport
    // or where no item lies (below the last one, say). Does not scan the items.
    int ItemAtPoint(int x, int y) const;

    // Appends an item; `object` is not owned and may be null.
    void AddItem(const QString& text, QObject* object = nullptr);

    // Height of every item in pixels; 0 (the default) takes the height the font and style give.
    int ItemHeight() const;
    void SetItemHeight(int pixels);

    const Notification& OnClick() const;
    void SetOnClick(Notification handler);
    const KeyNotification& OnKeyDown() const;
    void SetOnKeyDown(KeyNotification handler);
    const MouseNotification& OnMouseMove() const;
    void SetOnMouseMove(MouseNotification handler);
    const DragOverNotification& OnDragOver() const;
    void SetOnDragOver(DragOverNotification handler);
    const DragDropNotification& OnDragDrop() const;
    void SetOnDragDrop(DragDropNotification handler);

    // The associated object of `item` as AddItem stored it; null for items added otherwise.
    static QObject* ObjectOf(const QListWidgetItem* item);

signals:
    // The item at row `from` of `source` is now at row `to` of this list (source may be this).
    void ItemMoved(TListBox* source, int from, int to);

protected:
    // Calls the OnChange handler with this list, when one is set.
    void NotifyChange();

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

public:
    // Type-ahead; reached from the base key processing.
    void keyboardSearch(const QString& search) override;

private:
    friend class ListDragOperation;

    // Whether a drag from `source` may drop at `pos` (viewport coordinates) on this list.
    bool AcceptsDragFrom(TListBox* source, QPoint pos);
    // Moves the source's selected item to the item at `pos` (or the end) of this list.
    void DropFrom(TListBox* source, QPoint pos);
    void LeftButtonPress(QMouseEvent* event);
    // Alt+Up, Alt+Down, Alt+Home, Alt+End: moves the selected item where a drag within this list
    // could; returns whether the key was taken for that.
    bool MoveSelectedByKey(QKeyEvent* event);
    void NotifyUserSelection(int indexBefore);

    Notification onChange_;
    QPointer<TListBox> dragDropListBox_;
    bool allowInternalDrag_ = true;
    bool leftButtonDown_ = false;
    TDragMode dragMode_ = dmManual;
    Notification onClick_;
    KeyNotification onKeyDown_;
    MouseNotification onMouseMove_;
    DragOverNotification onDragOver_;
    DragDropNotification onDragDrop_;
    ListItemHeightDelegate* heightDelegate_ = nullptr;
    bool clearSelectionAfterRemoval_ = false;
    QString searchText_;
    QElapsedTimer sinceLastSearchKey_;
};
