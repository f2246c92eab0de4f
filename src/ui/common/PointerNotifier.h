// SPDX-License-Identifier: GPL-2.0-or-later
// Turns the pointer events a widget receives into notifications carrying that widget,
// so a window can attach handlers to controls it does not subclass.
#pragma once

#include <QObject>
#include <QWidget>

class PointerNotifier : public QObject {
    Q_OBJECT
public:
    // Watches `control` (and turns on its mouse tracking, so moves arrive without a button held).
    // Owned by the control.
    static PointerNotifier* Watch(QWidget* control);

signals:
    void Entered(QObject* sender);
    void Left(QObject* sender);
    void Moved(QObject* sender);
    // Left button pressed and released over the control.
    void Clicked(QObject* sender);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit PointerNotifier(QWidget* control);

    QWidget* control_;
    bool pressed_ = false;
};
