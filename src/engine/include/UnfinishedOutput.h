// SPDX-License-Identifier: GPL-2.0-or-later
// For a front end that ends on a signal: the document being written to a path is a new file
// beside that path until it is complete, and a signal handler can remove it.
#pragma once

namespace jpeg2pdf {

// Removes the new file of the export in progress, if there is one; an existing file at the
// output path is left as it was. Async-signal-safe, so a handler may call it before the process
// ends; errno is kept.
void RemoveUnfinishedOutput() noexcept;

}  // namespace jpeg2pdf
