// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileDropArea.h"

#include "ListBoxOnChangeU.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace {

const QString kUriListType = QStringLiteral("text/uri-list");

}  // namespace

FileDropArea::FileDropArea(QWidget* window, TListBox* list, Handler onDrop)
    : QObject(window), window_(window), list_(list), listViewport_(list->viewport()), onDrop_(std::move(onDrop))
{
    window_->setAcceptDrops(true);
    window_->installEventFilter(this);
    listViewport_->setAcceptDrops(true);
    listViewport_->installEventFilter(this);
}

bool FileDropArea::OffersLocalPath(const QDropEvent* event)
{
    const QMimeData* offer = event->mimeData();
    return offer != nullptr && offer->hasFormat(kUriListType) && ::OffersLocalPath(offer->data(kUriListType));
}

bool FileDropArea::Answer(QDropEvent* event, bool local)
{
    // The files stay where they are: a move or a link would let the source delete them or make
    // it expect a link, so only a copy is taken.
    if (local && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return true;
    }
    event->ignore();
    return false;
}

bool FileDropArea::eventFilter(QObject* watched, QEvent* event)
{
    // Compared with what was kept: the filter also sees the events of a list being destroyed.
    if (watched != window_ && watched != listViewport_)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
        // Fetching the offer from another program is a round trip: once per widget entered.
        offersLocalPath_ = OffersLocalPath(static_cast<QDropEvent*>(event));
        Answer(static_cast<QDropEvent*>(event), offersLocalPath_);
        return true;
    case QEvent::DragMove:
        // Answered for the whole widget: over the list the answer is the same wherever the
        // pointer is, and the list must not scroll under it.
        Answer(static_cast<QDropEvent*>(event), offersLocalPath_);
        return true;
    case QEvent::DragLeave:
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!Answer(drop, OffersLocalPath(drop)))
            return true;
        int row = list_->count();
        if (watched == listViewport_) {
            const QPoint at = drop->position().toPoint();
            const int under = list_->ItemAtPoint(at.x(), at.y());
            if (under >= 0)
                row = under;
        }
        onDrop_(row, JpegFilesOf(LocalPathsOfUriList(drop->mimeData()->data(kUriListType))));
        return true;
    }
    default:
        return false;
    }
}
