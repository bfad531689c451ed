#pragma once

#include <atomic>
#include <chrono>
#include <limits>
#include <vector>

namespace sheetcraft {

// A linear model, some columns integer: minimise cost . x subject to
// rowLower <= A x <= rowUpper and lower <= x <= upper. Infinite bounds are
// +-infinity.
struct SolverModel {
    struct Row {
        std::vector<int> columns;
        std::vector<double> values;
        double lower = 0;
        double upper = 0;
    };
    std::vector<double> cost, lower, upper;
    std::vector<char> integer;
    std::vector<Row> rows;
    // Integer step: only solutions below this are wanted; none is then a proof.
    double cutoff = std::numeric_limits<double>::infinity();

    int addColumn(double c, double lo, double hi, bool isInteger) {
        cost.push_back(c);
        lower.push_back(lo);
        upper.push_back(hi);
        integer.push_back(isInteger ? 1 : 0);
        return static_cast<int>(cost.size()) - 1;
    }
};

struct SolverResult {
    enum class Status {
        Optimal,    // proven
        Feasible,   // stopped by the time budget with a solution
        Infeasible, // proven to have none
        Failed,     // stopped with none, or the solver failed
    };
    Status status = Status::Failed;
    std::vector<double> x;
    std::vector<double> duals; // per row, for a linear model
    double objective = 0;
};

// The one place a linear and integer solver is asked, so the planning code
// can be tested without one and the solver can be changed.
class GangSolver {
public:
    virtual ~GangSolver() = default;
    // Integrality is ignored: the continuous model, with row duals.
    virtual SolverResult solveLp(const SolverModel &model) = 0;
    virtual SolverResult solveMip(const SolverModel &model, std::chrono::milliseconds budget,
                                  const std::atomic<bool> *cancel) = 0;
};

} // namespace sheetcraft
