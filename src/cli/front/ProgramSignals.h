// SPDX-License-Identifier: GPL-2.0-or-later
// The signals of a program that writes files: a failed write is reported rather than ending the
// process, and a signal that ends it takes the unfinished file along.
#pragma once

namespace cli {

// Ignores SIGPIPE (a reader that went away) and SIGXFSZ (ulimit -f), so the write fails with
// EPIPE or EFBIG and the program reports it. Then every signal that would end the process (an
// interrupt or quit key, a hang-up, kill, the user signals, a timer, the processor limit) calls
// `removeUnfinished` and ends the process by the same signal, as it would have ended without the
// handler. A signal ignored when the program started (nohup) stays ignored. `removeUnfinished`
// must be async-signal-safe.
void SetUpProgramSignals(void (*removeUnfinished)());

}  // namespace cli
