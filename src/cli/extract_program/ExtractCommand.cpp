// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExtractCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "DocumentPassword.h"
#include "ListEntries.h"
#include "MessageLine.h"
#include "PageFileNames.h"
#include "PdfPictures.h"
#include "PictureCheck.h"
#include "PictureFile.h"
#include "ShownName.h"
#include "WholeTransfers.h"

namespace cli {

namespace {

std::string PageText(int page) { return "page " + std::to_string(page + 1); }

// Why a page gives no picture back; empty for a page with one JPEG image, or one a PNG or TIFF
// file holds.
std::string PictureProblem(const extract::PdfPictures& document, int page, extract::PagePicture picture)
{
    switch (picture) {
    case extract::PagePicture::Jpeg:
    case extract::PagePicture::Png:
    case extract::PagePicture::Tiff:
        break;
    case extract::PagePicture::NotJpeg:
        return "not a JPEG image, nor one a PNG or TIFF file holds (" + document.WhyNoPicture(page) + ")";
    case extract::PagePicture::NoImage:
        return "no image";
    case extract::PagePicture::SeveralImages:
        return "several images";
    case extract::PagePicture::Incomplete:
        return "incomplete (the file does not hold all the page draws)";
    }
    return {};
}

// A recovered document's picture whose data stops short.
constexpr char kIncompleteJpeg[] = "incomplete (the JPEG data ends before its end-of-image marker)";

std::string Counted(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "a soft mask (/SMask), /Decode [1 0 1 0 1 0]"
std::string Listed(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

std::string TooLargeText()
{
    return "the picture must be decoded whole and would take more than "
        + std::to_string(extract::kMostHeldBytes >> 20) + " MiB";
}

std::string RunsOnText()
{
    return "the image data runs on more than " + std::to_string(extract::kRunOnAllowance >> 20)
        + " MiB and " + std::to_string(extract::kRunOnRatio) + " times its stored size past the JPEG's end";
}

void ShowWarnings(extract::PdfPictures& document, const ExtractCommandLine& command, const Streams& streams)
{
    for (const std::string& warning : document.TakeWarnings())
        if (!command.quiet)
            ComplainFromExtract(streams.err, "warning: " + warning);
}

// The folder the pictures go to, made when it is missing (not its parents); false after a
// message.
bool PrepareFolder(const std::string& folder, const Streams& streams)
{
    if (folder.empty())
        return true;
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        ComplainFromExtract(streams.err, ShownName(folder) + ": cannot be made: " + std::strerror(errno));
        return false;
    }
    struct stat info { };
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        ComplainFromExtract(streams.err, ShownName(folder) + ": not a folder");
        return false;
    }
    return true;
}

// The document opened with the password given, or asked for at the terminal when it needs one
// and none was given; null after a message.
std::unique_ptr<extract::PdfPictures> OpenDocument(const ExtractCommandLine& command, const Streams& streams)
{
    const std::string shown = ShownName(command.document);
    std::string password, error;
    const bool given = !command.passwordFile.empty();
    if (given && !ReadPasswordFile(command.passwordFile, streams.in, password, error)) {
        ComplainFromExtract(streams.err, error);
        return nullptr;
    }
    try {
        return std::make_unique<extract::PdfPictures>(command.document, shown, password);
    } catch (const extract::PasswordRefused&) {
        if (given) {
            ComplainFromExtract(streams.err, shown + ": the password is wrong");
            return nullptr;
        }
    }
    if (AskPassword(streams.in, streams.err, "Password for " + shown + ": ", password)) {
        try {
            return std::make_unique<extract::PdfPictures>(command.document, shown, password);
        } catch (const extract::PasswordRefused&) {
            ComplainFromExtract(streams.err, shown + ": the password is wrong");
            return nullptr;
        }
    }
    ComplainFromExtract(streams.err, shown + ": the document needs a password: give it with --password-file FILE"
                                              " (- for standard input), or run at a terminal to be asked for it");
    return nullptr;
}

}  // namespace

void ComplainFromExtract(int fd, const std::string& message) { WriteMessageLine(fd, "leafbind-extract", message); }

int RunExtract(const ExtractCommandLine& command, const Streams& streams)
{
    const std::string shownDocument = ShownName(command.document);
    const std::unique_ptr<extract::PdfPictures> opened = OpenDocument(command, streams);
    if (!opened)
        return kExtractUnreadable;
    extract::PdfPictures& document = *opened;
    const int pages = document.PageCount();
    std::vector<extract::PictureFormat> formats;
    for (int page = 0; page < pages; ++page) {
        const extract::PagePicture picture = document.Picture(page);
        formats.push_back(picture == extract::PagePicture::Png    ? extract::PictureFormat::Png
                              : picture == extract::PagePicture::Tiff ? extract::PictureFormat::Tiff
                                                                      : extract::PictureFormat::Jpeg);
    }
    const std::vector<std::string> names = extract::PageFileNames(document.TitlesOfPageBookmarks(), pages, formats);
    ShowWarnings(document, command, streams);
    if (!PrepareFolder(command.folder, streams))
        return kExtractUnreadable;
    const std::string prefix = command.folder.empty() || command.folder.ends_with('/') ? command.folder
                                                                                       : command.folder + "/";
    int status = kExtractDone;
    std::vector<int> withPicture;
    for (int page = 0; page < pages; ++page) {
        const extract::PagePicture picture = document.Picture(page);
        const std::string problem = PictureProblem(document, page, picture);
        if (problem.empty()) {
            withPicture.push_back(page);
            const std::vector<std::string> adds = document.ShownDifferently(page);
            if (!adds.empty() && !command.quiet)
                ComplainFromExtract(streams.err, "warning: " + shownDocument + ": " + PageText(page)
                                        + ": the page shows the picture through " + Listed(adds)
                                        + "; the file holds it without that");
        } else {
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": " + problem + ", nothing written");
            // A page the cut reached is the document not read whole; the other problems are what it holds.
            status = std::max<int>(status, picture == extract::PagePicture::Incomplete ? kExtractUnreadable
                                                                                        : kExtractPageProblem);
        }
    }
    // Without -f nothing is written when any name is taken, so a second run cannot mix old and
    // new files.
    if (!command.force) {
        bool taken = false;
        for (int page : withPicture) {
            struct stat info { };
            const std::string path = prefix + names[static_cast<size_t>(page)];
            if (lstat(path.c_str(), &info) == 0) {
                ComplainFromExtract(streams.err, ShownName(path) + ": already exists (-f replaces it)");
                taken = true;
            }
        }
        if (taken)
            return kExtractUnreadable;
    }
    size_t written = 0;
    for (int page : withPicture) {
        const std::string path = prefix + names[static_cast<size_t>(page)];
        const extract::PictureWrite outcome = extract::WritePicture(document, page, path, command.force);
        using Result = extract::PictureWrite::Result;
        switch (outcome.result) {
        case Result::Written:
            ++written;
            continue;
        case Result::Exists:
            ComplainFromExtract(streams.err, ShownName(path) + ": already exists (-f replaces it)");
            break;
        case Result::NotRegularFile:
            ComplainFromExtract(streams.err, ShownName(path) + ": not a regular file");
            break;
        case Result::CannotWrite:
            ComplainFromExtract(streams.err, ShownName(path) + ": cannot be written: " + std::strerror(outcome.systemError));
            break;
        case Result::PageUnreadable:
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": the image data cannot be read");
            break;
        case Result::RunsOn:
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": " + RunsOnText() + ", nothing written");
            break;
        case Result::Incomplete:
            ComplainFromExtract(streams.err,
                                shownDocument + ": " + PageText(page) + ": " + kIncompleteJpeg + ", nothing written");
            break;
        case Result::TooLarge:
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": " + TooLargeText() + ", nothing written");
            break;
        }
        status = kExtractUnreadable;
    }
    ShowWarnings(document, command, streams);
    if (!command.quiet)
        posixfile::WriteAll(streams.out, Counted(written, "picture", "pictures") + " written\n");
    return status;
}

