// SPDX-License-Identifier: GPL-2.0-or-later
#include "TiffHandle.h"

#include <cstdio>
#include <memory>

#include "JpegFrameProbe.h"
#include "TiffPages.h"

namespace jpeg2pdf {

TiffHandle::~TiffHandle()
{
    if (tif_)
        TIFFClose(tif_);
}

bool TiffHandle::Open()
{
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
    if (!options) {
        error_ = "out of memory";
        return false;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMostTiffAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, this);
    // "O": strip and tile tables read entry by entry as asked for, never whole.
    tif_ = TIFFClientOpenExt("", "rO", this, Read, Write, Seek, Close, Size, Map, Unmap, options.get());
    if (!tif_ && error_.empty())
        error_ = "not a TIFF file";
    return tif_ != nullptr;
}

int TiffHandle::OnError(TIFF*, void* handle, const char* module, const char* format, va_list arguments)
{
    auto* self = static_cast<TiffHandle*>(handle);
    if (self->error_.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        // libtiff leads most messages with the file's name, which it does not know here.
        const char* shown = text;
        while (*shown == ':' || *shown == ' ')
            ++shown;
        self->error_ = *shown != 0 ? shown : module;
    }
    return 1;
}

int TiffHandle::OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

tmsize_t TiffHandle::Read(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* self = static_cast<TiffHandle*>(handle);
    if (size < 0)
        return -1;
    const int64_t got = self->file_.ReadAt(static_cast<int64_t>(self->position_), buffer, static_cast<size_t>(size));
    if (got > 0)
        self->position_ += static_cast<uint64_t>(got);
    return static_cast<tmsize_t>(got);
}

tmsize_t TiffHandle::Write(thandle_t, void*, tmsize_t) { return -1; }

toff_t TiffHandle::Seek(thandle_t handle, toff_t offset, int whence)
{
    auto* self = static_cast<TiffHandle*>(handle);
    switch (whence) {
    case SEEK_SET:
        self->position_ = offset;
        break;
    case SEEK_CUR:
        self->position_ += offset;
        break;
    case SEEK_END:
        self->position_ = static_cast<uint64_t>(self->file_.Size()) + offset;
        break;
    default:
        return static_cast<toff_t>(-1);
    }
    return self->position_;
}

int TiffHandle::Close(thandle_t) { return 0; }

toff_t TiffHandle::Size(thandle_t handle) { return static_cast<toff_t>(static_cast<TiffHandle*>(handle)->file_.Size()); }

int TiffHandle::Map(thandle_t, void**, toff_t*) { return 0; }

void TiffHandle::Unmap(thandle_t, void*, toff_t) { }

TiffHandle* TiffFile::Directory(const std::string& path, uint64_t directory, EntryProblem& problem,
                                const posixfile::InputFile* opened)
{
    const bool same = tiff_ && path == path_ && opened && opened->Identity() == file_->Identity()
        && opened->Size() == file_->Size();
    auto file = std::make_unique<posixfile::InputFile>();
    if (!same && !file->Open(path)) {
        problem = OpenProblem(*file);
        return nullptr;
    }
    if (!same
        && (!tiff_ || path != path_ || !(file->Identity() == file_->Identity()) || file->Size() != file_->Size())) {
        tiff_.reset();
        file_ = std::move(file);
        path_ = path;
        tiff_ = std::make_unique<TiffHandle>(*file_);
        if (!tiff_->Open()) {
            problem.refusal = EntryRefusal::TiffDamaged;
            problem.detail = tiff_->Error();
            tiff_.reset();
            return nullptr;
        }
    }
    tiff_->ClearError();
    if (!TIFFSetSubDirectory(tiff_->Tif(), directory)) {
        problem.refusal = EntryRefusal::TiffDamaged;
        problem.detail = tiff_->Error().empty() ? "its image file directory cannot be read again" : tiff_->Error();
        tiff_.reset();
        return nullptr;
    }
    return tiff_.get();
}

}  // namespace jpeg2pdf
