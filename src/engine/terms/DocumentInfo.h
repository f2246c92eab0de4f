// SPDX-License-Identifier: GPL-2.0-or-later
// What describes a document rather than its pages: its information, and the PDF/A part it keeps to.
#pragma once

#include <string>

namespace jpeg2pdf {

// A creation date as the user gave it (validated by whoever parsed it).
struct DocumentDate {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    bool hasZone = false;  // false: local time of unknown offset
    int zoneMinutes = 0;  // east of UTC
};

// The document information dictionary; UTF-8 text, an empty field is not written.
struct DocumentInfo {
    std::string title, author, subject, keywords;
    bool hasDate = false;  // false: no date of any kind is written
    DocumentDate created;
};

enum class PdfAPart { None, A1b, A2b };

}  // namespace jpeg2pdf
