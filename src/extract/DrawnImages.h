// SPDX-License-Identifier: GPL-2.0-or-later
// The images a page paints: its content stream read operator by operator, the forms it draws
// followed, each `Do` resolved through the resources in force where it stands.
#pragma once

#include <string>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

namespace extract {

struct DrawnImage {
    QPDFObjectHandle image;  // the image XObject; uninitialized for an inline image
    // What the page puts between the image's data and what it shows: a transfer function or a
    // soft mask in the graphics state in force where it is drawn ("/TR", "/SMask in /ExtGState").
    std::vector<std::string> stateChanges;
};

// Forms inside forms are followed this deep; deeper ones are taken as drawing nothing.
constexpr int kDeepestForm = 12;

// Each image XObject once, in the order first drawn (with what every drawing of it adds);
// every inline image on its own. `page` is a page dictionary. `brokenReference` says whether what
// the page draws refers to an object that is not there or not what it must be (a content stream
// that is no stream): its content streams, its resources or their XObjects, an XObject it draws,
// a form's resources. Such a reference paints nothing; in a document recovered from a file cut
// short it names what the cut took. Throws what libqpdf throws for content it cannot read.
std::vector<DrawnImage> DrawnImagesOf(QPDFObjectHandle page, bool& brokenReference);

}  // namespace extract
