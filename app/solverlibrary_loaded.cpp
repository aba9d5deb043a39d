// Where the solver is a library of its own (libquorvane-solver.so), loaded
// on the first search and kept for the rest of the process.
#include "app/partlibrary.h"
#include "core/engine/solverlibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace SolverLibrary {

const Calls *calls()
{
    static std::mutex loading;
    static const Calls *loaded = nullptr;
    static bool tried = false; // a missing library is looked for once
    const std::lock_guard<std::mutex> lock(loading);
    if (tried)
        return loaded;
    tried = true;
    const PartLibrary part = findPartLibrary("libquorvane-solver.so");
    void *library = part.path.empty() ? nullptr : dlopen(part.path.c_str(), RTLD_NOW | RTLD_LOCAL);
    using Entry = const Calls *(*)();
    auto *entry = library ? reinterpret_cast<Entry>(dlsym(library, "quorvane_solver_calls")) : nullptr;
    loaded = entry ? entry() : nullptr;
    return loaded;
}

} // namespace SolverLibrary
