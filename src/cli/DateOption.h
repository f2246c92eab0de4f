// SPDX-License-Identifier: GPL-2.0-or-later
// The document date as --date takes it.
#pragma once

#include <string_view>

#include "ExportDetails.h"

namespace cli {

// "now" (the local time with its offset from UTC), or ISO 8601: 2026-01-02, 2026-01-02T03:04 or
// 2026-01-02T03:04:05 (a space may stand for the T), each optionally followed by Z, +01:00 or
// -05:30. False for anything else, and for a date or time that does not exist (2026-02-30, 24:00).
bool ParseDocumentDate(std::string_view text, jpeg2pdf::DocumentDate& date);

}  // namespace cli
