// SPDX-License-Identifier: GPL-2.0-or-later
// What phone cameras wrap around a picture, piece by piece, for the tests and benchmarks of
// metadata stripping. Every segment is whole: marker, length and payload.
#pragma once

#include <cstddef>
#include <string>

namespace phone_jpeg {

// APP1 Exif, big-endian: orientation, owner's name, a camera serial number and a GPS position.
std::string Exif(int orientation);
// APP1 XMP packet naming a place and a person.
std::string Xmp();
// APP13 with a Photoshop resource block.
std::string Photoshop();
std::string Comment(const std::string& text);
// APP2 MPF: an index of secondary images that follow the picture.
std::string MultiPicture();
// APP2 ICC_PROFILE chunk 1 of 1 (not a usable profile: nothing here reads it).
std::string IccProfile();
// APP0 JFXX: a JFIF extension holding a thumbnail.
std::string JfifExtension();
// Bytes after the picture's end-of-image marker as a motion photo appends them: a video box
// header, then `size` bytes in all that carry JPEG markers (a secondary image's start and end).
std::string MotionPhotoTrailer(size_t size);

// A JPEG as libjpeg wrote it, cut where its application segments end: SOI, the APPn segments
// that follow it (JFIF, Adobe), and everything from the first table on.
struct Parts {
    std::string startOfImage, appSegments, tablesOnward;
};
Parts Split(const std::string& jpeg);

}  // namespace phone_jpeg
