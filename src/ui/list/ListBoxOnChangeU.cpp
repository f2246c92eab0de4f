// SPDX-License-Identifier: GPL-2.0-or-later
#include "ListBoxOnChangeU.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ListDragOperation.h"
#include "ListItemHeightDelegate.h"

namespace {

// Where AddItem keeps an item's associated object; a QPointer so that an object destroyed while
// still listed reads back as null instead of dangling.
constexpr int kObjectRole = Qt::UserRole + 0x4c42;

// A typed character more than this long after the previous one starts a new search.
constexpr qint64 kTypeAheadRestartMs = 500;

}  // namespace

TListBox::TListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // One size for every item: layout and hit tests then never look at item texts.
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Items move by our own drag operation, never by the item view's platform drag.
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(false);
    // Moves without a button reach the list (which consumes them), so it notices a release it
    // never received.
    viewport()->setMouseTracking(true);
    // Connected after the view's own handling, so this runs once the view has moved the selection.
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!clearSelectionAfterRemoval_)
            return;
        clearSelectionAfterRemoval_ = false;
        selectionModel()->clear();
    });
    heightDelegate_ = new ListItemHeightDelegate(this);
    setItemDelegate(heightDelegate_);
}

TListBox::~TListBox()
{
    // A drag armed here stops while this is still a whole list.
    qDeleteAll(findChildren<ListDragOperation*>(Qt::FindDirectChildrenOnly));
}

int TListBox::ItemIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TListBox::SetItemIndex(int index)
{
    if (index < 0 || index >= count())
        index = -1;
    if (index != ItemIndex()) {
        if (index < 0) {
            selectionModel()->clear();
        } else {
            setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        }
    }
    NotifyChange();
}

QString TListBox::ActiveString() const
{
    const int index = ItemIndex();
    return index < 0 ? QString() : item(index)->text();
}

QObject* TListBox::ActiveObject() const
{
    const int index = ItemIndex();
    return index < 0 ? nullptr : ObjectOf(item(index));
}

bool TListBox::AllowInternalDrag() const { return allowInternalDrag_; }
void TListBox::SetAllowInternalDrag(bool allow) { allowInternalDrag_ = allow; }

TListBox* TListBox::DragDropListBox() const { return dragDropListBox_; }

void TListBox::SetDragDropListBox(TListBox* partner)
{
    dragDropListBox_ = partner;
    if (partner == nullptr) {
        dragMode_ = dmManual;
        return;
    }
    dragMode_ = dmAutomatic;
    partner->dragDropListBox_ = this;
    partner->dragMode_ = dmAutomatic;
}

const TListBox::Notification& TListBox::OnChange() const { return onChange_; }
void TListBox::SetOnChange(Notification handler) { onChange_ = std::move(handler); }

TListBox::TDragMode TListBox::DragMode() const { return dragMode_; }
void TListBox::SetDragMode(TDragMode mode) { dragMode_ = mode; }

bool TListBox::LeftButtonDown() const { return leftButtonDown_; }

int TListBox::ItemAtPoint(int x, int y) const
{
    if (!viewport()->rect().contains(x, y))
        return -1;
    const QModelIndex index = indexAt(QPoint(x, y));
    return index.isValid() ? index.row() : -1;
}

void TListBox::AddItem(const QString& text, QObject* object)
{
    auto* item = new QListWidgetItem(text);
    if (object != nullptr)
        item->setData(kObjectRole, QVariant::fromValue(QPointer<QObject>(object)));
    addItem(item);
}

QObject* TListBox::ObjectOf(const QListWidgetItem* item)
{
    if (item == nullptr)
        return nullptr;
    return item->data(kObjectRole).value<QPointer<QObject>>().data();
}

int TListBox::ItemHeight() const { return heightDelegate_->Height(); }

void TListBox::SetItemHeight(int pixels)
{
    heightDelegate_->SetHeight(pixels);
    // Uniform item sizes are cached; toggling drops the cache and lays the items out again.
    setUniformItemSizes(false);
    setUniformItemSizes(true);
    doItemsLayout();
}

const TListBox::Notification& TListBox::OnClick() const { return onClick_; }
void TListBox::SetOnClick(Notification handler) { onClick_ = std::move(handler); }
const TListBox::KeyNotification& TListBox::OnKeyDown() const { return onKeyDown_; }
void TListBox::SetOnKeyDown(KeyNotification handler) { onKeyDown_ = std::move(handler); }
const TListBox::MouseNotification& TListBox::OnMouseMove() const { return onMouseMove_; }
void TListBox::SetOnMouseMove(MouseNotification handler) { onMouseMove_ = std::move(handler); }
const TListBox::DragOverNotification& TListBox::OnDragOver() const { return onDragOver_; }
void TListBox::SetOnDragOver(DragOverNotification handler) { onDragOver_ = std::move(handler); }
const TListBox::DragDropNotification& TListBox::OnDragDrop() const { return onDragDrop_; }
void TListBox::SetOnDragDrop(DragDropNotification handler) { onDragDrop_ = std::move(handler); }

void TListBox::NotifyChange()
{
    if (onChange_)
        onChange_(this);
}

void TListBox::NotifyUserSelection(int indexBefore)
{
    if (ItemIndex() == indexBefore)
        return;
    if (onClick_)
        onClick_(this);
    NotifyChange();
}

