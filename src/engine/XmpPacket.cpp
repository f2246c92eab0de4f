// SPDX-License-Identifier: GPL-2.0-or-later
#include "XmpPacket.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace jpeg2pdf {

namespace {

std::string Digits(int value, int width)
{
    char text[12];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    std::string digits(text, end);
    return std::string(digits.size() < static_cast<size_t>(width) ? width - digits.size() : 0, '0') + digits;
}

// Length of the well-formed UTF-8 sequence at the start of `text`, or 0.
size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&text](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
        : lead >= 0xF0 && lead <= 0xF4                                                              ? 4
                                                                                                    : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) || (lead == 0xF0 && byte(1) < 0x90)
        || (lead == 0xF4 && byte(1) > 0x8F))
        return 0;
    return length;
}

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

std::string XmpDate(const DocumentDate& date)
{
    std::string text = Digits(date.year, 4) + "-" + Digits(date.month, 2) + "-" + Digits(date.day, 2) + "T"
                       + Digits(date.hour, 2) + ":" + Digits(date.minute, 2) + ":" + Digits(date.second, 2);
    if (!date.hasZone)
        return text;
    if (date.zoneMinutes == 0)
        return text + "Z";
    const int offset = std::abs(date.zoneMinutes);
    return text + (date.zoneMinutes < 0 ? "-" : "+") + Digits(offset / 60, 2) + ":" + Digits(offset % 60, 2);
}

std::string XmlText(std::string_view utf8)
{
    std::string text;
    text.reserve(utf8.size());
    while (!utf8.empty()) {
        const size_t length = Utf8SequenceLength(utf8);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            utf8.remove_prefix(1);
            continue;
        }
        const char c = utf8[0];
        if (c == '&')
            text += "&amp;";
        else if (c == '<')
            text += "&lt;";
        else if (c == '>')
            text += "&gt;";
        else if (c == '\r')
            text += "&#13;";
        else if (length > 1 || static_cast<uint8_t>(c) >= 0x20 || c == '\t' || c == '\n')
            text.append(utf8.substr(0, length));
        utf8.remove_prefix(length);
    }
    return text;
}

std::string XmpPacket(PdfAPart part, const DocumentInfo& info, std::string_view producer)
{
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
                              Property("xmp:CreateDate", XmpDate(info.created)));
    return packet + "</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

}  // namespace jpeg2pdf
