// SPDX-License-Identifier: GPL-2.0-or-later
#include "PngChunks.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "IccProfile.h"
#include "PngPixels.h"
#include "ReaderBounds.h"

namespace jpeg2pdf {

namespace {

using posixfile::InputFile;

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kLongestChunk = 0x7FFFFFFF;
constexpr double kInchesPerMetre = 0.0254;

uint32_t Big32(const uint8_t* bytes)
{
    return uint32_t {bytes[0]} << 24 | uint32_t {bytes[1]} << 16 | uint32_t {bytes[2]} << 8 | bytes[3];
}

bool ReadExactly(const InputFile& file, int64_t offset, void* buffer, size_t count)
{
    return file.ReadAt(offset, buffer, count) == static_cast<int64_t>(count);
}

bool IsType(const uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

bool ValidDepth(int colourType, int depth)
{
    switch (colourType) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

// The profile an iCCP payload holds (name, NUL, method 0, zlib stream), inflated and checked;
// "" with `profile` filled, or why it is ignored.
std::string InflateProfile(const std::vector<uint8_t>& payload, int components, std::vector<uint8_t>& profile)
{
    const auto nul = std::find(payload.begin(), payload.end(), uint8_t {0});
    const size_t nameLength = static_cast<size_t>(nul - payload.begin());
    if (nul == payload.end() || nameLength == 0 || nameLength > 79 || nameLength + 2 > payload.size()
        || payload[nameLength + 1] != 0)
        return "its iCCP chunk has no profile name or an unknown compression method";
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return "the colour profile could not be inflated (out of memory)";
    stream.next_in = const_cast<Bytef*>(payload.data() + nameLength + 2);
    stream.avail_in = static_cast<uInt>(payload.size() - nameLength - 2);
    std::vector<uint8_t> out;
    int status = Z_OK;
    std::array<uint8_t, 65536> block;
    while (status == Z_OK) {
        stream.next_out = block.data();
        stream.avail_out = block.size();
        status = inflate(&stream, Z_NO_FLUSH);
        const size_t got = block.size() - stream.avail_out;
        if (out.size() + got > kMostPngProfileBytes) {
            status = Z_MEM_ERROR;
            break;
        }
        out.insert(out.end(), block.data(), block.data() + got);
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break;
        if (status == Z_BUF_ERROR)
            status = Z_OK;
    }
    inflateEnd(&stream);
    if (status == Z_MEM_ERROR)
        return "its colour profile inflates to more than " + std::to_string(kMostPngProfileBytes) + " bytes";
    if (status != Z_STREAM_END)
        return "its iCCP chunk's compressed profile is damaged";
    std::string fault = CheckIccProfile(out.data(), out.size(), components);
    if (fault.empty())
        profile = std::move(out);
    return fault;
}

class ChunkWalk {
public:
    ChunkWalk(const InputFile& file, bool readProfile, PngFacts& facts)
        : file_(file), readProfile_(readProfile), facts_(facts)
    {
    }

    EntryProblem Walk()
    {
        uint8_t signature[8];
        if (!ReadExactly(file_, 0, signature, sizeof signature) || std::memcmp(signature, kSignature, 8) != 0)
            return Damaged(PngDamage::Signature);
        int64_t at = 8;
        for (;;) {
            uint8_t head[8];
            std::memset(type_, 0, sizeof type_);
            if (!ReadExactly(file_, at, head, sizeof head))
                return Damaged(PngDamage::EndsEarly);
            std::memcpy(type_, head + 4, 4);
            const uint32_t length = Big32(head);
            if (length > kLongestChunk)
                return Damaged(PngDamage::ChunkLength);
            for (uint8_t letter : type_) {
                if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
                    return Damaged(PngDamage::ChunkType);
            }
            if (at + 12 + int64_t {length} > file_.Size())
                return Damaged(PngDamage::EndsEarly);
            const int64_t payload = at + 8;
            EntryProblem problem = CheckCrc(payload, length);
            if (problem.refusal == EntryRefusal::None)
                problem = Take(payload, length);
            if (problem.refusal != EntryRefusal::None || ended_)
                return problem;
            at = payload + length + 4;
        }
    }

private:
    EntryProblem Damaged(PngDamage damage, bool named = true) const
    {
        EntryProblem problem;
        problem.refusal = EntryRefusal::PngDamaged;
        problem.damage = damage;
        if (named && type_[0] != 0)
            std::memcpy(problem.chunk.data(), type_, 4);
        return problem;
    }

    // Reads the chunk type and payload through zlib's CRC and compares with the stored one.
    EntryProblem CheckCrc(int64_t payload, uint32_t length)
    {
        uLong crc = crc32(0, type_, 4);
        std::array<uint8_t, 65536> block;
        for (int64_t done = 0; done < length;) {
            const size_t count = static_cast<size_t>(std::min<int64_t>(block.size(), length - done));
            if (!ReadExactly(file_, payload + done, block.data(), count))
                return Damaged(PngDamage::EndsEarly);
            crc = crc32(crc, block.data(), static_cast<uInt>(count));
            done += static_cast<int64_t>(count);
        }
        uint8_t stored[4];
        if (!ReadExactly(file_, payload + length, stored, 4))
            return Damaged(PngDamage::EndsEarly);
        if (Big32(stored) != static_cast<uint32_t>(crc))
            return Damaged(PngDamage::ChunkCrc);
        return {};
    }

    // The payload of a chunk whose length is at most `most` bytes (and within the file, as checked).
    bool Payload(int64_t payload, uint32_t length, std::vector<uint8_t>& bytes)
    {
        bytes.resize(length);
        return ReadExactly(file_, payload, bytes.data(), length);
    }

    EntryProblem Take(int64_t payload, uint32_t length)
    {
        const bool header = IsType(type_, "IHDR");
        if (header != (chunks_ == 0))
            return Damaged(chunks_ == 0 ? PngDamage::HeaderInvalid : PngDamage::ChunkOrder);
        ++chunks_;
        const bool data = IsType(type_, "IDAT");
        if (data) {
            if (dataEnded_) {
                // Named by the chunk that came between.
                std::memcpy(type_, interrupter_, 4);
                return Damaged(PngDamage::DataSplit);
            }
            if (facts_.colourType == 3 && facts_.palette.empty())
                return Damaged(PngDamage::PaletteInvalid, false);
            if (facts_.data.size() >= kMostPngDataChunks)
                return Damaged(PngDamage::TooManyDataChunks);
            facts_.data.push_back({payload, length});
            return {};
        }
        if (!facts_.data.empty() && !dataEnded_) {
            dataEnded_ = true;
            std::memcpy(interrupter_, type_, 4);
        }
        if (header)
            return TakeHeader(payload, length);
        if (IsType(type_, "IEND")) {
            ended_ = true;
            return facts_.data.empty() ? Damaged(PngDamage::NoImageData, false) : EntryProblem {};
        }
        if (IsType(type_, "PLTE"))
            return TakePalette(payload, length);
        if ((type_[0] & 0x20) == 0) {
            EntryProblem problem;
            problem.refusal = EntryRefusal::PngUnknownCritical;
            std::memcpy(problem.chunk.data(), type_, 4);
            return problem;
        }
        // Ancillary chunks count only before the image data.
        if (dataEnded_)
            return {};
        if (IsType(type_, "tRNS"))
            return TakeTransparency(payload, length);
        else if (IsType(type_, "pHYs"))
            TakeDensity(payload, length);
        else if (IsType(type_, "iCCP") && !facts_.profileStated)
            TakeProfile(payload, length);
        return {};
    }

    EntryProblem TakeHeader(int64_t payload, uint32_t length)
    {
        uint8_t bytes[13];
        if (length != 13 || !ReadExactly(file_, payload, bytes, 13))
            return Damaged(PngDamage::HeaderInvalid);
        const uint32_t width = Big32(bytes), height = Big32(bytes + 4);
        facts_.bitDepth = bytes[8];
        facts_.colourType = bytes[9];
        facts_.interlace = bytes[12];
        if (width == 0 || height == 0 || width > kLongestChunk || height > kLongestChunk
            || !ValidDepth(facts_.colourType, facts_.bitDepth) || bytes[10] != 0 || bytes[11] != 0
            || facts_.interlace > 1)
            return Damaged(PngDamage::HeaderInvalid);
        facts_.width = static_cast<int32_t>(width);
        facts_.height = static_cast<int32_t>(height);
        return {};
    }

    EntryProblem TakePalette(int64_t payload, uint32_t length)
    {
        if (paletteSeen_ || !facts_.data.empty())
            return Damaged(PngDamage::ChunkOrder);
        paletteSeen_ = true;
        // Grey pictures have no palette; RGB ones may suggest one, which is not needed here.
        if (facts_.colourType == 0 || facts_.colourType == 4)
            return Damaged(PngDamage::PaletteInvalid);
        const uint32_t most = facts_.colourType == 3 ? 3u << facts_.bitDepth : 768;
        if (length == 0 || length % 3 != 0 || length > std::min(most, 768u))
            return Damaged(PngDamage::PaletteInvalid);
        if (facts_.colourType == 3 && !Payload(payload, length, facts_.palette))
            return Damaged(PngDamage::EndsEarly);
        return {};
    }

    // A tRNS that does not fit the colour type, or follows the image data, is ignored, as PNG
    // readers ignore it.
    EntryProblem TakeTransparency(int64_t payload, uint32_t length)
    {
        if (facts_.transparency)
            return {};
        facts_.transparency = true;
        const int type = facts_.colourType;
        const bool fits = (type == 0 && length == 2) || (type == 2 && length == 6)
            || (type == 3 && length >= 1 && length <= facts_.palette.size() / 3);
        if (fits && !Payload(payload, length, facts_.transparent))
            return Damaged(PngDamage::EndsEarly);
        return {};
    }

    void TakeDensity(int64_t payload, uint32_t length)
    {
        uint8_t bytes[9];
        if (length != 9 || !ReadExactly(file_, payload, bytes, 9) || bytes[8] != 1)
            return;
        const double x = Big32(bytes) * kInchesPerMetre, y = Big32(bytes + 4) * kInchesPerMetre;
        if (x > 0 && y > 0 && x <= kMostPixelsPerInch && y <= kMostPixelsPerInch)
            facts_.density = {x, y};
    }

    void TakeProfile(int64_t payload, uint32_t length)
    {
        facts_.profileStated = true;
        if (!readProfile_)
            return;
        if (paletteSeen_) {
            facts_.profileIgnored = "its iCCP chunk follows PLTE, where PNG readers ignore it";
            return;
        }
        // A compressed profile longer than any profile kept would be, whatever it inflates to.
        if (length > kMostPngProfileBytes) {
            facts_.profileIgnored = "its iCCP chunk is larger than any colour profile kept";
            return;
        }
        std::vector<uint8_t> bytes;
        if (!Payload(payload, length, bytes))
            return;
        facts_.profileIgnored = InflateProfile(bytes, PngProfileComponents(facts_.colourType), facts_.profile);
    }

    const InputFile& file_;
    bool readProfile_;
    PngFacts& facts_;
    uint8_t type_[4] {};
    uint8_t interrupter_[4] {};  // the first chunk after the image data
    int64_t chunks_ = 0;
    bool paletteSeen_ = false;
    bool dataEnded_ = false;
    bool ended_ = false;
};

}  // namespace

EntryProblem ReadPngChunks(const InputFile& file, bool readProfile, PngFacts& facts)
{
    return ChunkWalk(file, readProfile, facts).Walk();
}

int PngProfileComponents(int colourType) { return colourType == 0 || colourType == 4 ? 1 : 3; }

void PlanPngTransparency(const PngFacts& facts, ImageCoding& coding)
{
    const int depth = facts.bitDepth;
    const std::vector<uint8_t>& bytes = facts.transparent;
    if (facts.colourType == 4 || facts.colourType == 6) {
        coding.alphaBits = depth;
        return;
    }
    if (bytes.empty())
        return;
    if (facts.colourType == 3) {
        // Entries past the tRNS payload are opaque.
        int first = -1, last = -1;
        bool partly = false, oneRange = true;
        for (size_t i = 0; i < bytes.size(); ++i) {
            const int index = static_cast<int>(i);
            partly = partly || (bytes[i] != 0 && bytes[i] != 255);
            if (bytes[i] != 0)
                continue;
            if (first >= 0 && last != index - 1)
                oneRange = false;
            if (first < 0)
                first = index;
            last = index;
        }
        if (!partly && first < 0)
            return;
        // Readers draw index ranges other than [0 0] wrongly at fewer than 8 bits a sample.
        if (!partly && oneRange && (depth == 8 || (first == 0 && last == 0)))
            coding.keyMask = {first, last};
        else
            coding.alphaBits = 8;
        return;
    }
    // One key colour: a grey level, or red, green and blue, each 16 bits.
    std::vector<int> key;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        key.push_back(bytes[i] << 8 | bytes[i + 1]);
    // A key no sample can equal hides nothing.
    for (int value : key) {
        if (value >> depth != 0)
            return;
    }
    // Readers ignore key masks on 16-bit samples.
    if (depth == 16) {
        coding.alphaBits = 8;
        return;
    }
    for (int value : key) {
        coding.keyMask.push_back(value);
        coding.keyMask.push_back(value);
    }
}

void ProbePngFile(const std::string& path, const ProbeRequest& request, ProbeOutcome& outcome) noexcept
{
    try {
        outcome = ProbeOutcome {};
        InputFile file;
        if (!file.Open(path)) {
            outcome.problem = OpenProblem(file);
            return;
        }
        PngFacts facts;
        outcome.problem = ReadPngChunks(file, request.profile, facts);
        if (outcome.problem.refusal != EntryRefusal::None)
            return;
        ImageCoding& coding = outcome.coding;
        PlanPngTransparency(facts, coding);
        const bool decoded = facts.interlace != 0 || coding.alphaBits != 0;
        if ((facts.colourType == 0 || facts.colourType == 4) && !request.acceptGray) {
            outcome.problem.refusal = EntryRefusal::ComponentCount;  // as a grey JPEG is
            outcome.problem.components = 1;
            return;
        }
        if (decoded
            && PngDecodedBytes(facts.width, facts.height, facts.bitDepth, facts.colourType, facts.interlace != 0)
                > kMostDecodedBytes) {
            outcome.problem.refusal = EntryRefusal::DecodedTooLarge;
            return;
        }
        outcome.info = {false, facts.width, facts.height};
        outcome.components = PngProfileComponents(facts.colourType);
        outcome.identity = file.Identity();
        if (request.density)
            outcome.density = facts.density;
        if (request.profile) {
            outcome.profile = std::move(facts.profile);
            outcome.profileIgnored = std::move(facts.profileIgnored);
        }
        coding.kind = decoded ? ImageCodingKind::Pixels : ImageCodingKind::PngFlate;
        coding.source = PictureKind::Png;
        coding.bitsPerComponent = facts.bitDepth;
        coding.colours = facts.colourType == 2 || facts.colourType == 6 ? 3 : 1;
        coding.palette = std::move(facts.palette);
        if (!decoded)
            coding.ranges = std::move(facts.data);
    } catch (...) {
        outcome.problem = {};
        outcome.problem.refusal = EntryRefusal::CannotOpen;
        outcome.problem.systemError = ENOMEM;
    }
}

}  // namespace jpeg2pdf
