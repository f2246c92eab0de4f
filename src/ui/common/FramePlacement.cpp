// SPDX-License-Identifier: GPL-2.0-or-later
#include "FramePlacement.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

QPoint CentredFramePosition(const QRect& desktop, const QSize& outer)
{
    const int left = desktop.left() + (desktop.width() - outer.width()) / 2;
    const int top = desktop.top() + (desktop.height() - outer.height()) / 2;
    return {std::max(left, desktop.left()), std::max(top, desktop.top())};
}

namespace {

// Follows one window until its frame is known, then goes away.
class FrameCentring : public QObject {
public:
    FrameCentring(QWidget* window, const QRect& desktop) : QObject(window), window_(window), desktop_(desktop)
    {
        window->installEventFilter(this);
        if (QWindow* handle = window->windowHandle())
            handle->installEventFilter(this);
        Place();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            if (QWindow* handle = window_->windowHandle(); handle && watched == window_)
                handle->installEventFilter(this);  // once only: a second install moves it, no copy
            Recheck();
            break;
        case QEvent::Expose:
            // Mapped: the window manager has put its frame on, and its size is final.
            Recheck();
            break;
        case QEvent::Hide:
            deleteLater();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QMargins Margins() const
    {
        const QWindow* handle = window_->windowHandle();
        return handle ? handle->frameMargins() : QMargins();
    }

    void Place()
    {
        used_ = Margins();
        const QPoint frame = CentredFramePosition(desktop_, window_->size().grownBy(used_));
        // Placed by its client area: the widget's own idea of its frame may lag behind the window
        // system's, and the client area is what the window system positions exactly.
        window_->setGeometry(QRect(frame + QPoint(used_.left(), used_.top()), window_->size()));
    }

    void Recheck()
    {
        if (!window_ || Margins() == used_)
            return;
        Place();
        if (!used_.isNull())
            deleteLater();  // the frame is on: from here on the window is the user's to move
    }

    QPointer<QWidget> window_;
    QRect desktop_;
    QMargins used_;
};

}  // namespace

void CentreByFrame(QWidget* window, const QRect& desktop)
{
    if (window != nullptr)
        new FrameCentring(window, desktop);
}
