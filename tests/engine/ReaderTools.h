// SPDX-License-Identifier: GPL-2.0-or-later
// Running the PDF readers that check our output: a command's status and output, pikepdf scripts,
// and pages rendered by pdftoppm.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "DecodeJpeg.h"
#include "ExportDetails.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace engine_test {

using ::CommandResult;
using ::Quoted;
using ::RunCommand;

// Runs a Python script (pikepdf is at hand) with the given arguments, already quoted.
inline CommandResult RunPython(const TempDir& dir, const std::string& script, const std::string& arguments)
{
    return RunCommand("/usr/bin/python3 " + Quoted(dir.Write("script.py", script)) + " " + arguments);
}

// qpdf's structure check: empty when it finds nothing to warn about, else its report.
inline std::string StructureFaults(const std::string& pdf)
{
    const CommandResult check = RunCommand("qpdf --check " + Quoted(pdf));
    const bool sound = check.status == 0 && check.output.find("WARNING") == std::string::npos
        && check.output.find("No syntax or stream encoding errors found") != std::string::npos;
    return sound ? "" : check.output;
}

// Page `page` (from 1) rendered at 72 dpi, one pixel per point.
inline RgbImage RenderPage(const TempDir& dir, const std::string& pdf, int page)
{
    const std::string prefix = dir.File("render" + std::to_string(page));
    const std::string number = std::to_string(page);
    RunCommand("pdftoppm -r 72 -f " + number + " -l " + number + " -singlefile " + Quoted(pdf) + " " + Quoted(prefix));
    return ReadPpm(prefix + ".ppm");
}

// Mean and largest absolute difference per sample of two pictures of the same size.
inline std::pair<double, int> Difference(const RgbImage& a, const RgbImage& b)
{
    long long sum = 0;
    int largest = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const int d = std::abs(a.pixels[i] - b.pixels[i]);
        sum += d;
        largest = std::max(largest, d);
    }
    return {static_cast<double>(sum) / static_cast<double>(a.pixels.size()), largest};
}

// Exports `paths` with `options` into `name` in `dir`, expecting success; returns the output path.
inline std::string Export(const TempDir& dir, const std::vector<std::string>& paths,
                          const jpeg2pdf::ExportOptions& options, const std::string& name = "out.pdf")
{
    const std::string output = dir.File(name);
    EXPECT_EQ(jpeg2pdf::ExportResultCode(jpeg2pdf::ExportJpegList(paths, output, options)), jpeg2pdf::kExportSaved);
    return output;
}

}  // namespace engine_test
