// SPDX-License-Identifier: GPL-2.0-or-later
#include "ImageLook.h"

#include <cmath>
#include <sstream>

namespace extract {

namespace {

QPDFObjectHandle Entry(QPDFObjectHandle object, const std::string& key)
{
    return object.isDictionary() ? object.getKey(key) : QPDFObjectHandle::newNull();
}

// The decode array that shows the data as it is: [0 1] per component, [0 2^bits-1] for an
// indexed image, Lab's ranges; empty when the colour space says nothing usable.
std::vector<double> PlainDecode(QPDFObjectHandle dict)
{
    QPDFObjectHandle space = Entry(dict, "/ColorSpace");
    QPDFObjectHandle family = space.isArray() && space.getArrayNItems() > 0 ? space.getArrayItem(0) : space;
    int components = 0;
    if (family.isNameAndEquals("/DeviceGray") || family.isNameAndEquals("/CalGray") || family.isNameAndEquals("/G")
        || family.isNameAndEquals("/Separation"))
        components = 1;
    else if (family.isNameAndEquals("/DeviceRGB") || family.isNameAndEquals("/CalRGB") || family.isNameAndEquals("/RGB"))
        components = 3;
    else if (family.isNameAndEquals("/DeviceCMYK") || family.isNameAndEquals("/CMYK"))
        components = 4;
    else if (family.isNameAndEquals("/ICCBased") && space.getArrayNItems() > 1
             && Entry(space.getArrayItem(1).isStream() ? space.getArrayItem(1).getDict() : QPDFObjectHandle(), "/N")
                    .isInteger())
        components = space.getArrayItem(1).getDict().getKey("/N").getIntValueAsInt();
    else if (family.isNameAndEquals("/DeviceN") && space.getArrayNItems() > 1 && space.getArrayItem(1).isArray())
        components = space.getArrayItem(1).getArrayNItems();
    else if (family.isNameAndEquals("/Indexed") || family.isNameAndEquals("/I")) {
        QPDFObjectHandle bits = Entry(dict, "/BitsPerComponent");
        return {0, std::ldexp(1.0, bits.isInteger() ? bits.getIntValueAsInt() : 8) - 1};
    } else if (family.isNameAndEquals("/Lab")) {
        std::vector<double> decode {0, 100, -100, 100, -100, 100};
        QPDFObjectHandle range = Entry(space.getArrayNItems() > 1 ? space.getArrayItem(1) : QPDFObjectHandle(), "/Range");
        for (int i = 0; range.isArray() && i < 4 && i < range.getArrayNItems(); ++i)
            if (range.getArrayItem(i).isNumber())
                decode[static_cast<size_t>(i) + 2] = range.getArrayItem(i).getNumericValue();
        return decode;
    }
    std::vector<double> decode;
    for (int i = 0; i < components; ++i)
        decode.insert(decode.end(), {0, 1});
    return decode;
}

std::vector<double> Numbers(QPDFObjectHandle array)
{
    std::vector<double> numbers;
    for (QPDFObjectHandle item : array.getArrayAsVector())
        numbers.push_back(item.isNumber() ? item.getNumericValue() : std::nan(""));
    return numbers;
}

bool Same(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!(std::fabs(a[i] - b[i]) < 1e-6))
            return false;
    return true;
}

std::string Shown(const std::vector<double>& numbers)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "/Decode [";
    for (size_t i = 0; i < numbers.size(); ++i)
        text << (i ? " " : "") << numbers[i];
    text << "]";
    return text.str();
}

const std::vector<double> kFourInverted {1, 0, 1, 0, 1, 0, 1, 0};

}  // namespace

bool ShowsFourComponentsAsStored(QPDFObjectHandle image)
{
    QPDFObjectHandle dict = image.getDict();
    const std::vector<double> plain = PlainDecode(dict);
    QPDFObjectHandle decode = Entry(dict, "/Decode");
    return plain.size() == 8 && (!decode.isArray() || Same(Numbers(decode), plain));
}

std::vector<std::string> WhatTheImageAdds(QPDFObjectHandle image, bool adobeInverted)
{
    std::vector<std::string> adds;
    QPDFObjectHandle dict = image.getDict();
    if (Entry(dict, "/ImageMask").isBool() && dict.getKey("/ImageMask").getBoolValue())
        adds.push_back("a stencil mask (/ImageMask)");
    if (Entry(dict, "/SMask").isStream())
        adds.push_back("a soft mask (/SMask)");
    if (Entry(dict, "/Mask").isStream() || Entry(dict, "/Mask").isArray())
        adds.push_back("a mask (/Mask)");
    QPDFObjectHandle decode = Entry(dict, "/Decode");
    if (decode.isArray()) {
        const std::vector<double> given = Numbers(decode);
        std::vector<double> plain = adobeInverted ? kFourInverted : PlainDecode(dict);
        // Every CMYK JPEG leafbind-export writes gets the inverting array; one without an Adobe
        // segment is rare enough that the array is taken as plain for it too.
        if (plain.size() == 8 && Same(given, kFourInverted))
            plain = kFourInverted;
        if (plain.empty())  // a colour space not known: [0 1] for each pair given
            while (plain.size() < given.size())
                plain.insert(plain.end(), {0, 1});
        if (!Same(given, plain))
            adds.push_back(Shown(given));
    } else if (adobeInverted) {
        adds.push_back("no /Decode to undo the Adobe CMYK inversion");
    }
    return adds;
}

}  // namespace extract
