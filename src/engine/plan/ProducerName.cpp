// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProducerName.h"

namespace jpeg2pdf {

std::string_view ProducerName() { return LEAFBIND_PRODUCER; }

}  // namespace jpeg2pdf
