// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileCallLog.h"

#include <dlfcn.h>

#include <filesystem>

std::vector<std::string>* fileCallLog = nullptr;

std::string LoggedName(const std::string& path)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.starts_with('#') && name.ends_with(" (deleted)"))
        return "(unnamed)";  // a file made with O_TMPFILE, as /proc shows its descriptor
    return name.starts_with(".leafbind-") ? ".leafbind-" : name;
}

template <typename Function> static Function* Real(const char* name)
{
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

extern "C" int fsync(int fd)
{
    static const auto real = Real<int(int)>("fsync");
    if (fileCallLog)
        fileCallLog->push_back("fsync "
                               + LoggedName(std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd))));
    return real(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    static const auto real = Real<int(const char*, const char*)>("rename");
    if (fileCallLog)
        fileCallLog->push_back("rename " + LoggedName(from) + " " + LoggedName(to));
    return real(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags)
{
    static const auto real = Real<int(int, const char*, int, const char*, unsigned)>("renameat2");
    if (fileCallLog)
        fileCallLog->push_back("rename " + LoggedName(from) + " " + LoggedName(to));
    return real(fromFolder, from, toFolder, to, flags);
}

extern "C" int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags)
{
    static const auto real = Real<int(int, const char*, int, const char*, int)>("linkat");
    if (fileCallLog)
        fileCallLog->push_back("link " + LoggedName(std::filesystem::read_symlink(from)) + " " + LoggedName(to));
    return real(fromFolder, from, toFolder, to, flags);
}