void TListBox::keyPressEvent(QKeyEvent* event)
{
    const int before = ItemIndex();
    if (onKeyDown_) {
        event->accept();
        onKeyDown_(this, event);
        if (!event->isAccepted())
            return;
    }
    if (MoveSelectedByKey(event))
        return;
    QListWidget::keyPressEvent(event);
    NotifyUserSelection(before);
}

bool TListBox::MoveSelectedByKey(QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier)
        return false;
    const int from = ItemIndex();
    int to = from;
    switch (event->key()) {
    case Qt::Key_Up:
        to = from - 1;
        break;
    case Qt::Key_Down:
        to = from + 1;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = count() - 1;
        break;
    default:
        return false;
    }
    // Where no drag may reorder this list, the keys keep their plain meaning.
    if (dragMode_ != dmAutomatic || !dragDropListBox_ || !(allowInternalDrag_ || dragDropListBox_ == this))
        return false;
    event->accept();
    to = qBound(0, to, count() - 1);
    if (from < 0 || to == from)
        return true;  // nothing moves, so nothing is raised
    // The item itself moves, with its data; as after a drop, OnChange is raised once and OnClick
    // not at all (the selected item is the same one).
    QListWidgetItem* moved = takeItem(from);
    insertItem(to, moved);
    setCurrentRow(to, QItemSelectionModel::ClearAndSelect);
    scrollToItem(moved);
    emit ItemMoved(this, from, to);
    NotifyChange();
    return true;
}

void TListBox::keyboardSearch(const QString& search)
{
    // Control characters (Backspace, Return) are no part of any item's text.
    if (search.isEmpty() || !search.at(0).isPrint())
        return;
    if (!sinceLastSearchKey_.isValid() || sinceLastSearchKey_.elapsed() >= kTypeAheadRestartMs) {
        searchText_.clear();
    }
    sinceLastSearchKey_.start();
    searchText_ += search;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().startsWith(searchText_, Qt::CaseInsensitive)) {
            SetItemIndex(row);
            return;
        }
    }
}

void TListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        LeftButtonPress(event);
        return;
    }
    const int before = ItemIndex();
    QListWidget::mousePressEvent(event);
    NotifyUserSelection(before);
}

void TListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        LeftButtonPress(event);
        return;
    }
    QListWidget::mouseDoubleClickEvent(event);
}

void TListBox::LeftButtonPress(QMouseEvent* event)
{
    leftButtonDown_ = true;
    const int before = ItemIndex();
    QListWidget::mousePressEvent(event);
    if (dragMode_ == dmAutomatic) {
        // Arming the drag ends the press for the list: it gets its release now, and the drag takes
        // the moves and the real release.
        QMouseEvent release(QEvent::MouseButtonRelease, event->position(), event->scenePosition(),
                            event->globalPosition(), Qt::LeftButton, event->buttons() & ~Qt::LeftButton,
                            event->modifiers(), event->pointingDevice());
        mouseReleaseEvent(&release);
        const QPoint at = event->position().toPoint();
        ListDragOperation::Arm(this, event->globalPosition(), ItemAtPoint(at.x(), at.y()) >= 0);
    }
    NotifyUserSelection(before);
}

void TListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        leftButtonDown_ = false;
    const int before = ItemIndex();
    QListWidget::mouseReleaseEvent(event);
    // The view drops the selection when a click ends on the empty area below the items. A release
    // never raises OnChange, so it must not change the selection either: put it back, unscrolled.
    if (ItemIndex() != before) {
        if (before < 0) {
            selectionModel()->clearSelection();
        } else {
            selectionModel()->select(model()->index(before, 0), QItemSelectionModel::ClearAndSelect);
        }
    }
}

void TListBox::mouseMoveEvent(QMouseEvent* event)
{
    // The release went elsewhere (another widget, outside the window): the press is over.
    if (leftButtonDown_ && !(event->buttons() & Qt::LeftButton))
        leftButtonDown_ = false;
    if (!leftButtonDown_) {
        event->accept();  // consumed: no pointer tracking, no listener
        return;
    }
    const int before = ItemIndex();
    QListWidget::mouseMoveEvent(event);
    if (onMouseMove_)
        onMouseMove_(this, event);
    if (ItemIndex() != before && onClick_)
        onClick_(this);
    NotifyChange();
}

void TListBox::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    const int selected = ItemIndex();
    if (selected >= start && selected <= end)
        clearSelectionAfterRemoval_ = true;
    QListWidget::rowsAboutToBeRemoved(parent, start, end);
}

bool TListBox::AcceptsDragFrom(TListBox* source, QPoint pos)
{
    bool accept = false;
    if (onDragOver_) {
        accept = true;
        onDragOver_(this, source, pos, accept);
    }
    if (!dragDropListBox_)
        return accept;
    // With a partner the pairing decides; the listener's answer does not count.
    return (source == this && allowInternalDrag_) || source == dragDropListBox_;
}

void TListBox::DropFrom(TListBox* source, QPoint pos)
{
    // The target row is taken before the removal, so an item dragged downwards lands after the
    // item it was released on and one dragged upwards before it.
    int target = ItemAtPoint(pos.x(), pos.y());
    const int from = source->ItemIndex();
    if (from >= 0) {
        QListWidgetItem* moved = source->takeItem(from);  // leaves the source without a selection
        if (target < 0)
            target = count();
        insertItem(target, moved);
        if (source != this || target != from)
            emit ItemMoved(source, from, target);
    }
    if (onDragDrop_)
        onDragDrop_(this, source, pos);
    NotifyChange();
}
