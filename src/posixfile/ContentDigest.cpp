// SPDX-License-Identifier: GPL-2.0-or-later
#include "ContentDigest.h"

#include <pthread.h>
#include <signal.h>

#include <memory>
#include <new>

#include <xxhash.h>
#if defined(__x86_64__)
// Picks the widest vector unit the processor has at run time (AVX2 where there is one).
#include <xxh_x86dispatch.h>
#endif

namespace posixfile {

namespace {

struct StateDeleter {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};
using StatePointer = std::unique_ptr<XXH3_state_t, StateDeleter>;

StatePointer NewState()
{
    StatePointer state(XXH3_createState());
    if (!state || XXH3_128bits_reset(state.get()) != XXH_OK)
        throw std::bad_alloc();
    return state;
}

}  // namespace

ContentDigest::ContentDigest() : state_(NewState().release())
{
    // The thread starts with every signal blocked, so a handler (the command line's, which
    // removes an unfinished output) always runs on the thread that writes.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    try {
        hasher_ = std::thread(&ContentDigest::HashPieces, this);
    } catch (...) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        XXH3_freeState(state_);
        throw;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

ContentDigest::~ContentDigest()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    hasher_.join();
    XXH3_freeState(state_);
}

void ContentDigest::HashPieces()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return (pending_ && !taken_) || stopping_; });
        if (!pending_ || taken_)
            return;
        HashPending(lock);
    }
}

void ContentDigest::HashPending(std::unique_lock<std::mutex>& lock)
{
    taken_ = true;
    const std::string_view piece = piece_;
    lock.unlock();
    XXH3_128bits_update(state_, piece.data(), piece.size());
    lock.lock();
    pending_ = taken_ = false;
    changed_.notify_all();
}

void ContentDigest::Add(std::string_view bytes)
{
    if (!bytes.empty())
        XXH3_128bits_update(state_, bytes.data(), bytes.size());
}

void ContentDigest::AddInBackground(std::string_view bytes)
{
    if (bytes.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        piece_ = bytes;
        pending_ = true;
    }
    changed_.notify_all();
}

void ContentDigest::Wait()
{
    std::unique_lock lock(mutex_);
    // A piece the thread has not begun (it may not have been given a processor yet) is hashed
    // here rather than waited for.
    if (pending_ && !taken_)
        HashPending(lock);
    changed_.wait(lock, [this] { return !pending_; });
}

std::string ContentDigest::Hex(std::string_view tail) const
{
    const StatePointer copy = NewState();
    XXH3_copyState(copy.get(), state_);
    if (!tail.empty())
        XXH3_128bits_update(copy.get(), tail.data(), tail.size());
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(copy.get()));
    static constexpr char kHexDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : canonical.digest) {
        hex.push_back(kHexDigits[byte >> 4]);
        hex.push_back(kHexDigits[byte & 15]);
    }
    return hex;
}

}  // namespace posixfile
