// SPDX-License-Identifier: GPL-2.0-or-later
// What a drop of files from another program adds to the list: the text/uri-list offer turned into
// local path bytes, folders opened one level, and everything but JPEG files set aside and counted.
// Paths stay bytes throughout: a name that is not valid UTF-8 reaches the list as it is on disk.
#pragma once

#include <QByteArray>

#include <vector>

struct DroppedPaths {
    std::vector<QByteArray> paths;  // in the order of the offer
    int skipped = 0;                // things in the offer or in a folder that add nothing
};

// The local paths named by a text/uri-list (lines split at CR LF or LF, comment lines ignored):
// file URLs whose host is empty, "localhost" or this machine's name, percent-decoded to bytes.
// Other schemes and hosts, relative paths and paths holding a NUL byte are counted as skipped.
DroppedPaths LocalPathsOfUriList(const QByteArray& uriList);

// Whether the offer names at least one local path; cheap enough to answer while a drag moves.
bool OffersLocalPath(const QByteArray& uriList);

// Whether the name after the last '/' ends in .jpg, .jpeg, .jpe or .jfif, in any case.
bool HasJpegExtension(const QByteArray& path);

// The JPEG files the dropped paths stand for, in order: a JPEG-named regular file stands for
// itself; a folder for the JPEG-named regular files directly inside it, in natural order (IMG_2
// before IMG_10), ties broken by bytes. Anything else (other files, missing paths, folders that
// cannot be read, entries of a folder that are neither JPEG files nor folders) is counted as
// skipped, on top of what `offered` already skipped.
DroppedPaths JpegFilesOf(const DroppedPaths& offered);
