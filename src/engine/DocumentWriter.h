// Writing a document whose entries have all been validated.
#pragma once

#include <string>
#include <vector>

#include "ExportDetails.h"
#include "FileAccess.h"
#include "PdfObjects.h"

namespace jpeg2pdf {

// Where writing stopped: the entry being copied (-1 when the output itself failed) and, when
// that entry could not be opened again, why.
struct WriteStop {
    int entry = -1;
    EntryProblem reopen;
};

// Writes the whole document into `out`; false at the first failure (see out.Failure() and
// `stop`). Each listed file is open only while its bytes are copied.
bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const std::vector<PageImage>& pages,
                   const ExportByteProgress& progress, WriteStop& stop);

}  // namespace jpeg2pdf
