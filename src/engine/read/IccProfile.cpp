// SPDX-License-Identifier: GPL-2.0-or-later
#include "IccProfile.h"

#include <cstring>

namespace jpeg2pdf {

namespace {

const char kIgnored[] = "colour profile ignored: ";
constexpr size_t kHeaderSize = 128;
constexpr size_t kTagEntrySize = 12;
// PDF knows profiles up to version 4; a later version may not be read as its header says.
constexpr int kNewestIccMajorVersion = 4;

uint32_t BigEndian32(const uint8_t* p) { return uint32_t {p[0]} << 24 | uint32_t {p[1]} << 16 | p[2] << 8 | p[3]; }

std::string ChunkName(int sequence, int count)
{
    return "chunk " + std::to_string(sequence) + " of " + std::to_string(count);
}

// A four-character signature as plain text, unprintable bytes shown as '?'.
std::string Signature(const uint8_t* p)
{
    std::string text;
    for (int i = 0; i < 4; ++i)
        text += p[i] >= 0x20 && p[i] < 0x7F ? static_cast<char>(p[i]) : '?';
    return text;
}

// The colour space a frame of `components` components needs, and how the user calls it.
const char* SpaceFor(int components)
{
    return components == 1 ? "GRAY" : components == 3 ? "RGB " : components == 4 ? "CMYK" : "";
}

std::string SpaceName(const std::string& signature)
{
    if (signature == "GRAY")
        return "grey";
    if (signature == "RGB ")
        return "RGB";
    if (signature == "CMYK")
        return "CMYK";
    return "'" + signature + "'";
}

std::string PictureName(int components)
{
    const char* space = SpaceFor(components);
    return *space ? SpaceName(space) : std::to_string(components) + "-component";
}

std::string WithArticle(const std::string& name) { return (name == "RGB" ? "an " : "a ") + name; }

}  // namespace

bool IsIccChunk(const uint8_t* payload, size_t size) noexcept
{
    return size >= 12 && std::memcmp(payload, "ICC_PROFILE\0", 12) == 0;
}

void IccChunkCollector::Fault(std::string reason)
{
    fault_ = std::move(reason);
    chunks_.clear();
    present_.clear();
}

void IccChunkCollector::Add(const uint8_t* payload, size_t size)
{
    seen_ = true;
    if (!fault_.empty())
        return;
    if (size < kIccChunkHeaderSize)
        return Fault("a chunk without its number");
    const int sequence = payload[12], count = payload[13];
    if (count == 0)
        return Fault("a chunk count of 0");
    if (count_ != 0 && count != count_)
        return Fault("the chunks disagree on their count (" + std::to_string(count_) + " and " + std::to_string(count)
                     + ")");
    if (sequence == 0 || sequence > count)
        return Fault(ChunkName(sequence, count) + " is out of range");
    if (count_ == 0) {
        count_ = count;
        chunks_.resize(count);
        present_.resize(count);
    }
    if (present_[sequence - 1])
        return Fault(ChunkName(sequence, count) + " appears twice");
    present_[sequence - 1] = true;
    chunks_[sequence - 1].assign(payload + kIccChunkHeaderSize, payload + size);
}

std::string IccChunkCollector::Assemble(int components, std::vector<uint8_t>& profile)
{
    profile.clear();
    if (!seen_)
        return "";
    if (!fault_.empty())
        return kIgnored + fault_;
    size_t total = 0;
    for (int i = 0; i < count_; ++i) {
        if (!present_[i])
            return kIgnored + ChunkName(i + 1, count_) + " is missing";
        total += chunks_[i].size();
    }
    profile.reserve(total);
    for (std::vector<uint8_t>& chunk : chunks_) {
        profile.insert(profile.end(), chunk.begin(), chunk.end());
        std::vector<uint8_t>().swap(chunk);
    }
    const std::string reason = CheckIccProfile(profile.data(), profile.size(), components);
    if (!reason.empty()) {
        std::vector<uint8_t>().swap(profile);
        return reason;
    }
    return "";
}

std::string CheckIccProfile(const uint8_t* profile, size_t size, int components)
{
    if (size < kHeaderSize || std::memcmp(profile + 36, "acsp", 4) != 0)
        return kIgnored + std::string("not an ICC profile");
    const IccVersion version = ReadIccVersion(profile, size);
    if (version.major > kNewestIccMajorVersion)
        return kIgnored + std::string("version ") + std::to_string(version.major) + "." + std::to_string(version.minor)
            + "; PDF carries profiles up to version 4";
    const uint32_t declared = BigEndian32(profile);
    if (declared != size)
        return kIgnored + std::string("its header gives ") + std::to_string(declared) + " bytes, its chunks hold "
            + std::to_string(size);
    // The tag table: a count, then offset and size of each tag, all inside the profile.
    if (size < kHeaderSize + 4)
        return kIgnored + std::string("its tag table is missing");
    const uint32_t tags = BigEndian32(profile + kHeaderSize);
    if (tags > (size - kHeaderSize - 4) / kTagEntrySize)
        return kIgnored + std::string("its tag table runs past its end");
    for (uint32_t i = 0; i < tags; ++i) {
        const uint8_t* entry = profile + kHeaderSize + 4 + i * kTagEntrySize;
        const uint32_t offset = BigEndian32(entry + 4), length = BigEndian32(entry + 8);
        if (offset > size || length > size - offset)
            return kIgnored + std::string("its tag '") + Signature(entry) + "' runs past its end";
    }
    // Device links, abstract and named-colour profiles do not describe a picture's colours.
    const std::string deviceClass = Signature(profile + 12);
    if (deviceClass != "scnr" && deviceClass != "mntr" && deviceClass != "prtr" && deviceClass != "spac")
        return kIgnored + std::string("a profile of class '") + deviceClass + "' does not describe a picture's colours";
    const std::string space = Signature(profile + 16);
    if (space != SpaceFor(components))
        return kIgnored + WithArticle(SpaceName(space)) + " profile does not fit "
            + WithArticle(PictureName(components)) + " picture";
    return "";
}

IccVersion ReadIccVersion(const uint8_t* profile, size_t size) noexcept
{
    if (size < kHeaderSize)
        return {};
    return {profile[8], profile[9] >> 4};
}

}  // namespace jpeg2pdf
