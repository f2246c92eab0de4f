// SPDX-License-Identifier: GPL-2.0-or-later
#include "QuietLibraryOutput.h"

#include <QtGlobal>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Sanitizer reports go to standard error; a sanitized build keeps it so a fault inside a library is seen.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepStandardError = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kKeepStandardError = true;
#else
constexpr bool kKeepStandardError = false;
#endif
#else
constexpr bool kKeepStandardError = false;
#endif

void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

QuietLibraryOutput::QuietLibraryOutput()
{
    previousHandler_ = qInstallMessageHandler(DropMessage);
    std::fflush(stdout);
    std::fflush(stderr);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0)
        return;
    savedOut_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (!kKeepStandardError)
        savedErr_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (savedOut_ >= 0)
        ::dup2(null, STDOUT_FILENO);
    if (savedErr_ >= 0)
        ::dup2(null, STDERR_FILENO);
    ::close(null);
}

QuietLibraryOutput::~QuietLibraryOutput()
{
    std::fflush(stdout);
    std::fflush(stderr);
    if (savedOut_ >= 0) {
        ::dup2(savedOut_, STDOUT_FILENO);
        ::close(savedOut_);
    }
    if (savedErr_ >= 0) {
        ::dup2(savedErr_, STDERR_FILENO);
        ::close(savedErr_);
    }
    qInstallMessageHandler(previousHandler_);
}
