// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfAChecks.h"

#include "ShellCommand.h"

#include <lcms2.h>

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

// Debian's jars: the validator and what it loads.
constexpr const char* kValidatorClassPath
    = "/usr/share/java/preflight.jar:/usr/share/java/pdfbox2.jar:/usr/share/java/fontbox2.jar:"
      "/usr/share/java/commons-logging.jar:/usr/share/java/xmpbox.jar:/usr/share/java/javax.activation.jar:"
      "/usr/share/java/jaxb-api.jar";

constexpr const char* kFactsScript = R"(
import sys, pikepdf
path = sys.argv[1]
lines = open(path, 'rb').read().split(b'\n', 2)
print('header', lines[0].decode('latin-1'))
print('binary', int(lines[1][:1] == b'%' and len(lines[1]) >= 5 and all(b > 127 for b in lines[1][1:5])))
pdf = pikepdf.open(path)
print('id', int(len(pdf.trailer.get('/ID', [])) == 2))
with pdf.open_metadata() as meta:
    print('part', meta.get('pdfaid:part', ''))
    print('conformance', meta.get('pdfaid:conformance', ''))
    print('titles', int(meta.get('dc:title', '') == str(pdf.docinfo.get('/Title', ''))))
intent = pdf.Root.OutputIntents[0]
print('intent', intent.S)
print('intent-n', intent.DestOutputProfile.N)
open(path + '.icc', 'wb').write(intent.DestOutputProfile.read_bytes())
for page in pdf.pages:
    box, unit = [float(v) for v in page.MediaBox], float(page.obj.get('/UserUnit', 1))
    sides = sorted([(box[2] - box[0]) * unit, (box[3] - box[1]) * unit])
    print('side', sides[0], sides[1])
    for image in page.images.values():
        space = image.ColorSpace
        print('image', 'ICC %d' % space[1].read_bytes()[8] if isinstance(space, pikepdf.Array) else space)
)";

}  // namespace

ValidatorVerdict ValidatePdfA1b(const std::string& pdfPath)
{
    const auto [status, output] = RunCommand(std::string("java -cp ") + kValidatorClassPath
                                      + " org.apache.pdfbox.preflight.Validator_A1b " + Quoted(pdfPath));
    // It says so in words as well as by its exit status; both must agree.
    return {status == 0 && output.find("is a valid PDF/A-1b file") != std::string::npos, output};
}

PdfAFacts ReadPdfAFacts(const std::string& pdfPath)
{
    const auto [status, output] = RunCommand("/usr/bin/python3 -c " + Quoted(kFactsScript) + " " + Quoted(pdfPath));
    if (status != 0)
        throw std::runtime_error("cannot read the PDF/A facts of " + pdfPath + ": " + output);
    PdfAFacts facts;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const size_t space = line.find(' ');
        facts[line.substr(0, space)].push_back(space == std::string::npos ? "" : line.substr(space + 1));
    }
    return facts;
}

int ProfileVersionOpened(const std::string& path)
{
    const std::unique_ptr<void, cmsBool (*)(cmsHPROFILE)> opened(cmsOpenProfileFromFile(path.c_str(), "r"),
                                                                 cmsCloseProfile);
    return opened ? static_cast<int>(cmsGetEncodedICCversion(opened.get()) >> 24) : 0;
}
