// SPDX-License-Identifier: GPL-2.0-or-later
// The document information dictionary: what it says of the document.
#pragma once

#include <string>

#include "DocumentInfo.h"

namespace jpeg2pdf {

// The dictionary, "<<" to ">>" and a line end: the given fields, the creation date when there is
// one (a valid date), and the producer (ProducerName).
std::string InformationDictionary(const DocumentInfo& info);

}  // namespace jpeg2pdf
