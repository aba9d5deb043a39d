// Where the solver is linked into the program (Windows, tests, benchmarks)
//, and inside libquorvane-solver.so.
#include "core/engine/solverlibrary.h"

namespace SolverLibrary {

const Calls *calls()
{
    static const Calls linked{&ArrangementSolver::solve, &ArrangementSolver::findConflict};
    return &linked;
}

} // namespace SolverLibrary

