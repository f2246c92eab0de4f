// SPDX-License-Identifier: GPL-2.0-or-later
// Reads and writes that finish what they were asked to do: a signal that interrupts a call
// (EINTR) is not an error, and a short count is followed by the rest.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace posixfile {

// Reads until `count` bytes are in `buffer` or the file ends; returns how many were read (fewer
// than `count` only at the end), -1 with errno set on an error.
ssize_t ReadFully(int fd, void* buffer, size_t count) noexcept;

// One read of up to `count` bytes at `offset` (pread), retried on EINTR: how many (0 at the end),
// or -1 with errno set.
ssize_t ReadAt(int fd, void* buffer, size_t count, int64_t offset) noexcept;

// Writes all of `bytes`; false with errno set (EIO when the system takes nothing and says nothing).
bool WriteAll(int fd, std::string_view bytes) noexcept;

// Appends what `fd` gives up to its end to `text`; false with errno set, EFBIG when more than
// `limit` bytes would be held. Throws only std::bad_alloc.
bool ReadToEnd(int fd, std::string& text, size_t limit);

}  // namespace posixfile
