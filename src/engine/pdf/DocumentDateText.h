// SPDX-License-Identifier: GPL-2.0-or-later
// A creation date in the two forms a document carries it: the information dictionary's and XMP's.
#pragma once

#include <string>

#include "DocumentInfo.h"

namespace jpeg2pdf {

// A real calendar date and time from year 1 to 9999, with an offset of less than a day.
bool IsValidDocumentDate(const DocumentDate& date);

// "D:20260102030405+01'00'"; "Z" for UTC; no suffix for a time of unknown offset. For a valid date.
std::string PdfDateText(const DocumentDate& date);

// "2026-01-02T03:04:05+01:00"; "Z" for UTC; no suffix for a time of unknown offset. For a valid date.
std::string IsoDateText(const DocumentDate& date);

}  // namespace jpeg2pdf
