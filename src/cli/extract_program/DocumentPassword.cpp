// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentPassword.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ReadableFile.h"
#include "ShownName.h"
#include "WholeTransfers.h"

namespace cli {

namespace {

constexpr size_t kLongestPasswordFile = 1 << 16;

std::string FirstLine(const std::string& text)
{
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

}  // namespace

bool ReadPasswordFile(const std::string& path, int standardInput, std::string& password, std::string& error)
{
    std::string text;
    if (path == "-") {
        if (!posixfile::ReadToEnd(standardInput, text, kLongestPasswordFile)) {
            error = std::string("the password cannot be read from standard input: ") + std::strerror(errno);
            return false;
        }
    } else {
        posixfile::ReadableFile file = posixfile::OpenReadableFile(path);
        if (file.refusal != posixfile::ReadableFile::Refusal::None || !posixfile::ReadToEnd(file.file.Get(), text, kLongestPasswordFile)) {
            const int why = file.refusal != posixfile::ReadableFile::Refusal::None ? file.systemError : errno;
            error = ShownName(path) + ": cannot be read: " + (why ? std::strerror(why) : "not a regular file");
            return false;
        }
    }
    password = FirstLine(text);
    std::fill(text.begin(), text.end(), '\0');
    return true;
}

bool AskPassword(int terminalFd, int promptFd, const std::string& prompt, std::string& password)
{
    termios saved {};
    if (!isatty(terminalFd) || tcgetattr(terminalFd, &saved) != 0)
        return false;
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    quiet.c_lflag |= ECHONL;
    posixfile::WriteAll(promptFd, prompt);
    if (tcsetattr(terminalFd, TCSANOW, &quiet) != 0)
        return false;
    std::string line;
    char c = 0;
    ssize_t got = 0;
    while ((got = read(terminalFd, &c, 1)) == 1 && c != '\n')
        line += c;
    const bool ended = got == 1 || (got == 0 && !line.empty());
    while (tcsetattr(terminalFd, TCSANOW, &saved) != 0 && errno == EINTR) { }
    if (!ended)
        return false;
    password = FirstLine(line);
    std::fill(line.begin(), line.end(), '\0');
    return true;
}

}  // namespace cli
