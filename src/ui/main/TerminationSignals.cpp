// SPDX-License-Identifier: GPL-2.0-or-later
#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t pending = 0;  // the first signal's number
int wakeRead = -1;
int wakeWrite = -1;
struct sigaction previous[std::size(kSignals)];

void NoteSignal(int signal)
{
    const int error = errno;
    if (pending == 0)
        pending = signal;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite, "", 1);  // a full pipe wakes the loop anyway
    errno = error;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    wakeRead = ends[0];
    wakeWrite = ends[1];
    pending = 0;
    notifier_ = new QSocketNotifier(wakeRead, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char drained[64];
        while (::read(wakeRead, drained, sizeof drained) > 0) { }
        emit Received();
    });
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        struct sigaction action {};
        if (::sigaction(kSignals[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN)
            continue;
        action.sa_handler = NoteSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(kSignals[i], &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier_)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &previous[i], nullptr);
    delete notifier_;
    ::close(wakeRead);
    ::close(wakeWrite);
    wakeRead = wakeWrite = -1;
    pending = 0;
}

bool TerminationSignals::Pending() { return pending != 0; }

int TerminationSignals::PendingSignal() { return pending; }
