// SPDX-License-Identifier: GPL-2.0-or-later
// The one error picture loading raises.
#pragma once

#include <stdexcept>

// A file that cannot be shown as a picture; what() is the message for the user (UTF-8).
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
