// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfTextString.h"

#include <array>
#include <optional>

#include "FileNameText.h"

namespace jpeg2pdf {

namespace {

// Where PDFDocEncoding leaves Latin-1: codes 0x18 to 0x1F and 0x80 to 0xA0, in code order.
constexpr std::array<char32_t, 8> kCodes18To1F = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
constexpr std::array<char32_t, 33> kCodes80ToA0 = {
    0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
    0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
    0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E,
    0,  // 0x9F has no character
    0x20AC,
};

// The PDFDocEncoding code of `c`, if it has one. Control characters other than tab and the line
// ends, DEL and the soft hyphen have none.
std::optional<unsigned char> PdfDocCode(char32_t c)
{
    if (c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0xFF && c != 0xAD))
        return static_cast<unsigned char>(c);
    for (size_t i = 0; i < kCodes18To1F.size(); ++i) {
        if (kCodes18To1F[i] == c)
            return static_cast<unsigned char>(0x18 + i);
    }
    for (size_t i = 0; i < kCodes80ToA0.size(); ++i) {
        if (kCodes80ToA0[i] == c && c != 0)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

// PDFDocEncoding bytes, or nothing when a character has no code or the bytes would begin like a
// UTF-16BE or UTF-8 byte-order mark (a reader would take them for one).
std::optional<std::string> PdfDocBytes(std::u32string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (char32_t c : text) {
        const auto code = PdfDocCode(c);
        if (!code)
            return std::nullopt;
        bytes.push_back(static_cast<char>(*code));
    }
    if (bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xEF\xBB\xBF"))
        return std::nullopt;
    return bytes;
}

void AppendUnit(std::string& bytes, char32_t unit)
{
    bytes.push_back(static_cast<char>(unit >> 8));
    bytes.push_back(static_cast<char>(unit & 0xFF));
}

std::string Utf16BigEndianBytes(std::u32string_view text)
{
    std::string bytes = "\xFE\xFF";
    bytes.reserve(2 + 4 * text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c >= 0x10000) {
            AppendUnit(bytes, 0xD800 + ((c - 0x10000) >> 10));
            AppendUnit(bytes, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            AppendUnit(bytes, c);
        }
    }
    return bytes;
}

std::string LiteralString(std::string_view bytes)
{
    std::string token = "(";
    token.reserve(bytes.size() * 2 + 2);
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (byte == '(' || byte == ')' || byte == '\\') {
            token.push_back('\\');
            token.push_back(byte);
        } else if (code >= 0x20 && code <= 0x7E) {
            token.push_back(byte);
        } else {
            // Always three digits, so a digit that follows is not taken into the escape.
            token.push_back('\\');
            token.push_back(static_cast<char>('0' + (code >> 6)));
            token.push_back(static_cast<char>('0' + ((code >> 3) & 7)));
            token.push_back(static_cast<char>('0' + (code & 7)));
        }
    }
    token.push_back(')');
    return token;
}

// The string's bytes, before the escapes of the file's syntax.
std::string TextStringBytes(std::u32string_view text)
{
    auto pdfDoc = PdfDocBytes(text);
    return pdfDoc ? std::move(*pdfDoc) : Utf16BigEndianBytes(text);
}

}  // namespace

std::string PdfTextString(std::u32string_view text) { return LiteralString(TextStringBytes(text)); }

std::string PdfTextString(std::string_view utf8) { return PdfTextString(DecodeAsShown(utf8)); }

size_t PdfTextStringBytes(std::string_view text) { return TextStringBytes(DecodeAsShown(text)).size(); }

}  // namespace jpeg2pdf
