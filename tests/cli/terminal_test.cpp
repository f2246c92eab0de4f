// SPDX-License-Identifier: GPL-2.0-or-later
// "-o -" refuses a terminal as standard output, and only standard output: the program runs on a
// pseudo-terminal as it would in an interactive shell.
#include <pty.h>

#include <gtest/gtest.h>

#include "MakeJpeg.h"
#include "RunProgram.h"

TEST(Terminal, StandardOutputIsCheckedForATerminal)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    struct Case {
        int terminalFd;  // the stream that is the pseudo-terminal; the others are files
        int status;
        std::string err;  // for a terminal standard error: what reached the file instead (nothing)
        std::string outStart;
    };
    const Case cases[] = {
        {1, 3, "leafbind-export: standard output is a terminal; redirect it or name a file with -o\n", ""},
        {2, 0, "", "%PDF-1.2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.terminalFd);
        int master = -1, slave = -1;
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        const std::string out = dir.File("out"), err = dir.File("err");
        const pid_t child = fork();
        if (child == 0) {
            const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (dup2(c.terminalFd == 1 ? slave : outFd, 1) < 0 || dup2(c.terminalFd == 2 ? slave : errFd, 2) < 0)
                _exit(127);
            ExecExportProgram({"-q", "-o", "-", a});
        }
        close(slave);
        int status = 0;
        waitpid(child, &status, 0);
        close(master);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status);
        EXPECT_EQ(ReadFileBytes(err), c.err);
        EXPECT_EQ(ReadFileBytes(out).substr(0, c.outStart.size()), c.outStart);
    }
}
