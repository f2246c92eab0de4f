// SPDX-License-Identifier: GPL-2.0-or-later
// The mouse buttons held at this moment, for code that cannot wait for the next mouse event.
#pragma once

#include <Qt>

// On X11 the server is asked, so a release that went to another client (after a grab, say) still
// counts as released. Elsewhere the toolkit's last reported state.
Qt::MouseButtons HeldMouseButtons();
