// SPDX-License-Identifier: GPL-2.0-or-later
// An export that fails or is ended by a signal, caught or not, leaves the output path as it was
// and no temporary file beside it. The signal comes while the document is half written: the
// program is held in its open of the last picture (a fanotify permission event) once it holds
// its new file open.
#include <poll.h>
#include <sys/fanotify.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "MakeJpeg.h"
#include "RunProgram.h"
#include "ShellCommand.h"

namespace {

const std::string kPrevious = "previous contents";

std::set<std::string> Listing(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Whether `child` holds open a file in `folder` that was not there before: its new output, named
// or not (an unnamed file shows as "#<inode> (deleted)").
bool HoldsNewFile(pid_t child, const std::string& folder, const std::set<std::string>& before)
{
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(child) + "/fd", error)) {
        const std::filesystem::path file = std::filesystem::read_symlink(fd.path(), error);
        if (!error && file.parent_path() == folder && !before.contains(file.filename().string()))
            return true;
    }
    return false;
}

// Runs leafbind-export on `jpegs` and sends `signal` while it waits to open the last of them with
// the document begun; returns the wait status, or -1 when fanotify is not available here.
int ExportEndedBySignal(const std::vector<std::string>& args, const std::string& held, const std::string& folder,
                        int signal)
{
    const int watch = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_CLOEXEC);
    if (watch < 0 || fanotify_mark(watch, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, held.c_str()) != 0) {
        close(watch);
        return -1;
    }
    const std::set<std::string> before = Listing(folder);
    const pid_t child = fork();
    if (child == 0) {
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, 0), dup2(devNull, 1), dup2(devNull, 2);
        const rlimit noCore {0, 0};  // SIGQUIT's core dump
        setrlimit(RLIMIT_CORE, &noCore);
        ExecExportProgram(args);
    }
    // Opens before the new file is made (the probe) go ahead; the first one after it is held
    // until the signal has been sent. Closing the watch lets anything still held go on.
    bool sent = false;
    pollfd ready {watch, POLLIN, 0};
    while (!sent && poll(&ready, 1, 10'000) == 1) {
        fanotify_event_metadata event {};
        if (read(watch, &event, sizeof event) != sizeof event)
            break;
        if (HoldsNewFile(child, folder, before)) {
            kill(child, signal);
            sent = true;
        }
        const fanotify_response allow {event.fd, FAN_ALLOW};
        [[maybe_unused]] const ssize_t answered = write(watch, &allow, sizeof allow);
        close(event.fd);
    }
    close(watch);
    if (!sent)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

}  // namespace

TEST(OutputKept, FailedOrInterruptedExportLeavesNoTrace)
{
    TempDir dir;
    const std::string big
        = dir.Write("big.jpg", MakeJpeg({.width = 400, .height = 400, .quality = 100, .gradient = true}));
    const std::string last = dir.Write("last.jpg", MakeJpeg({}));
    const std::string out = dir.File("out.pdf");
    struct Case {
        const char* name;
        int signal;  // SIGXFSZ: the files may not grow past one picture (ulimit -f), not sent
    };
    const Case cases[] = {{"ulimit -f", SIGXFSZ}, {"SIGINT", SIGINT},   {"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP},
                          {"SIGQUIT", SIGQUIT},   {"SIGKILL", SIGKILL}, {"SIGUSR1", SIGUSR1}, {"SIGALRM", SIGALRM}};
    for (const Case& c : cases) {
        for (bool existing : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (existing ? ", existing output" : ", new output"));
            if (existing)
                dir.Write("out.pdf", kPrevious);
            const std::set<std::string> before = Listing(dir.Path());
            const std::vector<std::string> args {"-f", "-o", out, big, big, last};
            if (c.signal == SIGXFSZ) {
                const ProgramRun run = RunExportProgram(args, "", ReadFileBytes(big).size());
                EXPECT_EQ(run.status, 4);
                EXPECT_EQ(run.err, "leafbind-export: " + out
                              + ": cannot be written: the file grew past the size limit (File too large)\n");
            } else {
                const int status = ExportEndedBySignal(args, last, dir.Path(), c.signal);
                if (status == -1)
                    GTEST_SKIP() << "fanotify is not available here: cannot hold the export half-way";
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
            }
            EXPECT_EQ(Listing(dir.Path()), before);
            EXPECT_EQ(existing ? ReadFileBytes(out) : "", existing ? kPrevious : "");
            unlink(out.c_str());
        }
    }
}

// Ctrl+C while pages are being recognised ends the program at once: the workers do not hold it
// until their pages are done, and the old output stays whole.
TEST(OutputKept, InterruptedRecognitionEndsAtOnce)
{
    TempDir dir;
    const std::string page = dir.File("page.jpg");
    std::string draw = "convert -size 2480x3508 xc:white -font DejaVu-Sans -density 300 -pointsize 10";
    for (int line = 0; line < 40; ++line)
        draw += " -annotate +150+" + std::to_string(150 + 80 * line) + " 'Words to recognise on every line of this page'";
    ASSERT_EQ(RunCommand(draw + " -quality 80 " + page).status, 0);
    const std::string out = dir.Write("out.pdf", kPrevious);
    const std::set<std::string> before = Listing(dir.Path());
    std::vector<std::string> args = {"-f", "-o", out, "--ocr", "--jobs", "2"};
    args.insert(args.end(), 40, page);
    const pid_t child = fork();
    if (child == 0)
        ExecExportProgram(args);
    // Writing has begun and the workers are recognising: the program runs three threads.
    const std::string tasks = "/proc/" + std::to_string(child) + "/task";
    const auto threads = [&] {
        return std::distance(std::filesystem::directory_iterator(tasks), std::filesystem::directory_iterator());
    };
    for (int i = 0; i < 1000 && threads() < 3; ++i)
        usleep(20'000);
    usleep(300'000);
    const auto sent = std::chrono::steady_clock::now();
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_LT(seconds, 5) << "forty pages would take far longer";
    EXPECT_EQ(Listing(dir.Path()), before);
    EXPECT_EQ(ReadFileBytes(out), kPrevious);
}
