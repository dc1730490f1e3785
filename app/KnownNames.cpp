// The shipped known-factor libraries by name (see the header). Only
// reads the file system; draws nothing.
#include "app/KnownNames.h"

#include <sys/stat.h>
#include <unistd.h>

#ifndef RUZARAVO_BUILT_FROM
#define RUZARAVO_BUILT_FROM ""
#endif

static bool IsFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

static std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LibraryFileOf(const std::string& name)
{
    if (name == "insects" || name == "vertebrates")
        return "JASPAR2024_CORE_" + name + "_non-redundant.meme";
    return "";
}

std::vector<std::string> LibraryFolders(const std::string& exePath)
{
    std::vector<std::string> folders;
    if (!exePath.empty())
        folders.push_back(FolderOf(FolderOf(exePath)) + "/share/ruzaravo/jaspar2024");
    const std::string source = RUZARAVO_BUILT_FROM;
    if (!source.empty())
        folders.push_back(source + "/data/jaspar2024");
    return folders;
}

std::string ResolveKnown(const std::string& value, const std::string& exePath)
{
    const std::string file = LibraryFileOf(value);
    if (file.empty() || IsFile(value))
        return value;
    for (const std::string& folder : LibraryFolders(exePath))
        if (IsFile(folder + "/" + file))
            return folder + "/" + file;
    return "";
}

std::string ExecutablePath()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, (size_t)n) : std::string();
}
