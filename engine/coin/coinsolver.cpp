#include "coinsolver.h"

#include <CbcEventHandler.hpp>
#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <ClpSimplex.hpp>
#include <CoinPackedMatrix.hpp>
#include <CoinPackedVector.hpp>
#include <OsiClpSolverInterface.hpp>

#include <cmath>
#include <string>

namespace sheetcraft {

namespace {

double coinBound(double v) {
    return std::isinf(v) ? (v > 0 ? COIN_DBL_MAX : -COIN_DBL_MAX) : v;
}

struct Arrays {
    CoinPackedMatrix matrix{false, 0, 0};
    std::vector<double> colLower, colUpper, rowLower, rowUpper;
};

Arrays arrays(const SolverModel &m) {
    Arrays a;
    a.matrix.setDimensions(0, static_cast<int>(m.cost.size()));
    for (const auto &row : m.rows) {
        a.matrix.appendRow(CoinPackedVector(static_cast<int>(row.columns.size()),
                                            row.columns.data(), row.values.data()));
        a.rowLower.push_back(coinBound(row.lower));
        a.rowUpper.push_back(coinBound(row.upper));
    }
    for (std::size_t c = 0; c < m.cost.size(); ++c) {
        a.colLower.push_back(coinBound(m.lower[c]));
        a.colUpper.push_back(coinBound(m.upper[c]));
    }
    return a;
}

// Stops the branch and cut at its next node once the user cancels.
class CancelHandler : public CbcEventHandler {
public:
    explicit CancelHandler(const std::atomic<bool> *cancel) : m_cancel(cancel) {}
    CbcAction event(CbcEvent) override { return m_cancel && m_cancel->load() ? stop : noAction; }
    CbcEventHandler *clone() const override { return new CancelHandler(*this); }

private:
    const std::atomic<bool> *m_cancel;
};

int noCallback(CbcModel *, int) {
    return 0;
}

} // namespace

SolverResult CoinSolver::solveLp(const SolverModel &m) {
    SolverResult r;
    Arrays a = arrays(m);
    ClpSimplex simplex;
    simplex.setLogLevel(0);
    simplex.loadProblem(a.matrix, a.colLower.data(), a.colUpper.data(), m.cost.data(),
                        a.rowLower.data(), a.rowUpper.data());
    simplex.primal();
    if (simplex.isProvenOptimal()) {
        r.status = SolverResult::Status::Optimal;
        r.objective = simplex.objectiveValue();
        r.x.assign(simplex.primalColumnSolution(), simplex.primalColumnSolution() + m.cost.size());
        r.duals.assign(simplex.dualRowSolution(), simplex.dualRowSolution() + m.rows.size());
    } else if (simplex.isProvenPrimalInfeasible()) {
        r.status = SolverResult::Status::Infeasible;
    }
    return r;
}

SolverResult CoinSolver::solveMip(const SolverModel &m, std::chrono::milliseconds budget,
                                  const std::atomic<bool> *cancel) {
    SolverResult r;
    Arrays a = arrays(m);
    OsiClpSolverInterface osi;
    osi.messageHandler()->setLogLevel(0);
    osi.loadProblem(a.matrix, a.colLower.data(), a.colUpper.data(), m.cost.data(),
                    a.rowLower.data(), a.rowUpper.data());
    for (std::size_t c = 0; c < m.integer.size(); ++c)
        if (m.integer[c])
            osi.setInteger(static_cast<int>(c));
    CbcModel model(osi);
    CancelHandler handler(cancel);
    model.passInEventHandler(&handler);
    CbcSolverUsefulData data;
    CbcMain0(model, data);
    // The standard driver brings the cut generators and heuristics; one thread,
    // a time limit, and nothing said.
    const std::string seconds = std::to_string(std::max(0.05, budget.count() / 1000.0));
    const std::string cutoff = std::to_string(m.cutoff);
    std::vector<const char *> argv{"sheetcraft", "-log",         "0", "-timeMode", "elapsed",
                                   "-sec",       seconds.c_str()};
    if (std::isfinite(m.cutoff))
        argv.insert(argv.end(), {"-cutoff", cutoff.c_str()});
    argv.insert(argv.end(), {"-solve", "-quit"});
    CbcMain1(static_cast<int>(argv.size()), argv.data(), model, noCallback, data);
    if (model.bestSolution() && model.getMinimizationObjValue() < 1e50) {
        r.status = model.isProvenOptimal() ? SolverResult::Status::Optimal
                                           : SolverResult::Status::Feasible;
        r.objective = model.getMinimizationObjValue();
        r.x.assign(model.bestSolution(), model.bestSolution() + m.cost.size());
    } else if (model.isProvenInfeasible() || (std::isfinite(m.cutoff) && model.isProvenOptimal())) {
        r.status = SolverResult::Status::Infeasible;
    }
    return r;
}

} // namespace sheetcraft
