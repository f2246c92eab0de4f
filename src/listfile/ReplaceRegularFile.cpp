#include "FileDescriptor.h"
#include "RegularFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>

namespace imagelist {
namespace {

constexpr int kMostLinksFollowed = 40;  // as the kernel allows before ELOOP

[[noreturn]] void FailWith(int error) { throw FileAccessFailure{std::strerror(error)}; }

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a chain of symbolic links ends at, which need not exist yet. The new file must be
// renamed over that file, in its folder: renaming over the link would replace the link.
std::string FinalTarget(std::string path)
{
    for (int hops = 0; hops < kMostLinksFollowed; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        char link[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), link, sizeof link);
        if (length < 0)
            FailWith(errno);
        if (static_cast<size_t>(length) == sizeof link)
            FailWith(ENAMETOOLONG);
        const std::string target(link, static_cast<size_t>(length));
        path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
    }
    FailWith(ELOOP);
}

// A new file in folder with a name nobody else has; created with 0666, so the umask (and a
// folder's default access list) applies as to any new file.
int CreateTemporary(const std::string& folder, std::string* created)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + "/.leafbind-";
        for (int i = 0; i < 10; ++i)
            candidate += kLetters[entropy() % (sizeof kLetters - 1)];
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) {
            *created = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

// Removes the temporary file unless the rename has taken it over.
struct TemporaryFile {
    std::string path;
    ~TemporaryFile()
    {
        if (!path.empty())
            ::unlink(path.c_str());
    }
};

void WriteAll(int fd, std::string_view bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            FailWith(errno);
        if (n == 0)
            FailWith(ENOSPC);
        written += static_cast<size_t>(n);
    }
}

}  // namespace

void ReplaceRegularFile(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        FailWith(ENOENT);
    const std::string target = FinalTarget(path);
    if (NameOf(target).empty())
        FailWith(EISDIR);

    // Checked before anything is created: a FIFO without a reader, a device or a folder is refused
    // without being opened, so nothing can block.
    struct stat previous {};
    const bool replacing = ::stat(target.c_str(), &previous) == 0;
    if (!replacing && errno != ENOENT)
        FailWith(errno);
    if (replacing && S_ISDIR(previous.st_mode))
        FailWith(EISDIR);
    if (replacing && !S_ISREG(previous.st_mode))
        throw FileAccessFailure{kNotRegularFile};

    TemporaryFile temporary;
    FileDescriptor file{CreateTemporary(FolderOf(target), &temporary.path)};
    if (file.fd < 0)
        FailWith(errno);
    if (replacing) {
        // Owner first: changing it clears the set-id bits that the mode then restores. Only a
        // privileged saver may give the file away; anyone else's new list stays their own.
        if (previous.st_uid != ::geteuid() || previous.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(file.fd, previous.st_uid, previous.st_gid);
        }
        if (::fchmod(file.fd, previous.st_mode & 07777) != 0)
            FailWith(errno);
    }
    WriteAll(file.fd, bytes);
    // On disk before the rename, so a crash leaves the old list or the new one, never an empty file.
    if (::fsync(file.fd) != 0)
        FailWith(errno);
    if (::close(file.Release()) != 0)
        FailWith(errno);
    if (::rename(temporary.path.c_str(), target.c_str()) != 0)
        FailWith(errno);
    temporary.path.clear();

    FileDescriptor folder{::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd >= 0)
        (void)::fsync(folder.fd);  // the rename itself; the list is already whole either way
}

}  // namespace imagelist
