// SPDX-License-Identifier: GPL-2.0-or-later
// The drag that moves list items: armed by a left press on a TListBox in dmAutomatic, it follows
// the pointer through an application-wide event filter (so it needs no mouse grab and works the
// same whether or not the window system grabs), becomes active once the pointer has moved
// kThreshold pixels in either axis from the press point, asks the TListBox under the pointer
// whether it accepts, and drops there on release. Escape, another mouse button, or a release over
// a list that refuses (or over anything else) ends it with nothing moved; so does a modal dialog
// that opens meanwhile.
//
// While armed or active it takes every mouse move, button and key event of the application, so
// neither the source list nor any other widget sees them. Positions come from the events' global
// positions; the list under the pointer is looked up by the position within the source's window
// while the pointer is inside it (exact where window places are unknown, as on Wayland), else with
// QApplication::widgetAt; only a list's viewport counts as over the list (its scroll bars do not).
// A key press that finds the left button no longer held (its release went where we could not see
// it) ends the drag instead and goes on to its widget: the keyboard is never left dead.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QPointer>

#include <functional>

class TListBox;

class ListDragOperation final : public QObject {
    Q_OBJECT

public:
    static constexpr int kThreshold = 5;

    // Starts a drag of `source`'s selected item from the press at `pressGlobal`. When
    // `carriesItem` is false the drag runs its course but never drops. A drag still running is
    // cancelled first. The operation is owned by `source` and ends with it.
    static void Arm(TListBox* source, QPointF pressGlobal, bool carriesItem);
    // The drag now armed or active, or null.
    static ListDragOperation* Current();
    // Where the drag learns which mouse buttons are held now; null restores HeldMouseButtons.
    // Tests that send their own mouse events answer for the buttons they hold.
    static void SetHeldButtonsQuery(std::function<Qt::MouseButtons()> query);

    bool IsActive() const { return active_; }
    // The list under the pointer at the last move and whether it accepted the drag there.
    TListBox* Target() const { return target_; }
    bool Accepted() const { return accepted_; }

    ~ListDragOperation() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ListDragOperation(TListBox* source, QPointF pressGlobal, bool carriesItem);

    void PointerMoved(QPointF global);
    void Released(QPointF global);
    // Asks the list under `global` (if any) whether it takes the drag there; updates the cursor.
    void TrackTarget(QPointF global);
    void ShowCursor();
    // Stops following the pointer and restores the cursor; safe to call more than once.
    void Finish();

    QPointer<TListBox> source_;
    QPointF pressGlobal_;
    bool carriesItem_;
    bool active_ = false;
    bool finished_ = false;
    bool cursorPushed_ = false;
    QPointer<TListBox> target_;
    QPoint targetPos_;
    bool accepted_ = false;
};
