// SPDX-License-Identifier: GPL-2.0-or-later
#include "IccProfiles.h"

#include <algorithm>
#include <stdexcept>

#include <lcms2.h>

#include "JpegSegments.h"

namespace {

// Saves and closes the profile.
std::string Save(cmsHPROFILE profile, double version, const char* description)
{
    if (!profile)
        throw std::runtime_error("lcms2 could not make the profile");
    cmsSetProfileVersion(profile, version);
    if (description) {
        cmsMLU* text = cmsMLUalloc(nullptr, 1);
        cmsMLUsetASCII(text, "en", "US", description);
        cmsWriteTag(profile, cmsSigProfileDescriptionTag, text);
        cmsMLUfree(text);
    }
    cmsUInt32Number size = 0;
    std::string bytes;
    if (cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(size);
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
            bytes.clear();
    }
    cmsCloseProfile(profile);
    if (bytes.empty())
        throw std::runtime_error("lcms2 could not save the profile");
    return bytes;
}

cmsToneCurve* Gamma22() { return cmsBuildGamma(nullptr, 2.2); }

// A plausible ink model: each ink darkens, cyan pulls a* down, magenta up, yellow pulls b* up.
int CmykToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void*)
{
    const double c = in[0] / 65535.0, m = in[1] / 65535.0, y = in[2] / 65535.0, k = in[3] / 65535.0;
    cmsCIELab lab;
    lab.L = 100 * (1 - 0.3 * c) * (1 - 0.4 * m) * (1 - 0.1 * y) * (1 - k);
    lab.a = 60 * (m - c);
    lab.b = 60 * (y - 0.5 * c - 0.5 * m);
    cmsFloat2LabEncoded(out, &lab);
    return TRUE;
}

int LabToCmyk(const cmsUInt16Number in[], cmsUInt16Number out[], void*)
{
    cmsCIELab lab;
    cmsLabEncoded2Float(&lab, in);
    const double grey = 1 - std::clamp(lab.L / 100, 0.0, 1.0);
    const auto ink = [](double v) { return static_cast<cmsUInt16Number>(std::clamp(v, 0.0, 1.0) * 65535); };
    out[0] = ink(grey - lab.a / 120);
    out[1] = ink(grey + lab.a / 120);
    out[2] = ink(grey + lab.b / 120);
    out[3] = ink(grey * 0.5);
    return TRUE;
}

void WriteTable(cmsHPROFILE profile, cmsTagSignature tag, int gridPoints, int inputs, int outputs, cmsSAMPLER16 sampler)
{
    // Identity curves around the table: the layout a version 4 lutAtoBType or lutBtoAType needs.
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, inputs, outputs);
    bool ok = pipeline != nullptr;
    const auto append = [&](cmsStage* stage) {
        ok = ok && stage && cmsPipelineInsertStage(pipeline, cmsAT_END, stage);
        if (!ok && stage)
            cmsStageFree(stage);
    };
    append(cmsStageAllocToneCurves(nullptr, inputs, nullptr));
    cmsStage* table = cmsStageAllocCLut16bit(nullptr, gridPoints, inputs, outputs, nullptr);
    ok = ok && table && cmsStageSampleCLut16bit(table, sampler, nullptr, 0);
    append(table);
    append(cmsStageAllocToneCurves(nullptr, outputs, nullptr));
    ok = ok && cmsWriteTag(profile, tag, pipeline);
    if (pipeline)
        cmsPipelineFree(pipeline);
    if (!ok)
        throw std::runtime_error("lcms2 could not write a CMYK table");
}

}  // namespace

std::string AdobeRgbLikeProfile(double version)
{
    const cmsCIExyY white {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* curve = Gamma22();
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return Save(profile, version, "Wide-gamut RGB test profile");
}

std::string SrgbProfile(double version) { return Save(cmsCreate_sRGBProfile(), version, nullptr); }

std::string GrayProfile(double version)
{
    cmsToneCurve* curve = Gamma22();
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsFreeToneCurve(curve);
    return Save(profile, version, "Grey gamma 2.2 test profile");
}

std::string CmykProfile(int gridPoints, double version)
{
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    if (!profile)
        throw std::runtime_error("lcms2 could not make the profile");
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, const_cast<cmsCIEXYZ*>(cmsD50_XYZ()));
    try {
        WriteTable(profile, cmsSigAToB0Tag, gridPoints, 4, 3, CmykToLab);
        WriteTable(profile, cmsSigBToA0Tag, gridPoints, 3, 4, LabToCmyk);
    } catch (...) {
        cmsCloseProfile(profile);
        throw;
    }
    return Save(profile, version, "CMYK test profile");
}

std::string IccChunkSegment(int sequence, int count, const std::string& data)
{
    if (data.size() > kMostIccChunkBytes)
        throw std::length_error("ICC chunk over one segment");
    return MarkerSegment(
        0xE2, std::string("ICC_PROFILE\0", 12) + static_cast<char>(sequence) + static_cast<char>(count) + data);
}

std::vector<std::string> IccChunkSegments(const std::string& profile, size_t chunkSize, const std::vector<int>& order)
{
    if (chunkSize == 0 || chunkSize > kMostIccChunkBytes)
        throw std::invalid_argument("chunk size out of range");
    const int count = static_cast<int>((profile.size() + chunkSize - 1) / chunkSize);
    std::vector<int> numbers = order;
    if (numbers.empty())
        for (int n = 1; n <= count; ++n)
            numbers.push_back(n);
    std::vector<std::string> segments;
    for (int n : numbers) {
        const bool inRange = n >= 1 && n <= count;
        segments.push_back(IccChunkSegment(n, count, inRange ? profile.substr((n - 1) * chunkSize, chunkSize) : ""));
    }
    return segments;
}
