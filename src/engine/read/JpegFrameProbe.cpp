// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegFrameProbe.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ExifOrientation.h"
#include "IccProfile.h"
#include "FileDensity.h"
#include "PictureKindSniffer.h"

namespace jpeg2pdf {

using posixfile::InputFile;
using posixfile::OpenFailure;

namespace {

// Marker values the probe tells apart; every other value starts a segment that is skipped by its length.
constexpr uint16_t kStartOfImage = 0xFFD8;
constexpr uint16_t kEndOfImage = 0xFFD9;
constexpr uint16_t kFillWord = 0xFFFF;
constexpr uint16_t kBaselineFrame = 0xFFC0;
constexpr uint16_t kProgressiveFrame = 0xFFC2;
constexpr uint16_t kStartOfScan = 0xFFDA;
constexpr uint16_t kApp0 = 0xFFE0;
constexpr uint16_t kApp1 = 0xFFE1;
constexpr uint16_t kApp2 = 0xFFE2;

// Reads forward through the file in small blocks; skipping a segment costs no read at all.
class ByteReader {
public:
    explicit ByteReader(const InputFile& file) : file_(file) { }

    bool Byte(uint8_t& value)
    {
        if (position_ < blockStart_ || position_ >= blockStart_ + blockSize_) {
            const int64_t got = file_.ReadAt(position_, block_, sizeof block_);
            if (got <= 0)
                return false;
            blockStart_ = position_;
            blockSize_ = got;
        }
        value = block_[position_ - blockStart_];
        ++position_;
        return true;
    }

    bool Word(uint16_t& value)
    {
        uint8_t high, low;
        if (!Byte(high) || !Byte(low))
            return false;
        value = static_cast<uint16_t>(high << 8 | low);
        return true;
    }

