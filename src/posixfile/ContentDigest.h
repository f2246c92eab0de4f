// SPDX-License-Identifier: GPL-2.0-or-later
// A running hash of the bytes a document is made of, for its ID: the same bytes give the same ID
// on every run and every machine. Pieces can be hashed on a second thread while the caller writes
// them, so a gigabyte costs no noticeable time more on a machine with a core to spare.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

struct XXH3_state_s;

namespace posixfile {

class ContentDigest {
public:
    // Throws std::bad_alloc or std::system_error when the hash state or its thread cannot be had.
    ContentDigest();
    ~ContentDigest();
    ContentDigest(const ContentDigest&) = delete;
    ContentDigest& operator=(const ContentDigest&) = delete;

    void Add(std::string_view bytes);
    // Hashes `bytes` on the digest's thread; they must stay unchanged until Wait returns, and
    // nothing else may be added meanwhile. Wait hashes them itself if the thread has not begun.
    void AddInBackground(std::string_view bytes);
    void Wait();
    // 32 lower-case hex digits (XXH3, 128 bits, most significant byte first) for everything added
    // so far followed by `tail`, which is not added. Not while a piece is hashed in the background.
    std::string Hex(std::string_view tail = {}) const;

private:
    void HashPieces();
    // Hashes the pending piece with the lock released, then marks it done.
    void HashPending(std::unique_lock<std::mutex>& lock);

    XXH3_state_s* state_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string_view piece_;  // guarded by mutex_
    bool pending_ = false;  // guarded by mutex_
    bool taken_ = false;  // the pending piece is being hashed; guarded by mutex_
    bool stopping_ = false;  // guarded by mutex_
    std::thread hasher_;  // last: starts once the rest is ready
};

}  // namespace posixfile
