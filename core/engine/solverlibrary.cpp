#include "core/engine/solverlibrary.h"

namespace SolverLibrary {

ArrangementSolver::Arrangement solve(const ClassModel &model, const Grouping &start,
                                     const ArrangementSolver::Budget &budget)
{
    const Calls *solver = calls();
    return solver ? solver->solve(model, start, budget) : ArrangementSolver::Arrangement{};
}

ArrangementSolver::Conflict findConflict(const ClassModel &model, const ArrangementSolver::Budget &budget)
{
    const Calls *solver = calls();
    return solver ? solver->findConflict(model, budget) : ArrangementSolver::Conflict{};
}

} // namespace SolverLibrary
