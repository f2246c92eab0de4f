// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfAObjects.h"

#include <charconv>

namespace jpeg2pdf {

namespace {

std::string Decimal(int64_t number)
{
    char digits[24];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

std::string Stream(std::string dictionaryEntries, std::string_view data)
{
    return "<<\n" + dictionaryEntries + "/Length " + Decimal(static_cast<int64_t>(data.size())) + "\n>>\nstream\n"
        + std::string(data) + "\nendstream\n";
}

}  // namespace

std::vector<std::string> PdfACatalogEntries(int64_t metadataObject, int64_t outputIntentObject)
{
    return {"/Metadata " + Decimal(metadataObject) + " 0 R",
            "/OutputIntents [ " + Decimal(outputIntentObject) + " 0 R ]"};
}

std::string MetadataStreamObject(std::string_view packet) { return Stream("/Type /Metadata\n/Subtype /XML\n", packet); }

std::string SrgbOutputIntentObject(int64_t profileObject)
{
    return "<<\n/Type /OutputIntent\n/S /GTS_PDFA1\n/OutputConditionIdentifier (sRGB IEC61966-2.1)\n"
           "/RegistryName (http://www.color.org)\n/Info (sRGB IEC61966-2.1)\n/DestOutputProfile "
        + Decimal(profileObject) + " 0 R\n>>\n";
}

std::string IccProfileStreamObject(const std::vector<uint8_t>& profile, int components)
{
    return Stream("/N " + Decimal(components) + "\n",
                  std::string_view(reinterpret_cast<const char*>(profile.data()), profile.size()));
}

}  // namespace jpeg2pdf
