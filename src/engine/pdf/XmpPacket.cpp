// SPDX-License-Identifier: GPL-2.0-or-later
#include "XmpPacket.h"

#include "DocumentDateText.h"
#include "XmlRepresentable.h"

namespace jpeg2pdf {

namespace {

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
