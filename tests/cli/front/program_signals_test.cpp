// SPDX-License-Identifier: GPL-2.0-or-later
// The signal set-up every program shares, in a child process of its own: a signal that ends the
// program removes the unfinished file first and still ends it by that signal; one ignored at the
// start stays ignored; a write to a closed pipe or past the file size limit fails instead of
// ending the program.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "ProgramSignals.h"
#include "TempDir.h"

namespace {

int removalMarks = -1;  // the child's pipe to the test: one byte per call of the removal

void MarkRemoval() { [[maybe_unused]] const ssize_t n = write(removalMarks, "r", 1); }

struct ChildEnd {
    int status = 0;
    std::string marks;  // what the removal wrote
};

// Forks a child that runs `before`, sets the signals up, says it is ready and waits; the test
// then sends `signals` in order.
template <typename Before>
ChildEnd SignalledChild(Before before, std::initializer_list<int> signals)
{
    int marks[2], ready[2];
    if (pipe(marks) != 0 || pipe(ready) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        const rlimit noCore {0, 0};  // SIGQUIT's and SIGXCPU's core dumps
        setrlimit(RLIMIT_CORE, &noCore);
        close(marks[0]), close(ready[0]);
        removalMarks = marks[1];
        before();
        cli::SetUpProgramSignals(MarkRemoval);
        [[maybe_unused]] const ssize_t n = write(ready[1], "!", 1);
        for (;;)
            pause();
    }
    close(marks[1]), close(ready[1]);
    char byte = 0;
    [[maybe_unused]] const ssize_t n = read(ready[0], &byte, 1);
    for (int signal : signals)
        kill(child, signal);
    ChildEnd end;
    waitpid(child, &end.status, 0);
    char buffer[16];
    for (ssize_t got; (got = read(marks[0], buffer, sizeof buffer)) > 0;)
        end.marks.append(buffer, static_cast<size_t>(got));
    close(marks[0]), close(ready[0]);
    return end;
}

}  // namespace

TEST(ProgramSignals, EndingSignalRemovesTheUnfinishedFileAndEndsByItself)
{
    struct Case {
        int signal;
        const char* name;
    };
    const Case cases[] = {{SIGINT, "SIGINT"},       {SIGTERM, "SIGTERM"},     {SIGHUP, "SIGHUP"},   {SIGQUIT, "SIGQUIT"},
                          {SIGUSR1, "SIGUSR1"},     {SIGUSR2, "SIGUSR2"},     {SIGALRM, "SIGALRM"}, {SIGVTALRM, "SIGVTALRM"},
                          {SIGPROF, "SIGPROF"},     {SIGXCPU, "SIGXCPU"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChildEnd end = SignalledChild([] { }, {c.signal});
        EXPECT_TRUE(WIFSIGNALED(end.status) && WTERMSIG(end.status) == c.signal) << end.status;
        EXPECT_EQ(end.marks, "r");
    }
}

TEST(ProgramSignals, SignalIgnoredAtTheStartStaysIgnored)
{
    // nohup: the hang-up goes by unseen; the termination after it ends the program, once.
    const ChildEnd end = SignalledChild([] { signal(SIGHUP, SIG_IGN); }, {SIGHUP, SIGTERM});
    EXPECT_TRUE(WIFSIGNALED(end.status) && WTERMSIG(end.status) == SIGTERM) << end.status;
    EXPECT_EQ(end.marks, "r");
}

TEST(ProgramSignals, FailedWritesAreReportedNotFatal)
{
    TempDir dir;
    const std::string file = dir.File("limited");
    const pid_t child = fork();
    if (child == 0) {
        cli::SetUpProgramSignals(MarkRemoval);
        int ends[2];
        if (pipe(ends) != 0)
            _exit(10);
        close(ends[0]);
        const bool pipeFailed = write(ends[1], "x", 1) == -1 && errno == EPIPE;
        const rlimit cap {10, 10};
        setrlimit(RLIMIT_FSIZE, &cap);
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const bool limitFailed = write(fd, "0123456789", 10) == 10 && write(fd, "x", 1) == -1 && errno == EFBIG;
        _exit(pipeFailed && limitFailed ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
