// SPDX-License-Identifier: GPL-2.0-or-later
#include "RecognitionModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#ifdef LEAFBIND_OCR_LINKED
// Linked into the program (sanitizer builds): the module's entry is called directly.
extern "C" ocr::RecognitionSource* leafbind_open_recognition(const ocr::OcrSettings& settings,
                                                             const std::string& dataFolder,
                                                             const ocr::RecognitionSource::Callbacks& callbacks);
#endif

namespace ocr {

namespace {

// The folder of the running program, with its trailing slash; empty when it cannot be told.
std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/') + 1);
}

void* OpenModule(std::string& error)
{
    // Beside the program first (a build tree), then where the install rules put it relative to
    // the program's folder, so an installed tree works wherever it was unpacked.
    const std::string programFolder = ProgramFolder();
    const std::string installed = LEAFBIND_MODULE_DIR[0] == '/' ? std::string(LEAFBIND_MODULE_DIR "/")
                                                                 : programFolder + "../" LEAFBIND_MODULE_DIR "/";
    for (const std::string& folder : {programFolder, installed}) {
        if (folder.empty() || folder.front() != '/')
            continue;
        const std::string path = folder + kRecognitionModule;
        if (access(path.c_str(), F_OK) != 0)
            continue;
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        error = dlerror();
        return nullptr;
    }
    error = std::string("text recognition is not installed (no ") + kRecognitionModule + " beside the program or in "
        + installed + ")";
    return nullptr;
}

}  // namespace

std::unique_ptr<RecognitionSource> OpenRecognition(const OcrSettings& settings, const std::string& dataFolder,
                                                   const RecognitionSource::Callbacks& callbacks, std::string& error)
{
#ifdef LEAFBIND_OCR_LINKED
    error.clear();
    return std::unique_ptr<RecognitionSource>(leafbind_open_recognition(settings, dataFolder, callbacks));
#endif
    static void* const module = OpenModule(error);
    if (!module)
        return nullptr;
    const auto entry = reinterpret_cast<RecognitionEntry>(dlsym(module, kRecognitionEntry));
    if (!entry) {
        error = dlerror();
        return nullptr;
    }
    return std::unique_ptr<RecognitionSource>(entry(settings, dataFolder, callbacks));
}

}  // namespace ocr
