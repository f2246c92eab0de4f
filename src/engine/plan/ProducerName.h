// SPDX-License-Identifier: GPL-2.0-or-later
// The program named as the document's producer, in the information dictionary and in XMP alike.
#pragma once

#include <string_view>

namespace jpeg2pdf {

// "Leafbind 1.0": the project's name and version; ASCII.
std::string_view ProducerName();

}  // namespace jpeg2pdf
