// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentInformation.h"

#include "DocumentDateText.h"
#include "PdfTextString.h"
#include "ProducerName.h"

namespace jpeg2pdf {

std::string InformationDictionary(const DocumentInfo& info)
{
    std::string dictionary = "<<\n";
    const auto add = [&dictionary](std::string_view key, const std::string& text) {
        if (!text.empty())
            dictionary.append(key).append(" ").append(PdfTextString(text)).append("\n");
    };
    add("/Title", info.title);
    add("/Author", info.author);
    add("/Subject", info.subject);
    add("/Keywords", info.keywords);
    if (info.hasDate)
        add("/CreationDate", PdfDateText(info.created));
    add("/Producer", std::string(ProducerName()));
    return dictionary + ">>\n";
}

}  // namespace jpeg2pdf
