#pragma once

#include "core/engine/arrangementsolver.h"

// The engine reaches the solver's searches only through here. Where the
// solver is a library of its own (libquorvane-solver.so, with Gecode), it is
// loaded on the first search, so a generation whose tries meet every
// requirement, and every other command, never loads it.
namespace SolverLibrary {

struct Calls
{
    ArrangementSolver::Arrangement (*solve)(const ClassModel &, const Grouping &, const ArrangementSolver::Budget &);
    ArrangementSolver::Conflict (*findConflict)(const ClassModel &, const ArrangementSolver::Budget &);
};

// Null when the solver's library cannot be found or loaded; asked again each
// time, so a library put in place later is found.
const Calls *calls();

// As ArrangementSolver::solve and ::findConflict; without the library, as
// when the budget runs out: Undecided.
ArrangementSolver::Arrangement solve(const ClassModel &model, const Grouping &start,
                                     const ArrangementSolver::Budget &budget);
ArrangementSolver::Conflict findConflict(const ClassModel &model, const ArrangementSolver::Budget &budget);

} // namespace SolverLibrary
