// SPDX-License-Identifier: GPL-2.0-or-later
// A document's pages told by their images: pdfimages copies a JPEG page's bytes out as they are
// stored, so each page can be matched to the file it came from.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ShellCommand.h"
#include "TempDir.h"

// Each page's image bytes in page order; a page that is no JPEG comes out decoded (PPM, PGM or
// PBM) and so matches no source file.
inline std::vector<std::string> PageImages(const std::string& pdf)
{
    TempDir images;
    std::vector<std::string> pages;
    if (RunCommand("pdfimages -j " + Quoted(pdf) + " " + Quoted(images.File("p"))).status != 0)
        return {"unreadable"};
    for (int k = 0;; ++k) {
        std::string found;
        for (const char* kind : {"jpg", "ppm", "pgm", "pbm"}) {
            char name[32];
            std::snprintf(name, sizeof name, "p-%03d.%s", k, kind);
            if (access(images.File(name).c_str(), F_OK) == 0)
                found = ReadFileBytes(images.File(name));
        }
        if (found.empty())
            return pages;
        pages.push_back(found);
    }
}
