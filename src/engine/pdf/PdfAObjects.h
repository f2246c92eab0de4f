// SPDX-License-Identifier: GPL-2.0-or-later
// The objects only a PDF/A document has, as the bodies between "n 0 obj" and "endobj": the
// metadata stream, the output intent and its sRGB profile. Streams end with a line feed before
// `endstream` that /Length does not count, as PDF/A asks of every stream.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jpeg2pdf {

// The comment line after the header that marks the file as binary: four bytes above 127.
constexpr std::string_view kBinaryCommentLine = "%\xE2\xE3\xCF\xD3\n";

// The catalog's entries, one a line without its end, that name the metadata stream and the
// output intent.
std::vector<std::string> PdfACatalogEntries(int64_t metadataObject, int64_t outputIntentObject);

// An uncompressed XML metadata stream holding `packet`.
std::string MetadataStreamObject(std::string_view packet);

// The output intent /GTS_PDFA1 whose destination profile is object `profileObject`, sRGB.
std::string SrgbOutputIntentObject(int64_t profileObject);

// An ICC profile stream of `components` colour components.
std::string IccProfileStreamObject(const std::vector<uint8_t>& profile, int components);

}  // namespace jpeg2pdf
