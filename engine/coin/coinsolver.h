#pragma once

#include "gangsolver.h"

namespace sheetcraft {

// The linear step by Clp's simplex and the integer step by Cbc's branch and
// cut, both from COIN-OR.
class CoinSolver : public GangSolver {
public:
    SolverResult solveLp(const SolverModel &model) override;
    SolverResult solveMip(const SolverModel &model, std::chrono::milliseconds budget,
                          const std::atomic<bool> *cancel) override;
};

} // namespace sheetcraft
