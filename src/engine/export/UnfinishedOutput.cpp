// SPDX-License-Identifier: GPL-2.0-or-later
#include "UnfinishedOutput.h"

#include "FileReplacement.h"

namespace jpeg2pdf {

void RemoveUnfinishedOutput() noexcept { posixfile::RemoveFromSignalHandler(); }

}  // namespace jpeg2pdf
