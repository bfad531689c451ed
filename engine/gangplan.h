#pragma once

#include "bestlayout.h"
#include "cuttree.h"
#include "gangsolver.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sheetcraft {

struct GangJob {
    std::string name;
    double width = 0; // finished size, either way round; the grain rule decides
    double depth = 0;
    std::int64_t quantity = 0;
    GrainRule grain = GrainRule::Any;
};

// The press sheet (the larger side is its width, as in the best layout), its
// gripper strip, the jobs and the run settings.
struct GangProblem {
    double sheetWidth = 0;
    double sheetDepth = 0;
    double gripper = 0;
    bool gripperOnWidth = true;
    std::vector<GangJob> jobs;
    double spoilagePct = 0;     // of each run
    std::int64_t makeReady = 0; // press sheets per template used
    int maxTemplates = 1;
};

struct GangOptions {
    std::chrono::milliseconds budget{4000};
    const std::atomic<bool> *cancel = nullptr;
    std::function<void(int percent)> progress; // called on the planning thread
};

// One press-sheet layout and its run. The tree is the full sheet, gripper strip
// trimmed first; CutNode::item of a piece is its job's index.
struct GangTemplate {
    CutTree tree;
    std::vector<std::int64_t> jobSlots; // per job
    std::int64_t run = 0;
    std::int64_t pressSheets = 0; // run, its spoilage and the make-ready
};

struct GangPlacedPiece {
    SheetRect rect; // full sheet, sheet units
    int job = 0;
};
std::vector<GangPlacedPiece> gangPieces(const CutTree &tree);

struct GangPlan {
    enum class Status {
        Planned,
        NoJobs,
        BadInput,      // a size or quantity that cannot be planned
        DoesNotFit,    // badJob fits the usable sheet neither way its grain allows
        TooFewLayouts, // the jobs need more templates than allowed
        Cancelled,
    };
    Status status = Status::NoJobs;
    int badJob = -1;
    std::vector<GangTemplate> templates;
    std::vector<std::int64_t> produced; // per job
    std::int64_t runSheets = 0;
    std::int64_t pressSheets = 0;  // the total: runs, spoilage and make-ready
    std::int64_t lowerBound = 0;   // no plan of any number of templates takes fewer
    bool boundConverged = false;   // the linear relaxation was solved to the end
    bool boundOneTemplate = false; // the bound is that of a single template's run
    bool integerCutShort = false;  // the run lengths were chosen within the time budget
    // Best total with at most k templates, k = 1..maxTemplates; 0: none found.
    std::vector<std::int64_t> byTemplates;
    SheetRect usable;
    double sheetWidth = 0, sheetDepth = 0;

    bool optimal() const { return status == Status::Planned && pressSheets == lowerBound; }
    std::string label() const;     // "optimal" or "at most N sheets above the best possible"
    std::string boundText() const; // which bound
};

// The fewest press sheets for all the jobs, with a lower bound from the linear
// relaxation by column generation. Runs on the caller's thread.
GangPlan planGang(const GangProblem &problem, GangSolver &solver, const GangOptions &options = {});

} // namespace sheetcraft
