// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-extract's --help text; the man page says the same at length.
#include "ExtractCommandLine.h"

namespace cli {

const char* const kExtractUsage
    = "Usage: leafbind-extract [-d FOLDER] [-f] [--password-file FILE] DOC.pdf\n"
      "       leafbind-extract --verify DOC.pdf [PICTURE ...] [-l LIST] [-0] [--password-file FILE]\n"
      "Writes each page's picture of a PDF back to a file; or checks that each page of a PDF\n"
      "carries its picture file. A JPEG comes back byte for byte; pixels (Flate and the like) as\n"
      "a PNG, whose IDAT is the stream's bytes where its PNG predictors fit, a soft mask its\n"
      "alpha, a colour-key mask its tRNS chunk; CCITT fax data as a TIFF whose one strip is the\n"
      "stream's bytes.\n"
      "\n"
      "Getting the pictures back:\n"
      "  -d, --folder FOLDER the folder the files go to (made if missing); default the current\n"
      "                      folder. Files are named after the bookmarks when there is one per\n"
      "                      page, otherwise page-0001.jpg (.png, .tif) and on\n"
      "  -f, --force         replace files that exist (without it nothing is written when one does)\n"
      "\n"
      "Checking a document:\n"
      "      --verify        compare page k with the k-th file (JPEG, PNG or TIFF, told by its\n"
      "                      first bytes); one line per page that differs, or whose pixels\n"
      "                      match (\"identical\": their compressed data too; \"same pixels\"),\n"
      "                      then a summary\n"
      "  -l, --list FILE     add the entries of an image list file (\"-\" reads standard input);\n"
      "                      entries and file arguments are taken in command-line order\n"
      "  -0, --null          lists hold names ended by NUL bytes instead of lines\n"
      "A page's picture is the one image its content draws; one it shows through a decode\n"
      "array, a mask or a transfer function is given back with a warning, and is \"same bytes,\n"
      "shown differently\" to --verify.\n"
      "\n"
      "      --password-file FILE  the document's password: the file's first line (\"-\" reads\n"
      "                      standard input); without it, asked for at a terminal when needed\n"
      "  -q, --quiet         print nothing but errors\n"
      "  -h, --help          show this text\n"
      "      --version       show the version\n"
      "      --              end of options: what follows are file names\n"
      "\n"
      "Exit status: 0 every picture written, or every page matches; 1 a page has no single image\n"
      "a JPEG, PNG or TIFF file holds, or differs from its file; 2 usage error or unreadable\n"
      "list; 3 the document, a page of a file cut short, or a picture file cannot be read, or a\n"
      "picture cannot be written.\n";

}  // namespace cli
