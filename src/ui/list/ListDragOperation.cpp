// SPDX-License-Identifier: GPL-2.0-or-later
#include "ListDragOperation.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

#include "HeldMouseButtons.h"
#include "ListBoxOnChangeU.h"

namespace {

// At most one drag runs at a time: the mouse has one left button.
QPointer<ListDragOperation> g_current;

std::function<Qt::MouseButtons()>& HeldButtonsQuery()
{
    static std::function<Qt::MouseButtons()> query;
    return query;
}

bool LeftButtonHeld()
{
    const auto& query = HeldButtonsQuery();
    return ((query ? query() : HeldMouseButtons()) & Qt::LeftButton) != 0;
}

// The list whose viewport is `widget` or holds it; null over a list's frame or scroll bars.
TListBox* ListWithViewportAt(QWidget* widget)
{
    for (QWidget* w = widget; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        if (auto* list = qobject_cast<TListBox*>(parent))
            return list->viewport() == w ? list : nullptr;
        if (qobject_cast<TListBox*>(w))
            return nullptr;
    }
    return nullptr;
}

// The widget under the pointer. In the source's own window it is found from the position within
// that window, which pointer events carry exactly everywhere; a global position is only as good as
// the program's idea of where its windows are, and a Wayland compositor never tells it. Other
// windows can only be found by global position.
QWidget* WidgetUnderPointer(const QWidget* source, QPointF global)
{
    if (source != nullptr) {
        QWidget* window = source->window();
        const QPoint local = window->mapFromGlobal(global).toPoint();
        if (window->rect().contains(local)) {
            QWidget* child = window->childAt(local);
            return child != nullptr ? child : window;
        }
    }
    return QApplication::widgetAt(global.toPoint());
}

}  // namespace

void ListDragOperation::Arm(TListBox* source, QPointF pressGlobal, bool carriesItem)
{
    if (ListDragOperation* running = Current())
        running->Finish();
    g_current = new ListDragOperation(source, pressGlobal, carriesItem);
}

void ListDragOperation::SetHeldButtonsQuery(std::function<Qt::MouseButtons()> query)
{
    HeldButtonsQuery() = std::move(query);
}

ListDragOperation* ListDragOperation::Current()
{
    return g_current && !g_current->finished_ ? g_current.data() : nullptr;
}

ListDragOperation::ListDragOperation(TListBox* source, QPointF pressGlobal, bool carriesItem)
    : QObject(source), source_(source), pressGlobal_(pressGlobal), carriesItem_(carriesItem)
{
    qApp->installEventFilter(this);
}

ListDragOperation::~ListDragOperation()
{
    if (!finished_) {
        finished_ = true;
        qApp->removeEventFilter(this);
        if (cursorPushed_)
            QGuiApplication::restoreOverrideCursor();
    }
}

void ListDragOperation::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    qApp->removeEventFilter(this);
    if (cursorPushed_)
        QGuiApplication::restoreOverrideCursor();
    cursorPushed_ = false;
    deleteLater();
}

bool ListDragOperation::eventFilter(QObject* watched, QEvent* event)
{
    // Events reach the window before its widgets; acting on the widget's copy handles each once.
    if (finished_ || !watched->isWidgetType())
        return false;
    // A listener that opened a modal dialog (an error report, say) has taken the user elsewhere:
    // the drag ends, and the dialog gets its clicks and keys.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && (!source_ || !modal->isAncestorOf(source_))) {
        Finish();
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // The release happened where we could not see it: end without dropping.
        if (!(mouse->buttons() & Qt::LeftButton)) {
            Finish();
        } else {
            PointerMoved(mouse->globalPosition());
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            Released(mouse->globalPosition());
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        Finish();
        return true;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        // The release was lost: the drag is over, and this key is the user's next action.
        if (!LeftButtonHeld()) {
            Finish();
            return false;
        }
        if (event->type() == QEvent::ShortcutOverride) {
            // Claimed so that no shortcut fires in the middle of a drag.
            event->accept();
            return true;
        }
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            Finish();
        return true;
    case QEvent::KeyRelease:
        return true;
    default:
        return false;
    }
}

void ListDragOperation::PointerMoved(QPointF global)
{
    if (!active_) {
        const QPoint moved = global.toPoint() - pressGlobal_.toPoint();
        if (qAbs(moved.x()) < kThreshold && qAbs(moved.y()) < kThreshold)
            return;
        active_ = true;
    }
    TrackTarget(global);
}

void ListDragOperation::Released(QPointF global)
{
    if (!active_) {  // a plain click
        Finish();
        return;
    }
    TrackTarget(global);
    const QPointer<TListBox> target = target_;
    const QPointer<TListBox> source = source_;
    const bool drop = accepted_ && target && source;
    const QPoint pos = targetPos_;
    // The drag is over before the drop runs, so the drop's listeners see a quiet application.
    Finish();
    if (drop)
        target->DropFrom(source, pos);
}

void ListDragOperation::TrackTarget(QPointF global)
{
    TListBox* list = ListWithViewportAt(WidgetUnderPointer(source_, global));
    target_ = list;
    accepted_ = false;
    if (list != nullptr && source_ && carriesItem_) {
        targetPos_ = list->viewport()->mapFromGlobal(global).toPoint();
        accepted_ = list->AcceptsDragFrom(source_, targetPos_);
    }
    if (!finished_)
        ShowCursor();
}

void ListDragOperation::ShowCursor()
{
    const QCursor cursor(accepted_ ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
    if (cursorPushed_) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        cursorPushed_ = true;
    }
}
