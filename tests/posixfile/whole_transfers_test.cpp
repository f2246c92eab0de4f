// SPDX-License-Identifier: GPL-2.0-or-later
// Reads and writes finish what they were asked: a signal that interrupts the call, a short count
// from a pipe, and a size limit on what is read whole. (A write cut short by the file size limit
// is checked end to end by leafbind-extract's test.)
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "TempDir.h"
#include "WholeTransfers.h"

namespace {

std::atomic<int> interruptions {0};

void CountInterruption(int) { ++interruptions; }

// SIGUSR1 counted, without SA_RESTART: a blocked read or write returns EINTR (or a short count)
// instead of going on by itself. Put back at scope end.
class InterruptingSignal {
public:
    InterruptingSignal()
    {
        struct sigaction action {};
        action.sa_handler = CountInterruption;
        sigemptyset(&action.sa_mask);
        sigaction(SIGUSR1, &action, &saved_);
        interruptions = 0;
    }
    ~InterruptingSignal() { sigaction(SIGUSR1, &saved_, nullptr); }

private:
    struct sigaction saved_ {};
};

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
    return bytes;
}

// Reads a pipe to its end, plainly.
std::string Drain(int fd)
{
    std::string text;
    char buffer[65536];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

// Lets `caller` block in its call, then interrupts it with SIGUSR1 before it can go on.
void InterruptSoon(pthread_t caller)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pthread_kill(caller, SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace

// Each row blocks in the call under test on a pipe until another thread has interrupted it.
TEST(WholeTransfers, SignalDuringTheCallIsSeenThrough)
{
    const std::string payload = Pattern(300'000);
    const pthread_t self = pthread_self();
    struct Case {
        const char* name;
        bool write;  // WriteAll into the pipe; otherwise a read from it
        bool pipeFull;  // write: no room at all when the call starts (EINTR, not a short count)
        bool toEnd;  // read: ReadToEnd; otherwise ReadFully
    };
    const Case cases[] = {
        {"ReadFully, interrupted before any byte", false, false, false},
        {"ReadToEnd, interrupted before any byte", false, false, true},
        {"WriteAll, interrupted after part of the bytes (a short count)", true, false, false},
        {"WriteAll, interrupted before any byte (EINTR)", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InterruptingSignal signal;
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        if (c.write) {
            std::string prefill;
            if (c.pipeFull) {
                fcntl(ends[1], F_SETFL, O_NONBLOCK);
                const std::string chunk = Pattern(4096);
                while (write(ends[1], chunk.data(), chunk.size()) > 0)
                    prefill += chunk;
                fcntl(ends[1], F_SETFL, 0);
            }
            std::string received;
            std::thread reader([&] {
                InterruptSoon(self);
                received = Drain(ends[0]);
            });
            EXPECT_TRUE(posixfile::WriteAll(ends[1], payload)) << std::strerror(errno);
            close(ends[1]);
            reader.join();
            EXPECT_EQ(received, prefill + payload);
        } else {
            std::thread writer([&] {
                InterruptSoon(self);
                EXPECT_TRUE(posixfile::WriteAll(ends[1], payload));
                close(ends[1]);
            });
            std::string text;
            if (c.toEnd) {
                EXPECT_TRUE(posixfile::ReadToEnd(ends[0], text, payload.size())) << std::strerror(errno);
            } else {
                text.resize(payload.size() + 10);
                const ssize_t got = posixfile::ReadFully(ends[0], text.data(), text.size());
                EXPECT_EQ(got, static_cast<ssize_t>(payload.size())) << std::strerror(errno);
                text.resize(got > 0 ? static_cast<size_t>(got) : 0);
            }
            const std::string rest = Drain(ends[0]);  // lets a writer left blocked finish
            writer.join();
            EXPECT_EQ(rest, "");
            EXPECT_EQ(text, payload);
        }
        close(ends[0]);
        EXPECT_EQ(interruptions.load(), 1);
    }
}

// ReadToEnd holds at most `limit` bytes, counting what the text held before; the limit lies
// beyond the first read of 64 KiB, so the refusal comes on a later one.
TEST(WholeTransfers, ReadToEndSizeLimit)
{
    TempDir dir;
    const std::string content = Pattern(200'000);
    const std::string path = dir.Write("list", content);
    struct Case {
        const char* name;
        std::string before;  // what the text holds already
        size_t limit;
        bool read;  // false: EFBIG
    };
    const Case cases[] = {
        {"limit the size of the file", "", 200'000, true},
        {"limit a byte short of the file", "", 199'999, false},
        {"text held before counts", "ab", 200'001, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        std::string text = c.before;
        errno = 0;
        EXPECT_EQ(posixfile::ReadToEnd(fd, text, c.limit), c.read);
        if (c.read)
            EXPECT_EQ(text, c.before + content);
        else
            EXPECT_EQ(errno, EFBIG);
        close(fd);
    }
}
