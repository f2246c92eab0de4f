// SPDX-License-Identifier: GPL-2.0-or-later
// Advisory whole-file locks (flock) taken without waiting: a file another program holds is
// refused at once, never waited for.
#pragma once

namespace posixfile {

// LOCK_SH or LOCK_EX on `fd`, retried on EINTR; false with errno set (EWOULDBLOCK: held elsewhere).
bool LockWithoutWaiting(int fd, int operation) noexcept;

}  // namespace posixfile
