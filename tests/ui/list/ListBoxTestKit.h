// SPDX-License-Identifier: GPL-2.0-or-later
// Shared by the list tests: a shown window holding two lists side by side, a pointer that sends
// each mouse event to the widget under it (as a window system without a grab does), and a
// recorder of OnChange senders.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <memory>
#include <vector>

#include "ListBoxOnChangeU.h"
#include "ListDragOperation.h"

// Mouse events at global positions, each delivered to the widget under the pointer. While it
// lives, the drag asks it which buttons are held, as it would ask the window system.
class Pointer {
public:
    Pointer() { ListDragOperation::SetHeldButtonsQuery([this] { return buttons_; }); }
    ~Pointer() { ListDragOperation::SetHeldButtonsQuery(nullptr); }
    Pointer(const Pointer&) = delete;
    Pointer& operator=(const Pointer&) = delete;

    // A release that went to another client: the button is up, and nobody here heard of it.
    void LoseRelease(Qt::MouseButton button = Qt::LeftButton) { buttons_ &= ~button; }
    void Press(QPoint global, Qt::MouseButton button = Qt::LeftButton)
    {
        buttons_ |= button;
        Send(QEvent::MouseButtonPress, global, button);
    }
    void Move(QPoint global) { Send(QEvent::MouseMove, global, Qt::NoButton); }
    void Release(QPoint global, Qt::MouseButton button = Qt::LeftButton)
    {
        buttons_ &= ~button;
        Send(QEvent::MouseButtonRelease, global, button);
    }
    // Press at `from`, move there in `steps` even steps, release at `to`.
    void Drag(QPoint from, QPoint to, int steps = 4)
    {
        Press(from);
        for (int step = 1; step <= steps; ++step)
            Move(from + (to - from) * step / steps);
        Release(to);
    }

private:
    void Send(QEvent::Type type, QPoint global, Qt::MouseButton button)
    {
        QWidget* under = QApplication::widgetAt(global);
        if (under == nullptr)
            return;  // nothing of ours under the pointer: nobody hears it
        const QPointF local = under->mapFromGlobal(QPointF(global));
        const QPointF scene = under->window()->mapFromGlobal(QPointF(global));
        QMouseEvent event(type, local, scene, QPointF(global), button, buttons_, Qt::NoModifier,
                          QPointingDevice::primaryPointingDevice());
        QApplication::sendEvent(under, &event);
    }

    Qt::MouseButtons buttons_;
};

// Each OnChange in order, by sender.
struct ChangeLog {
    std::vector<TListBox*> senders;
    void Attach(TListBox& list)
    {
        list.SetOnChange([this](TListBox* sender) { senders.push_back(sender); });
    }
    int CountFor(const TListBox* list) const
    {
        int n = 0;
        for (TListBox* sender : senders)
            n += sender == list ? 1 : 0;
        return n;
    }
};

// A window with `left` and `right`, 160 x 200 each, not paired, no items.
struct TwoLists {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TListBox* left = new TListBox(window.get());
    TListBox* right = new TListBox(window.get());
    QWidget* gap = new QWidget(window.get());  // neither list: drops here must refuse

    TwoLists()
    {
        window->resize(420, 220);
        left->setGeometry(10, 10, 160, 200);
        gap->setGeometry(175, 10, 60, 200);
        right->setGeometry(240, 10, 160, 200);
        left->SetItemHeight(16);
        right->SetItemHeight(16);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("list test window not exposed");
    }

    static void Fill(TListBox& list, const QStringList& texts)
    {
        for (const QString& text : texts)
            list.AddItem(text);
    }
    static QStringList Texts(const TListBox& list)
    {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts << list.item(i)->text();
        return texts;
    }
    // Global centre of item `row`, or of the empty area well below the last item for row -1.
    static QPoint At(const TListBox& list, int row, QPoint offset = {})
    {
        const QRect rect
            = row >= 0 ? list.visualItemRect(list.item(row)) : QRect(0, list.viewport()->height() - 20, 40, 10);
        return list.viewport()->mapToGlobal(rect.center() + offset);
    }
    QPoint GapPoint() const { return gap->mapToGlobal(gap->rect().center()); }
};
