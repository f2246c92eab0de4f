// SPDX-License-Identifier: GPL-2.0-or-later
// Checks of PDF/A documents from outside the engine: the packaged PDF/A-1b validator, and the
// facts of a document that the PDF/A-2b rules are about, as a PDF library reads them.
#pragma once

#include <string>
#include <vector>

struct ValidatorVerdict {
    bool valid = false;
    std::string report;  // the validator's own words, for the failure message
};

// Runs the PDF/A-1b validator (Apache PDFBox Preflight from Debian's packages) on one file.
ValidatorVerdict ValidatePdfA1b(const std::string& pdfPath);

struct PdfAFacts {
    std::string header;  // the first line, as "%PDF-1.4"
    bool binaryComment = false;  // the second line is % and at least four bytes above 127
    bool hasId = false;  // the trailer's /ID holds two strings
    std::string part, conformance;  // from the XMP metadata's identification
    std::string intentSubtype;  // the first output intent's /S, as "/GTS_PDFA1"
    int intentComponents = 0;  // its destination profile's /N
    std::vector<unsigned char> intentProfile;
    std::vector<std::pair<double, double>> pageSizes;  // MediaBox sides times /UserUnit
    std::vector<std::string> imageSpaces;  // each page's image: "/DeviceRGB", ... or "ICC 2" for a version 2 profile
    std::string infoTitle, xmpTitle;  // the information dictionary's and the metadata's title
};

// Reads the facts with pikepdf; throws std::runtime_error when the file cannot be read.
PdfAFacts ReadPdfAFacts(const std::string& pdfPath);

// The profile's major version as lcms2 reads it after opening it, or 0 when it does not open.
int ProfileVersionOpened(const std::vector<unsigned char>& profile);
