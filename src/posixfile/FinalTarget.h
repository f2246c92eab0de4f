// SPDX-License-Identifier: GPL-2.0-or-later
// Where a path leads once its symbolic links are followed, for replacing the file there.
#pragma once

#include <string>

namespace posixfile {

// The file a chain of symbolic links starting at `path` ends at; it need not exist. A file that
// replaces it must be made and renamed in that file's folder: renaming over the link would replace
// the link, and fails when the link and its target lie on different file systems.
// False with errno set when a link cannot be read or the chain is too long (ELOOP).
bool FinalTarget(const std::string& path, std::string& target);

// The folder part of a path ("." for a bare name, "/" for a name in the root folder).
std::string FolderOf(const std::string& path);

// The descriptor of this process a path names, following its links: /dev/stdout, /dev/fd/N and
// /proc/self/fd/N name open descriptors, whose file (a pipe, say) may have no name to replace.
// -1 for any other path.
int NamedDescriptor(const std::string& path);

}  // namespace posixfile
