// The frame probe as the writer uses it: the frame facts plus which file they came from.
#pragma once

#include <string>

#include "FileAccess.h"
#include "jpeg2pdf.h"

namespace jpeg2pdf {

// Same answer as ReadJpegFrameInfo; on success `identity` names the file that was read.
bool ProbeJpegFile(const std::string& path, JpegFrameInfo& info, FileIdentity& identity) noexcept;

}  // namespace jpeg2pdf
