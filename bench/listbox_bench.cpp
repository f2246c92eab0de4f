// SPDX-License-Identifier: GPL-2.0-or-later
// Responsiveness of the list with many items: adding them, one drag from the first to the last
// visible item, and ItemAtPoint. Each figure is the median of several runs, printed for a small
// list (the floor) and a large one; the ratio large/small shows whether an operation grows with
// the item count. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "ListBoxOnChangeU.h"

namespace {

constexpr int kRuns = 7;
constexpr int kSmall = 1000;
constexpr int kLarge = 100000;
constexpr int kHitTests = 100000;
constexpr int kDragSteps = 40;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Delivers a mouse event to the widget under `global`, as a window system without a grab does.
void SendMouse(QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons held)
{
    QWidget* under = QApplication::widgetAt(global);
    if (under == nullptr)
        return;
    QMouseEvent event(type, under->mapFromGlobal(QPointF(global)), under->window()->mapFromGlobal(QPointF(global)),
                      QPointF(global), button, held, Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(under, &event);
}

struct Figures {
    double addMs = 0;
    double dragMs = 0;
    double dropMs = 0;  // the release alone: removal, insertion, relayout
    double hitNs = 0;
};

Figures MeasureOnce(int items)
{
    QWidget window;
    window.resize(300, 400);
    auto* list = new TListBox(&window);
    list->setGeometry(0, 0, 300, 400);
    list->SetItemHeight(13);
    list->SetDragDropListBox(list);
    int changes = 0;
    list->SetOnChange([&](TListBox*) { ++changes; });
    window.show();
    QCoreApplication::processEvents();

    Figures figures;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < items; ++i)
        list->AddItem(QStringLiteral("/home/user/photos/IMG_%1.jpg").arg(i));
    QCoreApplication::processEvents();  // the delayed layout belongs to adding
    list->doItemsLayout();
    figures.addMs = timer.nsecsElapsed() / 1e6;

    const QRect viewport = list->viewport()->rect();
    const int lastVisible = list->ItemAtPoint(5, viewport.height() - 2) >= 0
        ? list->ItemAtPoint(5, viewport.height() - 2)
        : list->count() - 1;
    const QPoint from = list->viewport()->mapToGlobal(list->visualItemRect(list->item(0)).center());
    const QPoint to = list->viewport()->mapToGlobal(list->visualItemRect(list->item(lastVisible)).center());
    timer.restart();
    SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= kDragSteps; ++step) {
        SendMouse(QEvent::MouseMove, from + (to - from) * step / kDragSteps, Qt::NoButton, Qt::LeftButton);
    }
    const qint64 beforeRelease = timer.nsecsElapsed();
    SendMouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
    figures.dragMs = timer.nsecsElapsed() / 1e6;
    figures.dropMs = (timer.nsecsElapsed() - beforeRelease) / 1e6;
    if (changes != 2 || list->item(lastVisible)->text() != QStringLiteral("/home/user/photos/IMG_0.jpg")) {
        std::fprintf(stderr, "drag did not move the first item to row %d\n", lastVisible);
        std::exit(1);
    }

    long long hits = 0;
    timer.restart();
    for (int i = 0; i < kHitTests; ++i) {
        hits += list->ItemAtPoint((i * 7) % viewport.width(), (i * 13) % viewport.height());
    }
    figures.hitNs = double(timer.nsecsElapsed()) / kHitTests;
    if (hits < 0)
        std::printf("unexpected hit sum\n");
    return figures;
}

Figures MedianOf(int items)
{
    std::vector<double> add, drag, drop, hit;
    for (int run = 0; run < kRuns; ++run) {
        const Figures f = MeasureOnce(items);
        add.push_back(f.addMs);
        drag.push_back(f.dragMs);
        drop.push_back(f.dropMs);
        hit.push_back(f.hitNs);
    }
    return {Median(add), Median(drag), Median(drop), Median(hit)};
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const Figures small = MedianOf(kSmall);
    const Figures large = MedianOf(kLarge);
    std::printf("list control, median of %d runs       %8d items %8d items   ratio\n", kRuns, kSmall, kLarge);
    std::printf("add items and lay them out (ms)       %14.3f %14.3f %7.1f\n", small.addMs, large.addMs,
                large.addMs / small.addMs);
    std::printf("drag first to last visible item (ms)  %14.3f %14.3f %7.1f\n", small.dragMs, large.dragMs,
                large.dragMs / small.dragMs);
    std::printf("  of which the release and drop (ms)  %14.3f %14.3f %7.1f\n", small.dropMs, large.dropMs,
                large.dropMs / small.dropMs);
    std::printf("ItemAtPoint (ns per call)             %14.1f %14.1f %7.1f\n", small.hitNs, large.hitNs,
                large.hitNs / small.hitNs);
    return 0;
}