    void Skip(int64_t count) { position_ += count; }
    int64_t Position() const { return position_; }

private:
    const InputFile& file_;
    uint8_t block_[4096];
    int64_t blockStart_ = 0;
    int64_t blockSize_ = 0;
    int64_t position_ = 0;
};

// Frame markers of the coding processes PDF readers do not decode (extended sequential,
// lossless, hierarchical, arithmetic); the scan skips them like any other segment.
bool IsOtherFrame(uint16_t marker)
{
    return marker >= 0xFFC1 && marker <= 0xFFCF && marker != kProgressiveFrame && marker != 0xFFC4 && marker != 0xFFC8
        && marker != 0xFFCC;
}

// Reads the frame header after its marker: length, precision, height, width, component count.
bool ReadFrameHeader(ByteReader& in, bool acceptGray, ProbeOutcome& out)
{
    uint16_t length, height, width;
    uint8_t precision, components;
    if (!in.Word(length) || !in.Byte(precision) || !in.Word(height) || !in.Word(width) || !in.Byte(components)) {
        out.problem.refusal = EntryRefusal::EndsEarly;
        return false;
    }
    out.info.Height = height;
    out.info.Width = width;
    out.problem.precision = precision;
    out.problem.components = components;
    out.components = components;
    // PDF viewers decode DCT data at 8 bits per sample only.
    if (precision != 8) {
        out.problem.refusal = EntryRefusal::NotEightBit;
        return false;
    }
    if (components != 3 && components != 4 && !(components == 1 && acceptGray)) {
        out.problem.refusal = EntryRefusal::ComponentCount;
        return false;
    }
    out.info.IsCmyk = components == 4;
    return true;
}

// Up to `most` payload bytes of a segment of `length` bytes (length field included) whose payload
// begins at `payloadStart`: the read is bounded by the segment, and by the file's end.
std::vector<uint8_t> ReadPayload(const InputFile& file, int64_t payloadStart, uint16_t length, size_t most = 65533)
{
    std::vector<uint8_t> payload(length < 2 ? 0 : std::min<size_t>(length - 2u, most));
    const int64_t got = payload.empty() ? 0 : file.ReadAt(payloadStart, payload.data(), payload.size());
    payload.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return payload;
}

// What the walk gathers on request from the segments before the frame header.
struct SegmentFindings {
    bool jfifRead = false, jfifStated = false;  // the first JFIF APP0 segment
    bool exifRead = false, exifStated = false;  // the first Exif APP1 segment (XMP and others share the marker)
    FileDensity jfifDensity, exifDensity;
    IccChunkCollector profile;
};

// Reads what `request` asks of one segment before the first scan.
void ReadRequestedSegment(const InputFile& file, int64_t payloadStart, uint16_t marker, uint16_t length,
                          const ProbeRequest& request, SegmentFindings& found, ProbeOutcome& out)
{
    if (marker == kApp0 && request.density && !found.jfifRead) {
        const std::vector<uint8_t> payload = ReadPayload(file, payloadStart, length, 16);
        if (payload.size() >= 5 && std::memcmp(payload.data(), "JFIF\0", 5) == 0) {
            found.jfifRead = true;
            found.jfifStated = ReadJfifDensity(payload.data(), payload.size(), found.jfifDensity);
        }
    } else if (marker == kApp1 && (request.orientation || request.density) && !found.exifRead) {
        const std::vector<uint8_t> payload = ReadPayload(file, payloadStart, length);
        if (payload.size() >= 6 && std::memcmp(payload.data(), "Exif\0\0", 6) == 0) {
            found.exifRead = true;
            if (request.orientation)
                out.orientation = ReadExifOrientation(payload.data(), payload.size());
            if (request.density)
                found.exifStated = ReadExifDensity(payload.data(), payload.size(), found.exifDensity);
        }
    } else if (marker == kApp2 && request.profile) {
        // Other APP2 uses (large ones among them) are told apart by their first bytes.
        const std::vector<uint8_t> head = ReadPayload(file, payloadStart, length, 12);
        if (!IsIccChunk(head.data(), head.size()))
            return;
        const std::vector<uint8_t> payload = ReadPayload(file, payloadStart, length);
        found.profile.Add(payload.data(), payload.size());
    }
}

// Walks the marker segments from the start of the file to the first frame header. Whatever two
// bytes stand where a marker belongs are taken as the marker, and a segment's length is taken as
// unsigned: a length of 0 or 1 moves back, but each pass reads four bytes and moves back at most two,
// so the walk always advances and ends at the latest at the end of the file. Only the reason for
// a refusal depends on the frames of other kinds and scans passed on the way.
bool ScanToFrameHeader(const InputFile& file, ByteReader& in, const ProbeRequest& request, SegmentFindings& found,
                       ProbeOutcome& out)
{
    uint16_t marker;
    if (!in.Word(marker) || marker != kStartOfImage) {
        out.problem.refusal = EntryRefusal::NotJpeg;
        uint8_t signature[kSignatureBytes];
        const int64_t got = file.ReadAt(0, signature, sizeof signature);
        out.problem.kind = KindFromSignature(signature, got > 0 ? static_cast<size_t>(got) : 0);
        return false;
    }
    bool pastScan = false;
    const auto refuse = [&](EntryRefusal withoutOtherFrame) {
        out.problem.refusal = out.problem.frameMarker == 0 ? withoutOtherFrame
            : out.problem.precision != 8                   ? EntryRefusal::NotEightBit
                                                           : EntryRefusal::UnsupportedFrame;
        return false;
    };
    for (;;) {
        if (!in.Word(marker))
            return refuse(pastScan ? EntryRefusal::NoFrameHeader : EntryRefusal::EndsEarly);
        if (marker == kBaselineFrame || marker == kProgressiveFrame)
            return ReadFrameHeader(in, request.acceptGray, out);
        if (marker == kFillWord || marker == kEndOfImage)
            return refuse(EntryRefusal::NoFrameHeader);
        // A scan marker starts the image data, so the frame header is known to be missing even
        // when the file ends inside the scan's length field.
        pastScan = pastScan || marker == kStartOfScan;
        uint16_t length;
        if (!in.Word(length))
            return refuse(pastScan ? EntryRefusal::NoFrameHeader : EntryRefusal::EndsEarly);
        if (IsOtherFrame(marker) && out.problem.frameMarker == 0) {
            // Its precision tells the more useful reason: 12-bit files use these frame types.
            uint8_t precision = 0;
            out.problem.frameMarker = marker;
            if (file.ReadAt(in.Position(), &precision, 1) == 1)
                out.problem.precision = precision;
        }
        if (!pastScan)
            ReadRequestedSegment(file, in.Position(), marker, length, request, found, out);
        in.Skip(int64_t {length} - 2);
    }
}

}  // namespace

EntryProblem OpenProblem(const InputFile& file)
{
    EntryProblem problem;
    problem.refusal = file.Failure() == OpenFailure::NotRegularFile ? EntryRefusal::NotRegularFile
        : file.Failure() == OpenFailure::Locked                     ? EntryRefusal::LockedByWriter
                                                                    : EntryRefusal::CannotOpen;
    problem.systemError = file.SystemError();
    return problem;
}

void ProbeJpegFile(const std::string& path, const ProbeRequest& request, ProbeOutcome& outcome) noexcept
{
    try {
        InputFile file;
        if (!file.Open(path)) {
            outcome.problem = OpenProblem(file);
            return;
        }
        ByteReader reader(file);
        SegmentFindings found;
        if (ScanToFrameHeader(file, reader, request, found, outcome)) {
            outcome.problem.refusal = EntryRefusal::None;
            outcome.identity = file.Identity();
            if (request.density)
                outcome.density = found.jfifStated ? found.jfifDensity
                    : found.exifStated             ? found.exifDensity
                                                   : FileDensity {};
            if (request.profile)
                outcome.profileIgnored = found.profile.Assemble(outcome.components, outcome.profile);
        }
    } catch (...) {
        outcome.problem.refusal = EntryRefusal::CannotOpen;
        outcome.problem.systemError = ENOMEM;
    }
}

void ProbeJpegFile(const std::string& path, bool readOrientation, ProbeOutcome& outcome) noexcept
{
    ProbeRequest request;
    request.orientation = readOrientation;
    ProbeJpegFile(path, request, outcome);
}

}  // namespace jpeg2pdf
