// SPDX-License-Identifier: GPL-2.0-or-later
// Without --auto-orient the command line writes the bytes the window's export call writes, also
// through a pipe; path bytes reach the engine unchanged from arguments and list files.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>

#include "ImageListFile.h"
#include "MakeJpeg.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "jpeg2pdf.h"

namespace {

// Test pictures under awkward names: not UTF-8, spaces, a leading dash.
std::vector<std::string> MakePictures(const TempDir& dir)
{
    // An Exif orientation that only --auto-orient may act on.
    std::string turned = MakeJpeg({.width = 30, .height = 20});
    const std::string exif = std::string("\xFF\xE1\x00\x22"
                                         "Exif\0\0MM\0\x2A\0\0\0\x08"  // big-endian TIFF, IFD0 at 8
                                         "\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",  // orientation 6
                                         36);
    turned.insert(2, exif);
    return {
        dir.Write("plain.jpg", MakeJpeg({})),
        dir.Write("cmyk \xE9t\xE9.jpg", MakeJpeg({.width = 20, .height = 10, .components = 4})),
        dir.Write("\xFF\xFE progressive.jpg", MakeJpeg({.width = 40, .height = 30, .progressive = true})),
        dir.Write("-dash.jpg", MakeJpeg({.width = 57, .height = 3, .gradient = true})),
        dir.Write("turned.jpg", turned),
    };
}

}  // namespace

TEST(SameBytes, AsTheWindowForRandomLists)
{
    TempDir dir;
    const std::vector<std::string> pictures = MakePictures(dir);
    const std::string cliPdf = dir.File("cli.pdf"), windowPdf = dir.File("window.pdf");
    std::mt19937 random(20261207);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        // Pages handed over partly as arguments, partly through list files, in command-line order.
        std::vector<std::string> pages, args = {"-q", "-f", "-o", cliPdf};
        for (int g = 0, groups = 1 + static_cast<int>(random() % 4); g < groups; ++g) {
            std::vector<std::string> group;
            for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
                group.push_back(pictures[random() % pictures.size()]);
            pages.insert(pages.end(), group.begin(), group.end());
            if (random() % 2 == 0) {
                args.insert(args.end(), group.begin(), group.end());
            } else {
                const std::string list = dir.File("list" + std::to_string(g) + ".txt");
                imagelist::SaveImageList(list, group);
                args.insert(args.end(), {"-l", list});
            }
        }
        const ProgramRun run = RunExportProgram(args);
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(jpeg2pdf::ConvertJpegListToPdf(pages, windowPdf), jpeg2pdf::kExportSaved);
        EXPECT_EQ(ReadFileBytes(cliPdf), ReadFileBytes(windowPdf));
    }
}

namespace {

// Runs the program with its standard output into a pipe read by `reader` (a shell command) and
// its standard error into `errorFile`; returns the program's exit status.
int RunIntoPipe(const std::vector<std::string>& args, const std::string& reader, const std::string& errorFile)
{
    std::string command = "\"$0\" \"$@\" 2>'" + errorFile + "' | " + reader + "; exit ${PIPESTATUS[0]}";
    std::vector<std::string> bash = {"bash", "-c", command, LEAFBIND_EXPORT_PROGRAM};
    bash.insert(bash.end(), args.begin(), args.end());
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (std::string& a : bash)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp("bash", argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SameBytes, ThroughAPipe)
{
    TempDir dir;
    std::vector<std::string> pictures = MakePictures(dir);
    // Large enough to fill the pipe many times over.
    pictures.push_back(dir.Write("large.jpg", MakeJpeg({}) + std::string(3 << 20, '\x5A')));
    ASSERT_EQ(jpeg2pdf::ConvertJpegListToPdf(pictures, dir.File("window.pdf")), jpeg2pdf::kExportSaved);

    std::vector<std::string> args = {"-o", "-"};
    args.insert(args.end(), pictures.begin(), pictures.end());
    const std::string errors = dir.File("errors.txt");
    // A pipe has no name to replace: named as a descriptor it is written as it is.
    for (const char* output : {"-", "/dev/stdout", "/dev/fd/1"}) {
        SCOPED_TRACE(output);
        args[1] = output;
        EXPECT_EQ(RunIntoPipe(args, "cat > '" + dir.File("piped.pdf") + "'", errors), 0);
        EXPECT_EQ(ReadFileBytes(dir.File("piped.pdf")), ReadFileBytes(dir.File("window.pdf")));
        // A reader that stops early: the writer fails quietly instead of hanging or dying of the signal.
        EXPECT_EQ(RunIntoPipe(args, "head -c 100 > /dev/null", errors), 4);
        EXPECT_EQ(ReadFileBytes(errors), "");
    }
}
