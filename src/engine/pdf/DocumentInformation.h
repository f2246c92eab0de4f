// SPDX-License-Identifier: GPL-2.0-or-later
// The document information dictionary and the document ID: when a document has them and what
// the dictionary says. The window's documents have neither.
#pragma once

#include <string>

#include "ExportDetails.h"

namespace jpeg2pdf {

// An information dictionary is written when the options give any of its fields, or ask for PDF/A.
bool WritesInformation(const ExportOptions& options);

// The trailer carries an ID (from the content, see ContentDigest) exactly when the document has
// an information dictionary: PDF/A asks for both, and a document described for archiving is
// one that gets identified.
bool WritesDocumentId(const ExportOptions& options);

// The dictionary, "<<" to ">>" and a line end: the given fields, the creation date when there is
// one (a valid date), and the producer (ProducerName).
std::string InformationDictionary(const DocumentInfo& info);

}  // namespace jpeg2pdf
