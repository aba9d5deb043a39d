// Where the window's part is a library of its own (libquorvane-gui.so): loaded
// only for the window and for drawing pages, so a command starts with Qt Core
// and the core libraries alone. Runs before any Qt object exists, so it speaks
// to standard error itself.
#include "app/guipart.h"
#include "app/partlibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

namespace {

const char kLibrary[] = "libquorvane-gui.so";

int refuse(const std::string &line)
{
    std::fputs(("quorvane: " + line + "\n").c_str(), stderr);
    std::fflush(stderr);
    return 1;
}

} // namespace

int runGuiPart(GuiEntry entry, int argc, char *argv[])
{
    const PartLibrary part = findPartLibrary(kLibrary);
    const std::string &found = part.path;
    if (found.empty())
        return refuse("找不到程序的图形部分 " + std::string(kLibrary) + "（查找了 " + part.looked + "）；请重新安装 Quorvane。");

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
