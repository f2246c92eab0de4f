// The frame probe as the writer uses it: the frame facts, which file they came from, why a file
// was refused, and on request the Exif orientation.
#pragma once

#include <string>

#include "ExportDetails.h"
#include "FileAccess.h"
#include "jpeg2pdf.h"

namespace jpeg2pdf {

struct ProbeOutcome {
    JpegFrameInfo info {false, 0, 0};
    EntryProblem problem;  // refusal None when the file was accepted
    FileIdentity identity;
    int orientation = 1;  // 1 to 8; read only on request
};

// Accepts exactly what ReadJpegFrameInfo accepts (refusal None), and says why not otherwise.
// With `readOrientation` the first Exif APP1 segment before the frame header is read as well.
void ProbeJpegFile(const std::string& path, bool readOrientation, ProbeOutcome& outcome) noexcept;

}  // namespace jpeg2pdf
