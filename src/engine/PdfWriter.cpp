#include "jpeg2pdf.h"

namespace jpeg2pdf {

bool ReadJpegFrameInfo(const std::string&, int32_t&, int32_t&, bool&) noexcept { return false; }

int ConvertJpegListToPdf(const std::vector<std::string>&, const std::string&, const ExportProgress&) noexcept
{
    return kExportCannotCreate;
}

}  // namespace jpeg2pdf
