// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentId.h"

namespace jpeg2pdf {

std::string DocumentIdEntry(const std::string& hex) { return "/ID [<" + hex + "> <" + hex + ">]"; }

}  // namespace jpeg2pdf
