// SPDX-License-Identifier: GPL-2.0-or-later
// Checks of PDF/A documents from outside the engine: the packaged PDF/A-1b validator, and the
// facts of a document that the PDF/A-2b rules are about, as a PDF library reads them.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ValidatorVerdict {
    bool valid = false;
    std::string report;  // the validator's own words, for the failure message
};

// Runs the PDF/A-1b validator (Apache PDFBox Preflight from Debian's packages) on one file.
ValidatorVerdict ValidatePdfA1b(const std::string& pdfPath);

// Each fact's values in document order, read with pikepdf: "header" (first line), "binary" (1 when
// the second line is % and four bytes above 127), "id" (1 when the trailer's /ID holds two
// strings), "part" and "conformance" (XMP identification), "titles" (1 when the information
// dictionary's title is the XMP's), "intent" (first output intent's /S), "intent-n" (its
// profile's /N), "side" (each page's shortest and longest side, times /UserUnit), "image" (each
// page's colour space: "/DeviceRGB", ... or "ICC 2" for a profile of major version 2).
// The output intent's profile is saved as <pdfPath>.icc. Throws std::runtime_error when the
// file cannot be read.
using PdfAFacts = std::map<std::string, std::vector<std::string>>;
PdfAFacts ReadPdfAFacts(const std::string& pdfPath);

// The major version of the profile in `path` as lcms2 reads it after opening it, or 0 when it
// does not open.
int ProfileVersionOpened(const std::string& path);