int RunVerify(const ExtractCommandLine& command, const Streams& streams)
{
    Entries entries;
    std::string error;
    if (!GatherEntries(command.sources, command.nulSeparated, streams.in, entries, error)) {
        ComplainFromExtract(streams.err, error);
        return kExtractUsageError;
    }
    if (entries.paths.empty()) {
        ComplainFromExtract(streams.err, "no picture files given (the lists are empty)");
        return kExtractUsageError;
    }
    const std::string shownDocument = ShownName(command.document);
    const std::unique_ptr<extract::PdfPictures> opened = OpenDocument(command, streams);
    if (!opened)
        return kExtractUnreadable;
    extract::PdfPictures& document = *opened;
    ShowWarnings(document, command, streams);
    const size_t pages = static_cast<size_t>(document.PageCount());
    const size_t files = entries.paths.size();
    const auto report = [&](const std::string& line) {
        if (!command.quiet)
            posixfile::WriteAll(streams.out, line + "\n");
    };
    size_t matching = 0, stripped = 0;
    bool unreadable = false;
    for (size_t i = 0; i < std::min(pages, files); ++i) {
        const int page = static_cast<int>(i);
        const std::string where = PageText(page) + ": " + ShownEntry(entries, page) + ": ";
        const extract::PagePicture picture = document.Picture(page);
        const std::string problem = PictureProblem(document, page, picture);
        if (picture == extract::PagePicture::Incomplete) {  // the document not read whole
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": " + problem);
            unreadable = true;
            continue;
        }
        if (!problem.empty()) {
            report(where + problem);
            continue;
        }
        const extract::PictureCheck check = extract::CheckPicture(document, page, entries.paths[i]);
        using Result = extract::PictureCheck::Result;
        // The same data shown otherwise than the file shows it is not the file's picture.
        const auto differently = [&](const char* same) {
            const std::vector<std::string> adds = document.ShownDifferently(page);
            if (!adds.empty())
                report(where + same + ", shown differently (" + Listed(adds) + ")");
            return !adds.empty();
        };
        switch (check.result) {
        case Result::Identical:
            if (check.pixels && !differently("identical")) {
                ++matching;
                report(where + "identical");
            } else if (!check.pixels && !differently("same bytes")) {
                ++matching;
            }
            break;
        case Result::SamePixels:
            if (!differently("same pixels")) {
                ++matching;
                report(where + "same pixels");
            }
            break;
        case Result::MetadataRemoved:
            if (!differently("same picture, metadata removed")) {
                ++matching, ++stripped;
                report(where + "same picture, metadata removed");
            }
            break;
        case Result::Differs:
            report(where + (check.how.empty() ? "differs at byte " + std::to_string(check.differsAt) : check.how));
            break;
        case Result::FileUnreadable:
            ComplainFromExtract(streams.err, ShownEntry(entries, page) + ": cannot be read: "
                                    + (!check.how.empty()    ? check.how
                                           : check.systemError ? std::strerror(check.systemError)
                                                               : "not a regular file"));
            unreadable = true;
            break;
        case Result::TooLarge:
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": " + TooLargeText() + "; not compared");
            unreadable = true;
            break;
        case Result::PageUnreadable:
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": the image data cannot be read");
            unreadable = true;
            break;
        case Result::RunsOn:
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": " + RunsOnText());
            unreadable = true;
            break;
        case Result::Incomplete:
            ComplainFromExtract(streams.err, shownDocument + ": " + PageText(page) + ": " + kIncompleteJpeg);
            unreadable = true;
            break;
        }
    }
    if (pages != files)
        report("the document has " + Counted(pages, "page", "pages") + " and " + Counted(files, "file was", "files were")
               + " given");
    ShowWarnings(document, command, streams);
    const size_t compared = std::max(pages, files);
    if (matching == compared)
        report(Counted(matching, "page matches", "pages match")
               + (stripped ? " (" + std::to_string(stripped) + " with metadata removed)" : std::string()));
    else if (pages == files)
        report(std::to_string(matching) + " of " + Counted(compared, "page match", "pages match"));
    else  // no "of 4 pages" for a document of 3
        report(std::to_string(matching) + " of " + Counted(pages, "page", "pages") + ", " + Counted(files, "file", "files")
               + " match");
    if (unreadable)
        return kExtractUnreadable;
    return matching == compared ? kExtractDone : kExtractPageProblem;
}

}  // namespace cli
