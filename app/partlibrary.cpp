#include "app/partlibrary.h"

#include <unistd.h>

namespace {

std::string executableDirectory()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || size_t(length) >= path.size())
        return ".";
    path.resize(size_t(length));
    return path.substr(0, path.rfind('/'));
}

} // namespace

PartLibrary findPartLibrary(const char *fileName)
{
    const std::string directory = executableDirectory();
    PartLibrary part;
    for (const char *place : {"/", "/../libexec/quorvane/"}) {
        const std::string path = directory + place + fileName;
        if (access(path.c_str(), F_OK) == 0) {
            part.path = path;
            part.looked.clear();
            return part;
        }
        part.looked += (part.looked.empty() ? "" : "、") + path;
    }
    return part;
}
