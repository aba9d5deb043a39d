// Where the window's part is a library of its own (libquorvane-gui.so): loaded
// only for the window and for drawing pages, so a command starts with Qt Core
// and the core libraries alone. Found beside the executable (build directory,
// portable copy) or where an install puts it, <prefix>/libexec/quorvane for an
// executable in <prefix>/bin; any prefix works. Runs before any Qt object
// exists, so it speaks to standard error itself.
#include "app/guipart.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

const char kLibrary[] = "libquorvane-gui.so";

std::string executableDirectory()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || size_t(length) >= path.size())
        return ".";
    path.resize(size_t(length));
    return path.substr(0, path.rfind('/'));
}

int refuse(const std::string &line)
{
    std::fputs(("quorvane: " + line + "\n").c_str(), stderr);
    std::fflush(stderr);
    return 1;
}

} // namespace

int runGuiPart(GuiEntry entry, int argc, char *argv[])
{
    const std::string directory = executableDirectory();
    std::string found;
    std::string looked;
    for (const char *place : {"/", "/../libexec/quorvane/"}) {
        const std::string path = directory + place + kLibrary;
        if (access(path.c_str(), F_OK) == 0) {
            found = path;
            break;
        }
        looked += (looked.empty() ? "" : "、") + path;
    }
    if (found.empty())
        return refuse("找不到程序的图形部分 " + std::string(kLibrary) + "（查找了 " + looked + "）；请重新安装 Quorvane。");

    void *library = dlopen(found.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char *symbol = entry == GuiEntry::Window ? "quorvane_window_main" : "quorvane_drawing_command_main";
    using Entry = int (*)(int, char **);
    auto *run = library ? reinterpret_cast<Entry>(dlsym(library, symbol)) : nullptr;
    if (!run) {
        const char *error = dlerror();
        return refuse("无法加载程序的图形部分 " + found + "：" + (error ? error : symbol) + "；请重新安装 Quorvane。");
    }
    // Never unloaded: Qt's objects and exit handlers live in it.
    return run(argc, argv);
}
