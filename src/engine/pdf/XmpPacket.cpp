// SPDX-License-Identifier: GPL-2.0-or-later
#include "XmpPacket.h"

#include "DocumentDateText.h"
#include "FileNameText.h"

namespace jpeg2pdf {

namespace {

void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool XmlHolds(char32_t c) { return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF); }

// One property element; nothing when the value is empty.
std::string Property(std::string_view name, std::string_view value)
{
    if (value.empty())
        return {};
    return "<" + std::string(name) + ">" + XmlText(value) + "</" + std::string(name) + ">\n";
}

// A language alternative with the default language only, as a title or description.
std::string DefaultLanguageProperty(std::string_view name, std::string_view value)
{
    if (value.empty())
        return {};
    return "<" + std::string(name) + "><rdf:Alt><rdf:li xml:lang=\"x-default\">" + XmlText(value)
        + "</rdf:li></rdf:Alt></" + std::string(name) + ">\n";
}

std::string Description(std::string_view namespaces, const std::string& properties)
{
    return "<rdf:Description rdf:about=\"\" " + std::string(namespaces) + ">\n" + properties + "</rdf:Description>\n";
}

}  // namespace

std::string XmlRepresentable(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char32_t c : DecodeAsShown(text)) {
        // A byte-order mark that would lead the kept text is one the dictionary's reading drops.
        if (XmlHolds(c) && !(c == 0xFEFF && kept.empty()))
            AppendUtf8(kept, c);
    }
    return kept;
}

DocumentInfo XmlRepresentableInfo(const DocumentInfo& info)
{
    DocumentInfo kept = info;
    for (std::string* field : {&kept.title, &kept.author, &kept.subject, &kept.keywords})
        *field = XmlRepresentable(*field);
    return kept;
}

std::string XmlText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else if (c == '\r')
            escaped += "&#13;";
        else
            escaped += c;
    }
    return escaped;
}

std::string XmpPacket(PdfAPart part, const DocumentInfo& given, std::string_view producer)
{
    const DocumentInfo info = XmlRepresentableInfo(given);
    std::string packet = "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                         "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                         "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n";
    packet += Description("xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\"",
                          Property("pdfaid:part", part == PdfAPart::A2b ? "2" : "1")
                              + Property("pdfaid:conformance", "B"));
    std::string dublinCore = Property("dc:format", "application/pdf") + DefaultLanguageProperty("dc:title", info.title);
    if (!info.author.empty())
        dublinCore += "<dc:creator><rdf:Seq><rdf:li>" + XmlText(info.author) + "</rdf:li></rdf:Seq></dc:creator>\n";
    dublinCore += DefaultLanguageProperty("dc:description", info.subject);
    packet += Description("xmlns:dc=\"http://purl.org/dc/elements/1.1/\"", dublinCore);
    packet += Description("xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"",
                          Property("pdf:Producer", producer) + Property("pdf:Keywords", info.keywords));
    if (info.hasDate)
        packet += Description("xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"",
                              Property("xmp:CreateDate", IsoDateText(info.created)));
    return packet + "</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

}  // namespace jpeg2pdf
