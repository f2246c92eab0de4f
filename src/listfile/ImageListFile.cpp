#include "ImageListFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace imagelist {
namespace {

std::string AbsolutePath(const std::string& path)
{
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return absolute.empty() ? path : absolute.lexically_normal().string();
}

[[noreturn]] void Fail(const char* what, const std::string& path, int error)
{
    throw ImageListError(std::string(what) + " \"" + AbsolutePath(path) + "\". " + std::strerror(error));
}

// Closes the descriptor on every path out of the caller.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int Release()
    {
        const int released = fd;
        fd = -1;
        return released;
    }
};

}  // namespace

std::string FormatImageList(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items) {
        text += item;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> ParseImageList(std::string_view text)
{
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

    std::vector<std::string> items;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            items.emplace_back(text.substr(start));
            break;
        }
        items.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;  // CR LF is one break; LF CR stays two
    }
    return items;
}

void SaveImageList(const std::string& path, const std::vector<std::string>& items)
{
    FileDescriptor file{::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
    if (file.fd < 0)
        Fail("Cannot create file", path, errno);

    // A short write (a full disk, say) must not pass for a saved list.
    const std::string text = FormatImageList(items);
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(file.fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail("Cannot create file", path, n < 0 ? errno : ENOSPC);
        written += static_cast<size_t>(n);
    }
    if (::close(file.Release()) != 0)
        Fail("Cannot create file", path, errno);
}

std::vector<std::string> LoadImageList(const std::string& path)
{
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        Fail("Cannot open file", path, errno);

    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail("Cannot open file", path, errno);  // a folder opens but cannot be read
        if (n == 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
        // The text ends at a NUL byte: stop reading there (this also ends a read of an endless device).
        if (std::memchr(buffer, '\0', static_cast<size_t>(n)))
            break;
    }
    return ParseImageList(text);
}

}  // namespace imagelist
