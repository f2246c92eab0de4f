// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfAChecks.h"

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

// Prints one fact a line, "name value"; the profile as hex.
constexpr const char* kFactsScript = R"(
import sys, pikepdf
path = sys.argv[1]
raw = open(path, 'rb').read()
lines = raw.split(b'\n', 2)
print('header', lines[0].decode('latin-1'))
second = lines[1] if len(lines) > 1 else b''
print('binary', int(second[:1] == b'%' and len(second) >= 5 and all(b > 127 for b in second[1:5])))
pdf = pikepdf.open(path)
ids = pdf.trailer.get('/ID')
print('id', int(ids is not None and len(ids) == 2))
with pdf.open_metadata() as meta:
    print('part', meta.get('pdfaid:part', ''))
    print('conformance', meta.get('pdfaid:conformance', ''))
    print('xmptitle', meta.get('dc:title', '').encode('utf-8').hex())
print('infotitle', str(pdf.docinfo.get('/Title', '')).encode('utf-8').hex())
intents = pdf.Root.get('/OutputIntents')
if intents is not None and len(intents) > 0:
    print('intent', str(intents[0].get('/S')))
    profile = intents[0].get('/DestOutputProfile')
    print('intentn', int(profile.get('/N', 0)))
    print('intentprofile', profile.read_bytes().hex())
for page in pdf.pages:
    box = [float(v) for v in page.MediaBox]
    unit = float(page.obj.get('/UserUnit', 1))
    print('page', (box[2] - box[0]) * unit, (box[3] - box[1]) * unit)
    for name, image in page.images.items():
        space = image.get('/ColorSpace')
        if isinstance(space, pikepdf.Array) and str(space[0]) == '/ICCBased':
            print('image', 'ICC', space[1].read_bytes()[8])
        else:
            print('image', str(space))
)";

struct CommandResult {
    int status;
    std::string output;
};

CommandResult Run(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe)
        return {-1, "popen failed"};
    std::string output;
    std::array<char, 4096> chunk;
    size_t got;
    while ((got = fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0)
        output.append(chunk.data(), got);
    return {pclose(pipe.release()), output};
}

// Single-quoted for the shell.
std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

}  // namespace

ValidatorVerdict ValidatePdfA1b(const std::string& pdfPath)
{
    const CommandResult result = Run(std::string("java -cp ") + kValidatorClassPath
                                     + " org.apache.pdfbox.preflight.Validator_A1b " + Quoted(pdfPath));
    // It says so in words as well as by its exit status; both must agree.
    const bool valid = result.status == 0 && result.output.find("is a valid PDF/A-1b file") != std::string::npos;
    return {valid, result.output};
}

PdfAFacts ReadPdfAFacts(const std::string& pdfPath)
{
    const CommandResult result = Run("/usr/bin/python3 -c " + Quoted(kFactsScript) + " " + Quoted(pdfPath));
    if (result.status != 0)
        throw std::runtime_error("cannot read the PDF/A facts of " + pdfPath + ": " + result.output);
    PdfAFacts facts;
    std::istringstream lines(result.output);
    std::string name;
    while (lines >> name) {
        std::string value;
        std::getline(lines, value);
        if (!value.empty() && value[0] == ' ')
            value.erase(0, 1);
        if (name == "header")
            facts.header = value;
        else if (name == "binary")
            facts.binaryComment = value == "1";
        else if (name == "id")
            facts.hasId = value == "1";
        else if (name == "part")
            facts.part = value;
        else if (name == "conformance")
            facts.conformance = value;
        else if (name == "xmptitle")
            facts.xmpTitle = FromHex(value);
        else if (name == "infotitle")
            facts.infoTitle = FromHex(value);
        else if (name == "intent")
            facts.intentSubtype = value;
        else if (name == "intentn")
            facts.intentComponents = std::stoi(value);
        else if (name == "intentprofile") {
            const std::string bytes = FromHex(value);
            facts.intentProfile.assign(bytes.begin(), bytes.end());
        } else if (name == "page") {
            std::istringstream sides(value);
            double width = 0, height = 0;
            sides >> width >> height;
            facts.pageSizes.emplace_back(width, height);
        } else if (name == "image")
            facts.imageSpaces.push_back(value);
    }
    return facts;
}

int ProfileVersionOpened(const std::vector<unsigned char>& profile)
{
    const std::unique_ptr<void, cmsBool (*)(cmsHPROFILE)> opened(
        cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size())), cmsCloseProfile);
    return opened ? static_cast<int>(cmsGetEncodedICCversion(opened.get()) >> 24) : 0;
}
