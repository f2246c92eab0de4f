// SPDX-License-Identifier: GPL-2.0-or-later
#include "ImageForm.h"

#include <algorithm>
#include <stdexcept>

#include <qpdf/Pipeline.hh>

#include "ImageLook.h"

namespace extract {

namespace {

QPDFObjectHandle Entry(QPDFObjectHandle object, const std::string& key)
{
    return object.isDictionary() ? object.getKey(key) : QPDFObjectHandle::newNull();
}

int IntegerOr(QPDFObjectHandle value, int otherwise)
{
    return value.isInteger() ? value.getIntValueAsInt() : otherwise;
}

bool BoolOr(QPDFObjectHandle value, bool otherwise) { return value.isBool() ? value.getBoolValue() : otherwise; }

// The decode parameters of a stream's only filter: a dictionary, or an array holding one.
QPDFObjectHandle OnlyParameters(QPDFObjectHandle dict)
{
    QPDFObjectHandle parameters = Entry(dict, "/DecodeParms");
    if (parameters.isArray())
        parameters = parameters.getArrayNItems() == 1 ? parameters.getArrayItem(0) : QPDFObjectHandle::newNull();
    return parameters.isDictionary() ? parameters : QPDFObjectHandle::newNull();
}

// Keeps the first bytes it takes, and lets the rest go by (a read stopped in the middle would leave
// libqpdf's warning of it, which this reader never sees).
class FirstBytesPipeline : public Pipeline {
public:
    explicit FirstBytesPipeline(size_t wanted) : Pipeline("first bytes", nullptr), wanted_(wanted) { }
    void write(const unsigned char* data, size_t size) override
    {
        kept.append(reinterpret_cast<const char*>(data), std::min(size, wanted_ - kept.size()));
    }
    void finish() override { }
    std::string kept;

private:
    size_t wanted_;
};

// The first `wanted` bytes of a stream's decoded data (fewer when it has fewer): a small table,
// held without whatever follows it.
std::string FirstBytes(QPDFObjectHandle stream, size_t wanted)
{
    FirstBytesPipeline pipeline(wanted);
    try {
        stream.pipeStreamData(&pipeline, nullptr, 0, qpdf_dl_generalized, true);
    } catch (const std::exception&) {
    }
    return pipeline.kept;
}

std::string NameOf(QPDFObjectHandle object) { return object.isName() ? object.getName() : std::string("?"); }

// The colour of `space` for a picture of `form.depth` bits: grey or RGB, an ICC profile of one or
// three components, or an indexed space over one of them. Empty, or why not.
std::string ReadColourSpace(QPDFObjectHandle space, ImageForm& form)
{
    QPDFObjectHandle family = space.isArray() && space.getArrayNItems() > 0 ? space.getArrayItem(0) : space;
    if (family.isNameAndEquals("/DeviceGray") || family.isNameAndEquals("/G")) {
        form.colours = 1;
    } else if (family.isNameAndEquals("/DeviceRGB") || family.isNameAndEquals("/RGB")) {
        form.colours = 3;
    } else if (family.isNameAndEquals("/ICCBased") && space.getArrayNItems() > 1 && space.getArrayItem(1).isStream()) {
        form.profile = space.getArrayItem(1);
        form.profiled = true;
        form.colours = IntegerOr(form.profile.getDict().getKey("/N"), 0);
        if (form.colours != 1 && form.colours != 3)
            return "an ICC-based colour space of " + std::to_string(form.colours) + " components";
    } else if ((family.isNameAndEquals("/Indexed") || family.isNameAndEquals("/I")) && space.getArrayNItems() == 4
               && !form.indexed) {
        form.indexed = true;
        const std::string base = ReadColourSpace(space.getArrayItem(1), form);
        if (!base.empty())
            return "an indexed colour space over " + base;
        const int highest = IntegerOr(space.getArrayItem(2), -1);
        QPDFObjectHandle lookup = space.getArrayItem(3);
        std::string table;
        if (lookup.isString())
            table = lookup.getStringValue();
        else if (lookup.isStream())
            table = FirstBytes(lookup, 256 * 3);
        const size_t entries = static_cast<size_t>(highest) + 1;
        if (highest < 0 || highest > 255 || table.size() < entries * static_cast<size_t>(form.colours))
            return "an indexed colour space whose table is damaged";
        for (size_t i = 0; i < entries; ++i)
            for (int c = 0; c < 3; ++c)  // a grey table's entries as RGB triples
                form.palette.push_back(static_cast<uint8_t>(table[i * static_cast<size_t>(form.colours)
                                                                  + static_cast<size_t>(form.colours == 3 ? c : 0)]));
        form.colours = 1;
        form.profiled = form.profiled && base.empty() && space.getArrayItem(1).isArray()
            && IntegerOr(form.profile.getDict().getKey("/N"), 0) == 3;  // a PNG palette's profile is RGB
    } else {
        return "a " + (family.isName() ? family.getName() : std::string("damaged")) + " colour space";
    }
    return {};
}

// Why the soft mask cannot be the PNG's alpha channel, or empty (and `form.softMask` set).
std::string ReadSoftMask(QPDFObjectHandle mask, ImageForm& form)
{
    if (mask.isNull() || mask.isNameAndEquals("/None"))
        return {};
    QPDFObjectHandle dict = mask.isStream() ? mask.getDict() : QPDFObjectHandle::newNull();
    const auto fault = [](const std::string& what) { return "a soft mask (/SMask) " + what; };
    if (!mask.isStream())
        return fault("that is no image");
    if (form.indexed)
        return fault("over an indexed picture");
    if (form.depth != 8 && form.depth != 16)
        return fault("over " + std::to_string(form.depth) + "-bit samples");
    if (IntegerOr(dict.getKey("/Width"), 0) != form.width || IntegerOr(dict.getKey("/Height"), 0) != form.height)
        return fault("of another size than the picture");
    if (IntegerOr(dict.getKey("/BitsPerComponent"), 0) != form.depth)
        return fault("of another depth than the picture");
    if (dict.hasKey("/Matte"))
        return fault("over colours premultiplied by it (/Matte)");
    if (!WhatTheImageAdds(mask, false).empty())
        return fault("shown through " + WhatTheImageAdds(mask, false).front());
    for (QPDFObjectHandle filter : FilterList(dict))
        if (!IsGeneralizedFilter(filter))
            return fault("compressed with " + NameOf(filter));
    form.softMask = mask;
    form.alpha = true;
    return {};
}

// The colour-key mask `mask` (an array of integer pairs, a range of samples for each component)
// as `form.transparency`: empty, or why a PNG's tRNS cannot hold it.
std::string ReadColourKey(QPDFObjectHandle mask, ImageForm& form)
{
    if (!mask.isArray())
        return {};
    const std::string refusal = "a picture shown through a mask (/Mask)";
    if (form.alpha)
        return refusal;
    std::vector<int64_t> bounds;
    for (QPDFObjectHandle item : mask.getArrayAsVector()) {
        if (!item.isInteger())
            return refusal;
        bounds.push_back(std::clamp<int64_t>(item.getIntValue(), -1, int64_t {1} << 20));
    }
    const int64_t most = (int64_t {1} << form.depth) - 1;
    if (form.indexed) {  // pairs for the one component: several ranges of indices
        if (bounds.empty() || bounds.size() % 2 != 0)
            return refusal;
        std::vector<uint8_t> alpha(static_cast<size_t>(most) + 1, 255);
        size_t used = 0;
        for (size_t i = 0; i < bounds.size(); i += 2)
            for (int64_t index = std::max<int64_t>(bounds[i], 0); index <= std::min(bounds[i + 1], most); ++index) {
                alpha[static_cast<size_t>(index)] = 0;
                used = std::max(used, static_cast<size_t>(index) + 1);
            }
        alpha.resize(used);  // no index inside any range: nothing is transparent
        form.transparency = alpha;
        return {};
    }
    if (bounds.size() != static_cast<size_t>(form.colours) * 2)
        return refusal;
    std::vector<uint8_t> key;
    for (size_t i = 0; i < bounds.size(); i += 2) {
        if (bounds[i] != bounds[i + 1] || bounds[i] < 0 || bounds[i] > most)
            return refusal;  // a range of several colours, or one no sample can have
        key.push_back(static_cast<uint8_t>(bounds[i] >> 8));
        key.push_back(static_cast<uint8_t>(bounds[i] & 0xFF));
    }
    form.transparency = key;
    return {};
}

// A CCITT picture: one filter, its parameters those a TIFF strip can carry.
void ReadCcitt(QPDFObjectHandle dict, ImageForm& form)
{
    QPDFObjectHandle parameters = OnlyParameters(dict);
    form.k = IntegerOr(Entry(parameters, "/K"), 0);
    form.byteAligned = BoolOr(Entry(parameters, "/EncodedByteAlign"), false);
    form.blackIs1 = BoolOr(Entry(parameters, "/BlackIs1"), false);
    const int rows = IntegerOr(Entry(parameters, "/Rows"), 0);
    QPDFObjectHandle decode = dict.getKey("/Decode");
    const bool turned = decode.isArray() && decode.getArrayNItems() == 2 && decode.getArrayItem(0).isNumber()
        && decode.getArrayItem(0).getNumericValue() == 1;
    form.blackIs1 = form.blackIs1 != turned;
    QPDFObjectHandle space = dict.getKey("/ColorSpace");
    if (!space.isNull() && !space.isNameAndEquals("/DeviceGray") && !space.isNameAndEquals("/G"))
        form.refusal = "CCITT data in a " + NameOf(space) + " colour space";
    else if (IntegerOr(dict.getKey("/BitsPerComponent"), 1) != 1)
        form.refusal = "CCITT data of more than 1 bit a sample";
    else if (IntegerOr(Entry(parameters, "/Columns"), 1728) != form.width || (rows != 0 && rows != form.height))
        form.refusal = "CCITT data whose /Columns or /Rows are not the picture's size";
    else if (form.k < 0 && form.byteAligned)
        form.refusal = "Group 4 data aligned on bytes (/EncodedByteAlign), which TIFF cannot hold";
    else if (form.k >= 0 && !BoolOr(Entry(parameters, "/EndOfLine"), false))
        form.refusal = "Group 3 data without end-of-line codes (/EndOfLine), which a TIFF strip must have";
    if (form.refusal.empty()) {
        form.kind = ImageForm::Kind::Ccitt;
        form.depth = form.colours = 1;
    }
}

}  // namespace

bool IsGeneralizedFilter(QPDFObjectHandle filter)
{
    for (const char* name : {"/FlateDecode", "/Fl", "/LZWDecode", "/LZW", "/ASCII85Decode", "/A85",
                             "/ASCIIHexDecode", "/AHx", "/RunLengthDecode", "/RL"})
        if (filter.isNameAndEquals(name))
            return true;
    return false;
}

std::vector<QPDFObjectHandle> FilterList(QPDFObjectHandle dict)
{
    QPDFObjectHandle filter = Entry(dict, "/Filter");
    if (filter.isArray())
        return filter.getArrayAsVector();
    if (filter.isNull())
        return {};
    return {filter};
}

ImageForm ReadImageForm(QPDFObjectHandle image)
{
    ImageForm form;
    if (!image.isInitialized() || !image.isStream()) {
        form.refusal = "an inline image";
        return form;
    }
    QPDFObjectHandle dict = image.getDict();
    form.width = IntegerOr(dict.getKey("/Width"), 0);
    form.height = IntegerOr(dict.getKey("/Height"), 0);
    std::vector<QPDFObjectHandle> filters = FilterList(dict);
    const std::vector<std::string> adds = WhatTheImageAdds(image, false);
    if (form.width <= 0 || form.height <= 0) {
        form.refusal = "an image without a size (/Width, /Height)";
    } else if (form.width > kMostPixelsASide || form.height > kMostPixelsASide) {
        form.refusal = "an image of more than " + std::to_string(kMostPixelsASide) + " pixels a side, which libpng and"
                       " libtiff do not read";
    } else if (BoolOr(dict.getKey("/ImageMask"), false)) {
        form.refusal = "a stencil mask (/ImageMask)";
    } else if (dict.getKey("/Mask").isStream()
               || (dict.getKey("/Mask").isArray() && filters.size() == 1 && filters[0].isNameAndEquals("/CCITTFaxDecode"))) {
        form.refusal = "a picture shown through a mask (/Mask)";
    } else if (filters.size() == 1 && filters[0].isNameAndEquals("/CCITTFaxDecode")) {
        ReadCcitt(dict, form);
    } else {
        for (QPDFObjectHandle filter : filters)
            if (!IsGeneralizedFilter(filter) && form.refusal.empty())
                form.refusal = "data compressed with " + NameOf(filter);
        if (form.refusal.empty()) {
            form.depth = IntegerOr(dict.getKey("/BitsPerComponent"), 0);
            form.refusal = ReadColourSpace(dict.getKey("/ColorSpace"), form);
        }
        // What a PNG holds: grey at 1 to 16 bits, indices at 1 to 8, RGB at 8 or 16.
        const int d = form.depth;
        const bool depthTaken = (d == 1 || d == 2 || d == 4 || d == 8 || d == 16) && !(form.indexed && d == 16)
            && !(form.colours == 3 && d < 8);
        if (form.refusal.empty() && !depthTaken)
            form.refusal = std::to_string(d) + "-bit samples of " + (form.colours == 3 ? "RGB" : "one component");
        for (const std::string& add : adds)
            if (form.refusal.empty() && add.starts_with("/Decode"))
                form.refusal = "a picture shown through " + add;
        if (form.refusal.empty())
            form.refusal = ReadSoftMask(dict.getKey("/SMask"), form);
        if (form.refusal.empty())
            form.refusal = ReadColourKey(dict.getKey("/Mask"), form);
        if (form.refusal.empty()) {
            form.kind = ImageForm::Kind::Pixels;
            QPDFObjectHandle parameters = OnlyParameters(dict);
            form.predictedFlate = filters.size() == 1
                && (filters[0].isNameAndEquals("/FlateDecode") || filters[0].isNameAndEquals("/Fl"))
                && IntegerOr(Entry(parameters, "/Predictor"), 1) >= 10
                && IntegerOr(Entry(parameters, "/Colors"), 1) == form.colours
                && IntegerOr(Entry(parameters, "/BitsPerComponent"), 8) == form.depth
                && IntegerOr(Entry(parameters, "/Columns"), 1) == form.width && !form.alpha;
        }
    }
    if (form.kind == ImageForm::Kind::Other) {
        form.softMask = form.profile = QPDFObjectHandle();
        form.alpha = form.profiled = false;
        form.palette.clear();
        form.transparency.clear();
    }
    return form;
}

}  // namespace extract
