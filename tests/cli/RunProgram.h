// SPDX-License-Identifier: GPL-2.0-or-later
// Runs leafbind-export (or leafbind-extract) in a child process with real files as its standard
// streams.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TempDir.h"

struct ProgramRun {
    int status = -1;  // exit status; 128 + signal when killed
    std::string out;
    std::string err;
};

// In a forked child: becomes `program` with `args`; exits with 127 when it cannot.
[[noreturn]] inline void ExecProgram(const char* program, const std::vector<std::string>& args)
{
    std::vector<char*> argv {const_cast<char*>(program)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

[[noreturn]] inline void ExecExportProgram(const std::vector<std::string>& args)
{
    ExecProgram(LEAFBIND_EXPORT_PROGRAM, args);
}

// `input` becomes standard input. With `fileSizeLimit` the child's files may not grow beyond
// that many bytes, as under `ulimit -f` (SIGXFSZ keeps its default action: the program must
// ignore it to report the failure). `folder`, when given, is the child's current folder.
inline ProgramRun RunProgramAt(const char* program, const std::vector<std::string>& args, const std::string& input = "",
                               rlim_t fileSizeLimit = RLIM_INFINITY, const std::string& folder = "")
{
    TempDir streams;
    const std::string in = streams.Write("stdin", input);
    const std::string out = streams.File("stdout"), err = streams.File("stderr");
    const pid_t child = fork();
    if (child == 0) {
        const int inFd = open(in.c_str(), O_RDONLY);
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (inFd < 0 || outFd < 0 || errFd < 0 || dup2(inFd, 0) < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0)
            _exit(127);
        if (!folder.empty() && chdir(folder.c_str()) != 0)
            _exit(127);
        if (fileSizeLimit != RLIM_INFINITY) {
            signal(SIGXFSZ, SIG_DFL);
            const rlimit cap {fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &cap);
        }
        ExecProgram(program, args);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ProgramRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadFileBytes(out);
    run.err = ReadFileBytes(err);
    return run;
}

inline ProgramRun RunExportProgram(const std::vector<std::string>& args, const std::string& input = "",
                                   rlim_t fileSizeLimit = RLIM_INFINITY, const std::string& folder = "")
{
    return RunProgramAt(LEAFBIND_EXPORT_PROGRAM, args, input, fileSizeLimit, folder);
}

inline ProgramRun RunExtractProgram(const std::vector<std::string>& args, const std::string& input = "")
{
    return RunProgramAt(LEAFBIND_EXTRACT_PROGRAM, args, input);
}
