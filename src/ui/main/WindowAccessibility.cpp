// SPDX-License-Identifier: GPL-2.0-or-later
#include "WindowAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

QAccessibleInterface* MainWindowInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String("TForm1") || !object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    return widget->isWindow() ? new QAccessibleWidget(widget, QAccessible::Window) : nullptr;
}

}  // namespace

void RegisterWindowAccessibility()
{
    static const bool registered = [] {
        QAccessible::installFactory(MainWindowInterface);
        return true;
    }();
    (void)registered;
}
