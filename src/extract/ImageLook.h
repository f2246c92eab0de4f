// SPDX-License-Identifier: GPL-2.0-or-later
// What an image XObject's dictionary adds to its data when it is shown: a decode array other
// than the plain one, a mask, a soft mask, or the data taken as a stencil.
#pragma once

#include <string>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

namespace extract {

// The plain decode array of a four-component JPEG that carries an Adobe segment is
// [1 0 1 0 1 0 1 0]: such data is stored inverted, and a viewer shows the photo by undoing that
// (as leafbind-export writes it, for every CMYK JPEG); for any other image it is the identity of
// its colour space, and for four components the inverting array is taken as plain as well.
// `adobeInverted` says the image's data is such a JPEG. Each addition in the words a message
// uses ("/Decode [1 0 1 0 1 0]", "a soft mask (/SMask)"); empty when the image shows its data
// as it is.
std::vector<std::string> WhatTheImageAdds(QPDFObjectHandle image, bool adobeInverted);

// Whether the image has four components and shows them as stored (no decode array, or the
// identity): only then does it matter whether its JPEG data carries an Adobe segment.
bool ShowsFourComponentsAsStored(QPDFObjectHandle image);

}  // namespace extract
