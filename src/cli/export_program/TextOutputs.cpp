// SPDX-License-Identifier: GPL-2.0-or-later
#include "TextOutputs.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "WholeTransfers.h"

namespace cli {

struct TextOutputs::File {
    ocr::TextFormat format;
    std::string path;
    posixfile::OutputFile out;  // a named file
    std::FILE* held = nullptr;  // for standard output: an unnamed temporary file
    int error = 0;  // the first write that failed

    ~File()
    {
        if (held)
            std::fclose(held);
    }

    void Write(const std::string& bytes)
    {
        if (error != 0)
            return;
        if (held) {
            if (std::fwrite(bytes.data(), 1, bytes.size(), held) != bytes.size())
                error = errno != 0 ? errno : EIO;
        } else if (!out.Write(bytes)) {
            error = out.Failure().systemError != 0 ? out.Failure().systemError : EIO;
        }
    }
};

TextOutputs::TextOutputs() = default;
TextOutputs::~TextOutputs() { Discard(); }

bool TextOutputs::Open(const std::vector<Request>& requests, const std::vector<std::string>& inputs,
                       const std::vector<std::string>& names, bool replaceExisting, int standardOutput,
                       Refusal& refusal)
{
    // Writing over an input is refused as it is for the document.
    std::vector<posixfile::FileIdentity> identities;
    for (const std::string& input : inputs) {
        struct stat about;
        if (stat(input.c_str(), &about) == 0)
            identities.push_back({about.st_dev, about.st_ino});
    }
    for (const Request& request : requests) {
        auto file = std::make_unique<File>();
        file->format = request.format;
        file->path = request.path;
        if (request.path == "-") {
            // A closed standard output would hand its number to the next file opened, which
            // would then get the text.
            if (fcntl(standardOutput, F_GETFD) == -1) {
                refusal = {request.path, posixfile::OutputFile::OpenResult::Failed, errno, {}};
                Discard();
                return false;
            }
            file->held = std::tmpfile();
            if (!file->held) {
                refusal = {request.path, posixfile::OutputFile::OpenResult::Failed, errno, {}};
                Discard();
                return false;
            }
        } else {
            const auto opened = file->out.Open(request.path, identities, replaceExisting);
            if (opened != posixfile::OutputFile::OpenResult::Opened) {
                refusal = {request.path, opened, file->out.SystemError(), file->out.TargetFolder()};
                Discard();
                return false;
            }
        }
        file->Write(ocr::TextFileStart(file->format, names));
        files_.push_back(std::move(file));
    }
    return true;
}

void TextOutputs::Page(int index, const std::string& name, const ocr::PageWords& words)
{
    for (const auto& file : files_)
        file->Write(ocr::TextFilePage(file->format, index, name, words));
}

bool TextOutputs::Finish(int standardOutput, std::string& failedPath, int& systemError)
{
    bool done = true;
    const auto failed = [&](const File& file, int error) {
        if (done)
            failedPath = file.path, systemError = error;
        done = false;
    };
    for (const auto& file : files_) {
        file->Write(ocr::TextFileEnd(file->format));
        if (file->error != 0) {
            failed(*file, file->error);
            if (!file->held)
                file->out.Discard();
            continue;
        }
        if (!file->held) {
            if (!file->out.Close())
                failed(*file, file->out.Failure().systemError);
            continue;
        }
        // The whole file, now that the document is written.
        std::rewind(file->held);
        char chunk[65536];
        for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file->held)) > 0;)
            if (!posixfile::WriteAll(standardOutput, {chunk, got})) {
                failed(*file, errno);
                break;
            }
        if (std::ferror(file->held))
            failed(*file, EIO);
    }
    files_.clear();
    return done;
}

void TextOutputs::Discard()
{
    for (const auto& file : files_)
        if (!file->held)
            file->out.Discard();
    files_.clear();
}

}  // namespace cli
