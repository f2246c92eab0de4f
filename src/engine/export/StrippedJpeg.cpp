// SPDX-License-Identifier: GPL-2.0-or-later
#include "StrippedJpeg.h"

#include <cerrno>
#include <new>

#include "InputFile.h"
#include "JpegStripper.h"
#include "OutputFile.h"

namespace jpeg2pdf {

using posixfile::InputFile;
using posixfile::OpenFailure;
using posixfile::OutputFile;

int64_t WriteStrippedJpeg(const std::string& path, int fd, int& systemError) noexcept
{
    try {
        InputFile jpeg;
        if (!jpeg.Open(path)) {
            systemError = jpeg.Failure() == OpenFailure::System ? jpeg.SystemError()
                : jpeg.Failure() == OpenFailure::Locked         ? EWOULDBLOCK
                                                                : EINVAL;
            return -1;
        }
        OutputFile out;
        out.Adopt(fd);
        const int64_t written = CopyJpegStripped(jpeg, out);
        if (written < 0 || !out.Close()) {
            systemError = out.Failure().systemError;
            return -1;
        }
        systemError = 0;
        return written;
    } catch (const std::bad_alloc&) {
        systemError = ENOMEM;
        return -1;
    }
}

}  // namespace jpeg2pdf
