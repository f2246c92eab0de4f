// SPDX-License-Identifier: GPL-2.0-or-later
// The trailer's document ID.
#pragma once

#include <string>

namespace jpeg2pdf {

// The trailer entry "/ID [<hex> <hex>]": a document written once has one ID for both parts.
std::string DocumentIdEntry(const std::string& hex);

}  // namespace jpeg2pdf
