// SPDX-License-Identifier: GPL-2.0-or-later
// The recognised text's files beside the document (--text, --hocr, --alto): each begun before the
// export as the document is (refused where it exists without --force, is one of the inputs, is
// locked or cannot be made), filled page by page as the text layer takes each page's words, and
// put in place only once the document is written; otherwise none of them is. The one that goes to
// standard output is held in an unnamed temporary file until then.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "OutputFile.h"
#include "PageWords.h"
#include "TextFiles.h"

namespace cli {

class TextOutputs {
public:
    struct Request {
        ocr::TextFormat format = ocr::TextFormat::Plain;
        std::string path;  // "-" for standard output
    };
    // Why a file could not be begun.
    struct Refusal {
        std::string path;
        posixfile::OutputFile::OpenResult result = posixfile::OutputFile::OpenResult::Failed;
        int systemError = 0;
        std::string folder;  // with FolderForbidsNewFiles
    };

    TextOutputs();
    ~TextOutputs();

    // Begins every file and writes what opens it; `names` are the pages' files in order, as shown.
    // False with `refusal` when one cannot be begun (standard output among them, when
    // `standardOutput` is closed); then none is left begun.
    bool Open(const std::vector<Request>& requests, const std::vector<std::string>& inputs,
              const std::vector<std::string>& names, bool replaceExisting, int standardOutput, Refusal& refusal);
    bool Empty() const { return files_.empty(); }

    // Page `index` (from 0), in order.
    void Page(int index, const std::string& name, const ocr::PageWords& words);

    // After the document is written: ends every file and puts it in place, the one for standard
    // output copied to `standardOutput`. False with the failing file's path and errno (the rest
    // are still finished).
    bool Finish(int standardOutput, std::string& failedPath, int& systemError);
    // The document failed: no file is put in place.
    void Discard();

private:
    struct File;
    std::vector<std::unique_ptr<File>> files_;
};

}  // namespace cli
