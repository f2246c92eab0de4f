// SPDX-License-Identifier: GPL-2.0-or-later
// A document's bytes as libqpdf reads them, followed by a few bytes of our own: what a file cut
// short (its trailer gone) needs for libqpdf's recovery to take it. The file is read where
// libqpdf asks, a block at a time; only that block and the added bytes are held.
#pragma once

#include <memory>
#include <string>

#include <qpdf/InputSource.hh>

#include "UniqueDescriptor.h"

namespace extract {

class TrailedInput : public InputSource {
public:
    // The first `size` bytes of the regular file open at `file`, then `added`; `name` names it
    // in messages.
    TrailedInput(posixfile::UniqueDescriptor file, std::string name, qpdf_offset_t size, std::string added);

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const& getName() const override;
    qpdf_offset_t tell() override;
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override;
    // Throws std::runtime_error when the file cannot be read, or holds fewer bytes than it did.
    size_t read(char* buffer, size_t length) override;
    void unreadCh(char ch) override;

private:
    static constexpr qpdf_offset_t kBlockSize = 64 << 10;

    qpdf_offset_t End() const { return size_ + static_cast<qpdf_offset_t>(added_.size()); }
    // Reads the block of the file that holds the byte at `position_` (before the added bytes).
    void Load();

    posixfile::UniqueDescriptor file_;
    std::string name_;
    qpdf_offset_t size_;
    std::string added_;
    qpdf_offset_t position_ = 0;
    std::unique_ptr<char[]> block_;
    qpdf_offset_t blockStart_ = 0, blockEnd_ = 0;  // the file's bytes the block holds
};

}  // namespace extract
