// libquorvane-solver.so's one exported name, found by the program with dlsym.
#include "core/engine/solverlibrary.h"

extern "C" __attribute__((visibility("default"))) const SolverLibrary::Calls *quorvane_solver_calls()
{
    return SolverLibrary::calls();
}
