// SPDX-License-Identifier: GPL-2.0-or-later
// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C in the terminal that started the window) turned
// into a Qt signal: the handler only notes the signal and writes a byte to a pipe, which the event
// loop reads. No Qt call happens in the handler.
#pragma once

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one object at a time. A signal ignored when we started (nohup) stays
    // ignored.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Restores the handlers that were there before.
    ~TerminationSignals() override;

    // Whether one of the signals has come: async-signal-safe to set, cheap to ask, so a long task
    // can stop before the event loop has run again.
    static bool Pending();
    // The one that came first (SIGTERM, SIGINT or SIGHUP), 0 while none has.
    static int PendingSignal();

signals:
    void Received();

private:
    QSocketNotifier* notifier_ = nullptr;
};
