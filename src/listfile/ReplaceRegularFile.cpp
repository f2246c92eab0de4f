// SPDX-License-Identifier: GPL-2.0-or-later
#include "RegularFile.h"

#include "FileReplacement.h"
#include "FinalTarget.h"
#include "WholeTransfers.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace imagelist {
namespace {

[[noreturn]] void FailWith(int error) { throw FileAccessFailure{std::strerror(error)}; }

}  // namespace

void ReplaceRegularFile(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        FailWith(ENOENT);
    std::string target;
    if (!posixfile::FinalTarget(path, target))
        FailWith(errno);
    if (target.ends_with('/'))
        FailWith(EISDIR);

    // Checked before anything is created: a FIFO without a reader, a device or a folder is refused
    // without being opened, so nothing can block.
    struct stat previous {};
    const bool replacing = ::stat(target.c_str(), &previous) == 0;
    if (!replacing && errno != ENOENT)
        FailWith(errno);
    if (replacing && S_ISDIR(previous.st_mode))
        FailWith(EISDIR);
    if (replacing && !S_ISREG(previous.st_mode))
        throw FileAccessFailure{kNotRegularFile};

    // Removed again by its destructor when a write throws.
    posixfile::FileReplacement replacement;
    if (!replacement.Begin(target, replacing ? &previous : nullptr))
        FailWith(errno);
    if (!posixfile::WriteAll(replacement.Descriptor(), bytes))
        FailWith(errno);
    // On disk before the rename, so a crash leaves the old list or the new one, never an empty file.
    if (!replacement.Commit(posixfile::FileReplacement::Flush::ToDisk, posixfile::FileReplacement::Existing::Replace))
        FailWith(errno);
}

}  // namespace imagelist
