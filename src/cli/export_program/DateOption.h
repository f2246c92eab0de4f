// SPDX-License-Identifier: GPL-2.0-or-later
// The document date as --date takes it.
#pragma once

#include <string>
#include <string_view>

#include "ExportDetails.h"

namespace cli {

// "now" (the local time with its offset from UTC, or UTC where that offset is none of the real
// ones), or ISO 8601: 2026-01-02, 2026-01-02T03:04 or 2026-01-02T03:04:05 (a space may stand for
// the T), each optionally followed by Z, +01:00 or -05:30. False with `why` (a few words for the
// user) for anything else: a date or time that does not exist (2026-02-30, 24:00), an offset
// outside -12:00 to +14:00 or with minutes other than 00, 30 or 45.
bool ParseDocumentDate(std::string_view text, jpeg2pdf::DocumentDate& date, std::string& why);

}  // namespace cli
