// SPDX-License-Identifier: GPL-2.0-or-later
#include "PointerNotifier.h"

#include <QMouseEvent>

PointerNotifier* PointerNotifier::Watch(QWidget* control)
{
    return new PointerNotifier(control);
}

PointerNotifier::PointerNotifier(QWidget* control) : QObject(control), control_(control)
{
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

bool PointerNotifier::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != control_)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        emit Entered(control_);
        break;
    case QEvent::Leave:
        pressed_ = false;
        emit Left(control_);
        break;
    case QEvent::MouseMove:
        emit Moved(control_);
        break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            pressed_ = true;
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool click = pressed_ && mouse->button() == Qt::LeftButton
            && control_->rect().contains(mouse->position().toPoint());
        pressed_ = false;
        if (click)
            emit Clicked(control_);
        break;
    }
    default:
        break;
    }
    return false;
}
