#include "gangplan.h"

#include "cutplan.h"
#include "gangknapsack.h"
#include "wholeunits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

namespace sheetcraft {

namespace {

using i64 = std::int64_t;
using Clock = std::chrono::steady_clock;
constexpr double inf = std::numeric_limits<double>::infinity();

i64 ceilDiv(i64 a, i64 b) {
    return (a + b - 1) / b;
}

// Run sheets plus their spoilage, by the one order rule.
std::optional<i64> withSpoilage(i64 run, double spoilagePct) {
    if (run == 0)
        return 0;
    const auto q = orderQuantities(run, spoilagePct, 0, 1, 1);
    return q ? std::optional<i64>(q->pressSheets) : std::nullopt;
}

// A layout of the usable sheet found by the knapsack, its pieces grouped by
// oriented size: any job of that size and way round may take any of its slots.
struct Geometry {
    int root = -1; // in the planner's pool tree
    std::vector<std::pair<i64, i64>> classSize;
    std::vector<i64> classCount;
    std::vector<std::vector<int>> classJobs; // jobs whose grain lets them fill the class
};

// A template candidate: a geometry with its slots given out to jobs.
struct Column {
    int geometry = -1;
    std::vector<i64> slots;               // per job
    std::vector<std::vector<i64>> assign; // [class][job]
};

// Slots given out by a maximum flow: jobs to the slot classes they may fill.
class SlotFlow {
public:
    SlotFlow(const Geometry &geometry, std::size_t jobCount) : g(geometry), jobs(jobCount) {}

    // Slots per class and job giving job i at least need[i], or nothing.
    std::optional<std::vector<std::vector<i64>>> split(const std::vector<i64> &need) const {
        const std::size_t nc = g.classCount.size(), nodes = jobs + nc + 2;
        const std::size_t source = jobs + nc, sink = source + 1;
        std::vector<std::vector<i64>> cap(nodes, std::vector<i64>(nodes, 0));
        i64 wanted = 0;
        for (std::size_t i = 0; i < jobs; ++i)
            cap[source][i] = need[i], wanted += need[i];
        for (std::size_t c = 0; c < nc; ++c) {
            cap[jobs + c][sink] = g.classCount[c];
            for (int j : g.classJobs[c])
                cap[std::size_t(j)][jobs + c] = wanted;
        }
        const auto original = cap;
        i64 flowed = 0;
        for (;;) {
            std::vector<int> from(nodes, -1);
            from[source] = static_cast<int>(source);
            std::vector<std::size_t> queue{source};
            for (std::size_t h = 0; h < queue.size() && from[sink] < 0; ++h)
                for (std::size_t v = 0; v < nodes; ++v)
                    if (from[v] < 0 && cap[queue[h]][v] > 0) {
                        from[v] = static_cast<int>(queue[h]);
                        queue.push_back(v);
                    }
            if (from[sink] < 0)
                break;
            i64 amount = wanted;
            for (std::size_t v = sink; v != source; v = std::size_t(from[v]))
                amount = std::min(amount, cap[std::size_t(from[v])][v]);
            for (std::size_t v = sink; v != source; v = std::size_t(from[v])) {
                cap[std::size_t(from[v])][v] -= amount;
                cap[v][std::size_t(from[v])] += amount;
            }
            flowed += amount;
        }
        if (flowed < wanted)
            return std::nullopt;
        std::vector<std::vector<i64>> out(nc, std::vector<i64>(jobs, 0));
        for (std::size_t c = 0; c < nc; ++c)
            for (int j : g.classJobs[c])
                out[c][std::size_t(j)] =
                    original[std::size_t(j)][jobs + c] - cap[std::size_t(j)][jobs + c];
        return out;
    }

private:
    const Geometry &g;
    std::size_t jobs;
};

class Planner {
public:
    Planner(const GangProblem &p, GangSolver &s, const GangOptions &o)
        : P(p), solver(s), opt(o), n(p.jobs.size()), start(Clock::now()) {}

    GangPlan run();

private:
    bool toUnits(GangPlan &plan);
    bool stopped() const { return opt.cancel && opt.cancel->load(); }
    bool pastShare(double share) const {
        return Clock::now() - start > std::chrono::duration<double, std::milli>(
                                          share * static_cast<double>(opt.budget.count()));
    }
    void progress(int percent) const {
        if (opt.progress)
            opt.progress(percent);
    }
    KnapsackLayout knapsack(const std::vector<double> &values);
    KnapsackLayout knapsack(const std::vector<double> &values, i64 w, i64 d, CutTree &into);
    int addGeometry(const KnapsackLayout &k);
    int addColumn(Column c);
    std::optional<Column> bestSingleSplit(int geometry, i64 *run);
    void enumerateSplits(int geometry, std::size_t cap);
    double columnGeneration();
    std::optional<i64> oneTemplateRun();
    void singleTemplateSearch();
    std::optional<std::pair<i64, int>> stripTemplate(bool across, const std::vector<char> &member,
                                                     bool build);
    void groupedPlans(int k, std::vector<i64> &bestRuns, i64 &bestTotal);
    struct Strip {
        i64 width;
        std::vector<i64> counts;
    };
    std::array<std::vector<std::vector<Strip>>, 2> stripCache;
    std::optional<std::vector<i64>> integerStep(const std::vector<std::size_t> &chosen, int k,
                                                std::chrono::milliseconds budget, i64 toBeat,
                                                bool *cutShort);
    std::optional<i64> total(const std::vector<i64> &runs) const;
    GangTemplate materialise(const Column &c, i64 run);

    const GangProblem &P;
    GangSolver &solver;
    GangOptions opt;
    std::size_t n;
    Clock::time_point start;
    double scale = 10000;
    i64 sheetW = 0, sheetD = 0, ux = 0, uy = 0, uw = 0, ud = 0;
    std::vector<std::vector<std::pair<i64, i64>>> ways; // per job, oriented sizes
    CutTree pool;
    std::vector<Geometry> geometries;
    std::vector<Column> columns;
    std::map<std::vector<i64>, int> bySlots;
    bool boundConverged = false;
    std::vector<double> lastDuals;
    std::vector<double> lastX; // the relaxation's template runs
};

std::string plural(i64 n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::string GangPlan::label() const {
    if (status != Status::Planned)
        return "no plan";
    if (optimal())
        return "optimal";
    return "at most " + plural(pressSheets - lowerBound, "sheet", "sheets") +
           " above the best possible";
}

std::string GangPlan::boundText() const {
    if (boundOneTemplate)
        return "one template: the shortest run whose shares some layout can hold";
    return boundConverged ? "linear relaxation by column generation"
                          : "linear relaxation, column generation stopped early (scaled duals)";
}

std::vector<GangPlacedPiece> gangPieces(const CutTree &tree) {
    std::vector<GangPlacedPiece> out;
    if (tree.root() < 0)
        return out;
    struct Item {
        int id;
        i64 x, y;
    };
    std::vector<Item> stack{{tree.root(), 0, 0}};
    while (!stack.empty()) {
        const Item it = stack.back();
        stack.pop_back();
        const CutNode &node = tree.node(it.id);
        if (node.kind == CutNode::Kind::Piece) {
            out.push_back({{tree.toSheet(it.x), tree.toSheet(it.y), tree.toSheet(node.width),
                            tree.toSheet(node.depth)},
                           node.item});
        } else if (node.kind == CutNode::Kind::Split) {
            const bool x = node.axis == CutAxis::X;
            stack.push_back(
                {node.second, it.x + (x ? node.offset : 0), it.y + (x ? 0 : node.offset)});
            stack.push_back({node.first, it.x, it.y});
        }
    }
    return out;
}

bool Planner::toUnits(GangPlan &plan) {
    std::vector<double> values{P.sheetWidth, P.sheetDepth, std::max(P.gripper, 0.0)};
    for (const GangJob &j : P.jobs) {
        values.push_back(j.width);
        values.push_back(j.depth);
    }
    double largest = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (!std::isfinite(values[k]) || values[k] < 0 || (k != 2 && values[k] <= 0)) {
            plan.badJob = k < 3 ? -1 : static_cast<int>((k - 3) / 2);
            return false;
        }
        largest = std::max(largest, values[k]);
    }
    while (largest * scale * 10 < 2e9 && !std::all_of(values.begin(), values.end(), [&](double v) {
               return isWholeAt(v, scale);
           }))
        scale *= 10;
    if (largest * scale >= 3e9)
        return false;
    sheetW = wholeUnits(std::max(P.sheetWidth, P.sheetDepth), scale, false);
    sheetD = wholeUnits(std::min(P.sheetWidth, P.sheetDepth), scale, false);
    const i64 g = wholeUnits(std::max(P.gripper, 0.0), scale, true);
    uw = sheetW;
    ud = sheetD;
    if (g > 0 && P.gripperOnWidth)
        uy = g, ud -= g;
    else if (g > 0)
        ux = g, uw -= g;
    if (uw <= 0 || ud <= 0)
        return false;
    pool = CutTree(static_cast<i64>(scale));
    for (std::size_t i = 0; i < n; ++i) {
        const GangJob &j = P.jobs[i];
        if (j.quantity < 1) {
            plan.badJob = static_cast<int>(i);
            return false;
        }
        const i64 a = wholeUnits(j.width, scale, true), b = wholeUnits(j.depth, scale, true);
        const i64 lo = std::min(a, b), hi = std::max(a, b);
        std::vector<std::pair<i64, i64>> w;
        // Along: the long side runs along the sheet's width, as in the best layout.
        if (j.grain != GrainRule::Across)
            w.emplace_back(hi, lo);
        if (j.grain != GrainRule::Along && lo != hi)
            w.emplace_back(lo, hi);
        if (j.grain == GrainRule::Across && lo == hi)
            w.emplace_back(lo, hi);
        ways.push_back(w);
    }
    return true;
}

KnapsackLayout Planner::knapsack(const std::vector<double> &values) {
    return knapsack(values, uw, ud, pool);
}

KnapsackLayout Planner::knapsack(const std::vector<double> &values, i64 w, i64 d, CutTree &into) {
    std::vector<KnapsackPiece> pieces;
    for (std::size_t i = 0; i < n; ++i)
        for (const auto &[a, b] : ways[i])
            pieces.push_back({a, b, values[i], static_cast<int>(i)});
    return guillotineKnapsack(w, d, pieces, n, into);
}

// A template of strips the length of the sheet, one job to a strip, each as
// narrow as what that job still needs for a run allows; the gaps in a strip
// take pieces of the other jobs, and what is left after the strips takes more.
// The run is the shortest for which the strips fit. A sure way to put many
// jobs on one template, where unpriced knapsacks favour a few. Only the jobs
// marked in `member` are needed; with build false the run alone is worked out.
// Returns the run and (when built) the template's column.
std::optional<std::pair<i64, int>>
Planner::stripTemplate(bool across, const std::vector<char> &member, bool build) {
    const i64 room = across ? ud : uw;
    // Gap fillers are worth less than one piece of the strip's own job in all.
    i64 smallest = std::numeric_limits<i64>::max();
    i64 most = 1;
    for (std::size_t i = 0; i < n; ++i) {
        for (const auto &[a, b] : ways[i])
            smallest = std::min(smallest, a * b);
        most = std::max(most, P.jobs[i].quantity);
    }
    const double filler = 1.0 / (2.0 * (double(uw) * double(ud) / double(smallest) + 1));
    const auto values = [&](std::size_t i) {
        std::vector<double> v(n);
        for (std::size_t j = 0; j < n; ++j)
            v[j] = j == i ? 1.0 : filler * double(P.jobs[j].quantity) / double(most);
        return v;
    };
    // Larger pieces first, so the small ones fill the gaps they leave.
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = i;
    const auto area = [&](std::size_t i) { return P.jobs[i].width * P.jobs[i].depth; };
    std::sort(order.begin(), order.end(), [&](auto x, auto y) { return area(x) > area(y); });

    auto &strips = stripCache[across ? 1 : 0]; // per job, narrowest first, own count rising
    if (strips.empty()) {
        strips.resize(n);
        CutTree scratch(static_cast<i64>(scale));
        for (std::size_t i = 0; i < n; ++i) {
            std::vector<i64> sides;
            for (const auto &[a, b] : ways[i])
                sides.push_back(across ? b : a);
            std::vector<i64> widths;
            for (i64 a : sides)
                for (i64 b : sides)
                    for (i64 k = 0; k * a <= room; ++k)
                        for (i64 l = 0; k * a + l * b <= room; ++l)
                            if (k + l > 0)
                                widths.push_back(k * a + l * b);
            std::sort(widths.begin(), widths.end());
            widths.erase(std::unique(widths.begin(), widths.end()), widths.end());
            for (i64 t : widths) {
                auto c = knapsack(values(i), across ? uw : t, across ? t : ud, scratch).counts;
                if (c[i] > (strips[i].empty() ? 0 : strips[i].back().counts[i]))
                    strips[i].push_back({t, std::move(c)});
            }
        }
    }
    // The strips for a run of r sheets, or nothing when they do not fit.
    const auto choose = [&](i64 r) -> std::optional<std::vector<std::pair<std::size_t, i64>>> {
        std::vector<i64> need(n, 0);
        for (std::size_t i = 0; i < n; ++i)
            if (member[i])
                need[i] = ceilDiv(P.jobs[i].quantity, r);
        std::vector<std::pair<std::size_t, i64>> chosen;
        i64 sum = 0;
        for (std::size_t i : order) {
            if (need[i] <= 0)
                continue;
            const auto it = std::find_if(strips[i].begin(), strips[i].end(),
                                         [&](const Strip &st) { return st.counts[i] >= need[i]; });
            if (it == strips[i].end() || (sum += it->width) > room)
                return std::nullopt;
            chosen.emplace_back(i, it->width);
            for (std::size_t j = 0; j < n; ++j)
                need[j] -= it->counts[j];
        }
        return chosen;
    };
    i64 hi = most;
    if (!choose(hi))
        return std::nullopt;
    for (i64 lo = 0; hi - lo > 1;) {
        const i64 mid = lo + (hi - lo) / 2;
        (choose(mid) ? hi : lo) = mid;
    }
    if (!build)
        return std::make_pair(hi, -1);
    const auto chosen = *choose(hi);
    i64 left = room;
    for (const auto &c : chosen)
        left -= c.second;
    KnapsackLayout layout;
    layout.counts.assign(n, 0);
    int content = -1;
    if (left > 0) {
        std::vector<double> fill(n);
        for (std::size_t i = 0; i < n; ++i)
            fill[i] = double(P.jobs[i].quantity) * (member[i] ? 1.0 : filler);
        const KnapsackLayout rest = knapsack(fill, across ? uw : left, across ? left : ud, pool);
        content = rest.root;
        layout.counts = rest.counts;
    }
    for (auto c = chosen.rbegin(); c != chosen.rend(); ++c) {
        const i64 t = c->second;
        const KnapsackLayout strip =
            knapsack(values(c->first), across ? uw : t, across ? t : ud, pool);
        for (std::size_t j = 0; j < n; ++j)
            layout.counts[j] += strip.counts[j];
        content = pool.split(across ? CutAxis::Y : CutAxis::X, t, strip.root, content);
    }
    layout.root = content;
    if (addGeometry(layout) < 0)
        return std::nullopt;
    return std::make_pair(hi, bySlots.at(layout.counts));
}

// Plans of k templates, each for a group of jobs of like quantities (the jobs
// ranked by quantity and cut into k runs of neighbours), so few overs are made.
void Planner::groupedPlans(int k, std::vector<i64> &bestRuns, i64 &bestTotal) {
    std::vector<std::size_t> byQuantity(n);
    for (std::size_t i = 0; i < n; ++i)
        byQuantity[i] = i;
    std::sort(byQuantity.begin(), byQuantity.end(),
              [&](auto a, auto b) { return P.jobs[a].quantity > P.jobs[b].quantity; });
    if (std::size_t(k) > n)
        return;
    // Cut points 0 = c0 < c1 < ... < ck = n, tried in order, within a bound on the work.
    std::vector<std::size_t> cuts(std::size_t(k) + 1);
    for (int g = 0; g <= k; ++g)
        cuts[std::size_t(g)] = g < k ? std::size_t(g) : n;
    i64 bestHere = -1;
    std::vector<std::size_t> bestCuts;
    for (int tries = 0; tries < 400 && !stopped() && !pastShare(0.6); ++tries) {
        i64 sum = 0;
        bool ok = true;
        for (int g = 0; g < k && ok; ++g) {
            std::vector<char> member(n, 0);
            for (std::size_t j = cuts[std::size_t(g)]; j < cuts[std::size_t(g) + 1]; ++j)
                member[byQuantity[j]] = 1;
            std::optional<i64> run;
            for (bool a : {true, false})
                if (const auto r = stripTemplate(a, member, false); r && (!run || r->first < *run))
                    run = r->first;
            ok = run.has_value();
            if (ok)
                sum += *total({*run});
        }
        if (ok && (bestHere < 0 || sum < bestHere))
            bestHere = sum, bestCuts = cuts;
        // The next cut points: the last movable one steps on, the ones after it follow.
        int g = k - 1;
        while (g >= 1 && cuts[std::size_t(g)] + std::size_t(k - g) >= n)
            --g;
        if (g < 1)
            break;
        ++cuts[std::size_t(g)];
        for (int h = g + 1; h < k; ++h)
            cuts[std::size_t(h)] = cuts[std::size_t(h) - 1] + 1;
    }
    if (bestHere < 0 || (!bestRuns.empty() && bestHere >= bestTotal))
        return;
    std::vector<i64> runs(columns.size(), 0);
    std::vector<std::pair<int, i64>> built;
    for (int g = 0; g < k; ++g) {
        std::vector<char> member(n, 0);
        for (std::size_t j = bestCuts[std::size_t(g)]; j < bestCuts[std::size_t(g) + 1]; ++j)
            member[byQuantity[j]] = 1;
        std::optional<std::pair<i64, int>> best;
        for (bool a : {true, false})
            if (const auto r = stripTemplate(a, member, true);
                r && r->second >= 0 && (!best || r->first < best->first))
                best = r;
        if (!best)
            return;
        built.emplace_back(best->second, best->first);
    }
    runs.assign(columns.size(), 0);
    for (const auto &[column, run] : built)
        runs[std::size_t(column)] += run;
    // Checked in whole numbers: the built strips must give what the runs promise.
    for (std::size_t i = 0; i < n; ++i) {
        i64 made = 0;
        for (std::size_t t = 0; t < columns.size(); ++t)
            made += runs[t] * columns[t].slots[i];
        if (made < P.jobs[i].quantity)
            return;
    }
    if (const auto sum = total(runs); sum && (bestRuns.empty() || *sum < bestTotal)) {
        bestTotal = *sum;
        bestRuns = runs;
    }
}

int Planner::addGeometry(const KnapsackLayout &k) {
    if (k.root < 0 || pool.node(k.root).pieces == 0)
        return -1;
    Geometry g;
    g.root = k.root;
    Column c;
    c.slots = k.counts;
    // Count the pieces by size and job; shared sub-layouts are counted once each.
    using Tally = std::map<std::tuple<i64, i64, int>, i64>;
    std::map<int, Tally> memo;
    const auto count = [&](auto &self, int id) -> const Tally & {
        if (auto it = memo.find(id); it != memo.end())
            return it->second;
        Tally m;
        const CutNode &node = pool.node(id);
        if (node.kind == CutNode::Kind::Piece) {
            m[{node.width, node.depth, node.item}] = 1;
        } else if (node.kind == CutNode::Kind::Split) {
            m = self(self, node.first);
            for (const auto &[key, v] : self(self, node.second))
                m[key] += v;
        }
        return memo.emplace(id, std::move(m)).first->second;
    };
    std::map<std::pair<i64, i64>, std::size_t> classOf;
    for (const auto &[key, v] : count(count, k.root)) {
        const auto size = std::make_pair(std::get<0>(key), std::get<1>(key));
        auto [it, added] = classOf.emplace(size, g.classSize.size());
        if (added) {
            g.classSize.push_back(size);
            g.classCount.push_back(0);
            std::vector<int> jobs;
            for (std::size_t i = 0; i < n; ++i)
                if (std::find(ways[i].begin(), ways[i].end(), size) != ways[i].end())
                    jobs.push_back(static_cast<int>(i));
            g.classJobs.push_back(jobs);
            c.assign.emplace_back(n, 0);
        }
        g.classCount[it->second] += v;
        c.assign[it->second][std::size_t(std::get<2>(key))] += v;
    }
    geometries.push_back(std::move(g));
    c.geometry = static_cast<int>(geometries.size()) - 1;
    addColumn(std::move(c));
    return static_cast<int>(geometries.size()) - 1;
}

int Planner::addColumn(Column c) {
    if (bySlots.count(c.slots))
        return -1;
    bySlots.emplace(c.slots, static_cast<int>(columns.size()));
    columns.push_back(std::move(c));
    return static_cast<int>(columns.size()) - 1;
}

// The slots of one geometry given out so that it alone meets every quantity
// in the fewest run sheets, found by halving the run length.
std::optional<Column> Planner::bestSingleSplit(int geometry, i64 *run) {
    const Geometry &g = geometries[std::size_t(geometry)];
    const SlotFlow flow(g, n);
    const auto need = [&](i64 r) {
        std::vector<i64> d(n);
        for (std::size_t i = 0; i < n; ++i)
            d[i] = ceilDiv(P.jobs[i].quantity, r);
        return d;
    };
    i64 hi = 0;
    for (const GangJob &j : P.jobs)
        hi = std::max(hi, j.quantity);
    auto best = flow.split(need(hi));
    if (!best)
        return std::nullopt;
    i64 lo = 0; // infeasible below or at lo
    while (hi - lo > 1) {
        const i64 mid = lo + (hi - lo) / 2;
        if (auto s = flow.split(need(mid)))
            hi = mid, best = std::move(s);
        else
            lo = mid;
    }
    *run = hi;
    Column c;
    c.geometry = geometry;
    c.assign = std::move(*best);
    c.slots.assign(n, 0);
    for (std::size_t cl = 0; cl < g.classCount.size(); ++cl) {
        i64 used = 0;
        for (std::size_t i = 0; i < n; ++i)
            used += c.assign[cl][i];
        // Spare slots go to the job whose quantity they cover least.
        for (; used < g.classCount[cl] && !g.classJobs[cl].empty(); ++used) {
            int pick = g.classJobs[cl].front();
            double worst = -1;
            for (int j : g.classJobs[cl]) {
                const double share = double(P.jobs[std::size_t(j)].quantity) /
                                     double(1 + c.assign[cl][std::size_t(j)]);
                if (share > worst)
                    worst = share, pick = j;
            }
            ++c.assign[cl][std::size_t(pick)];
        }
        for (std::size_t i = 0; i < n; ++i)
            c.slots[i] += c.assign[cl][i];
    }
    return c;
}

// Every way of giving out the slots, while there are few.
void Planner::enumerateSplits(int geometry, std::size_t cap) {
    const Geometry &g = geometries[std::size_t(geometry)];
    double splits = 1;
    for (std::size_t cl = 0; cl < g.classCount.size(); ++cl) {
        const double m = double(g.classCount[cl]), k = double(g.classJobs[cl].size());
        double comb = 1;
        for (double t = 1; t < k; ++t)
            comb = comb * (m + t) / t;
        splits *= std::max(comb, 1.0);
    }
    if (splits > double(cap))
        return;
    Column c;
    c.geometry = geometry;
    c.assign.assign(g.classCount.size(), std::vector<i64>(n, 0));
    const auto walk = [&](auto &self, std::size_t cl, std::size_t k, i64 left) -> void {
        if (cl == g.classCount.size()) {
            Column out = c;
            out.slots.assign(n, 0);
            for (const auto &row : out.assign)
                for (std::size_t i = 0; i < n; ++i)
                    out.slots[i] += row[i];
            addColumn(std::move(out));
            return;
        }
        const auto &jobs = g.classJobs[cl];
        if (jobs.empty())
            return self(self, cl + 1, 0, cl + 1 < g.classCount.size() ? g.classCount[cl + 1] : 0);
        const auto j = std::size_t(jobs[k]);
        if (k + 1 == jobs.size()) {
            c.assign[cl][j] = left;
            self(self, cl + 1, 0, cl + 1 < g.classCount.size() ? g.classCount[cl + 1] : 0);
            c.assign[cl][j] = 0;
            return;
        }
        for (i64 v = 0; v <= left; ++v) {
            c.assign[cl][j] = v;
            self(self, cl, k + 1, left - v);
        }
        c.assign[cl][j] = 0;
    };
    walk(walk, 0, 0, g.classCount.empty() ? 0 : g.classCount[0]);
}

// The linear relaxation over all templates, its columns priced by the knapsack
// with the duals. Returns a lower bound on the run sheets of any plan: the
// duals scaled down until no template prices above one sheet are a feasible
// dual solution, so the bound holds even when the loop is stopped early.
double Planner::columnGeneration() {
    double bound = 0;
    for (int iteration = 0; iteration < 500; ++iteration) {
        SolverModel m;
        for (std::size_t t = 0; t < columns.size(); ++t)
            m.addColumn(1, 0, inf, false);
        for (std::size_t i = 0; i < n; ++i) {
            SolverModel::Row row;
            for (std::size_t t = 0; t < columns.size(); ++t)
                if (columns[t].slots[i] > 0) {
                    row.columns.push_back(static_cast<int>(t));
                    row.values.push_back(double(columns[t].slots[i]));
                }
            row.lower = double(P.jobs[i].quantity);
            row.upper = inf;
            m.rows.push_back(std::move(row));
        }
        const SolverResult lp = solver.solveLp(m);
        if (lp.status != SolverResult::Status::Optimal || lp.duals.size() != n)
            return bound;
        std::vector<double> duals(n);
        for (std::size_t i = 0; i < n; ++i)
            duals[i] = std::max(0.0, lp.duals[i]);
        lastDuals = duals;
        lastX = lp.x;
        const KnapsackLayout priced = knapsack(duals);
        double dualValue = 0;
        for (std::size_t i = 0; i < n; ++i)
            dualValue += duals[i] * double(P.jobs[i].quantity);
        bound = std::max(bound, dualValue / std::max(1.0, priced.upperBound));
        const int before = static_cast<int>(columns.size());
        if (priced.value > 1 + 1e-9)
            addGeometry(priced);
        if (static_cast<int>(columns.size()) == before) {
            if (priced.exact && priced.value <= 1 + 1e-9)
                boundConverged = true;
            return bound;
        }
        if (stopped() || pastShare(0.35))
            return bound;
    }
    return bound;
}

// The fewest run sheets one template alone can need. For any weights, the
// weighted pieces a template holds are at most the best weighted layout's, so a
// run r is too short when the shares ceil(quantity / r) weigh more. Nothing
// when no template can hold every job.
std::optional<i64> Planner::oneTemplateRun() {
    std::vector<std::vector<double>> weights{std::vector<double>(n, 1.0), lastDuals};
    std::vector<double> area(n);
    for (std::size_t i = 0; i < n; ++i) {
        area[i] = double(ways[i].front().first) * double(ways[i].front().second);
        std::vector<double> only(n, 0);
        only[i] = 1;
        weights.push_back(only);
    }
    weights.push_back(area);
    CutTree scratch(static_cast<i64>(scale));
    std::vector<double> most;
    for (auto &w : weights) {
        w.resize(n, 0);
        most.push_back(knapsack(w, uw, ud, scratch).upperBound);
    }
    const auto possible = [&](i64 r) {
        for (std::size_t k = 0; k < weights.size(); ++k) {
            double share = 0;
            for (std::size_t i = 0; i < n; ++i)
                share += weights[k][i] * double(ceilDiv(P.jobs[i].quantity, r));
            if (share > most[k] * (1 + 1e-9) + 1e-9)
                return false;
        }
        return true;
    };
    i64 hi = 0;
    for (const GangJob &j : P.jobs)
        hi = std::max(hi, j.quantity);
    if (!possible(hi))
        return std::nullopt;
    for (i64 lo = 0; hi - lo > 1;) {
        const i64 mid = lo + (hi - lo) / 2;
        (possible(mid) ? hi : lo) = mid;
    }
    return hi;
}

// Templates for one template alone: the knapsack's values corrected towards
// the jobs that hold the run back, each geometry's slots given out at best.
void Planner::singleTemplateSearch() {
    std::vector<double> values(n);
    for (std::size_t i = 0; i < n; ++i)
        values[i] = double(P.jobs[i].quantity);
    for (int round = 0; round < 12 && !stopped() && !pastShare(0.5); ++round) {
        double sum = 0;
        for (double v : values)
            sum += v;
        for (double &v : values)
            v /= sum;
        const int g = addGeometry(knapsack(values));
        const int last = g >= 0 ? g : static_cast<int>(geometries.size()) - 1;
        if (last < 0)
            return;
        i64 run = 0;
        const auto split = bestSingleSplit(last, &run);
        if (split)
            addColumn(*split);
        const Column &c = split ? *split : columns.back();
        for (std::size_t i = 0; i < n; ++i) {
            const double need = double(P.jobs[i].quantity) / double(std::max<i64>(c.slots[i], 1));
            values[i] *= c.slots[i] == 0 ? 4.0 : std::sqrt(need / double(std::max<i64>(run, 1)));
        }
    }
}

std::optional<i64> Planner::total(const std::vector<i64> &runs) const {
    i64 sum = 0;
    for (i64 r : runs) {
        if (r == 0)
            continue;
        const auto s = withSpoilage(r, P.spoilagePct);
        if (!s || *s > std::numeric_limits<i64>::max() / 4)
            return std::nullopt;
        sum += *s + P.makeReady;
    }
    return sum;
}

// Run lengths for at most k of the columns, by the integer solver.
std::optional<std::vector<i64>> Planner::integerStep(const std::vector<std::size_t> &chosen, int k,
                                                     std::chrono::milliseconds budget, i64 toBeat,
                                                     bool *cutShort) {
    SolverModel m;
    // Totals are whole sheets: only a plan at least one sheet better is wanted.
    if (toBeat > 0)
        m.cutoff = double(toBeat) - 0.5;
    const std::size_t T = columns.size();
    std::vector<int> runVar(T, -1), useVar(T, -1);
    for (std::size_t t : chosen) {
        i64 most = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (columns[t].slots[i] > 0)
                most = std::max(most, ceilDiv(P.jobs[i].quantity, columns[t].slots[i]));
        runVar[t] = m.addColumn(1, 0, double(most), true);
        useVar[t] = m.addColumn(double(P.makeReady), 0, 1, true);
        const int spoil = m.addColumn(1, 0, inf, true);
        m.rows.push_back({{runVar[t], useVar[t]}, {1.0, -double(most)}, -inf, 0});
        m.rows.push_back({{spoil, runVar[t]}, {1.0, -P.spoilagePct / 100}, 0, inf});
    }
    for (std::size_t i = 0; i < n; ++i) {
        SolverModel::Row row;
        for (std::size_t t : chosen)
            if (columns[t].slots[i] > 0) {
                row.columns.push_back(runVar[t]);
                row.values.push_back(double(columns[t].slots[i]));
            }
        row.lower = double(P.jobs[i].quantity);
        row.upper = inf;
        m.rows.push_back(std::move(row));
    }
    SolverModel::Row limit;
    for (std::size_t t : chosen) {
        limit.columns.push_back(useVar[t]);
        limit.values.push_back(1);
    }
    limit.lower = 0;
    limit.upper = k;
    m.rows.push_back(std::move(limit));
    const SolverResult r = solver.solveMip(m, budget, opt.cancel);
    *cutShort =
        r.status != SolverResult::Status::Optimal && r.status != SolverResult::Status::Infeasible;
    if (r.status != SolverResult::Status::Optimal && r.status != SolverResult::Status::Feasible)
        return std::nullopt;
    std::vector<i64> runs(T, 0);
    for (std::size_t t : chosen)
        runs[t] = std::max<i64>(0, std::llround(r.x[std::size_t(runVar[t])]));
    // The solver's tolerances are not trusted: every quantity is checked in whole numbers.
    for (std::size_t i = 0; i < n; ++i) {
        i64 made = 0;
        for (std::size_t t = 0; t < T; ++t)
            made += runs[t] * columns[t].slots[i];
        if (made < P.jobs[i].quantity)
            return std::nullopt;
    }
    return runs;
}

GangTemplate Planner::materialise(const Column &c, i64 run) {
    const Geometry &g = geometries[std::size_t(c.geometry)];
    GangTemplate out;
    out.tree = CutTree(static_cast<i64>(scale));
    out.jobSlots = c.slots;
    out.run = run;
    std::vector<std::vector<int>> queue(g.classCount.size());
    for (std::size_t cl = 0; cl < g.classCount.size(); ++cl)
        for (std::size_t i = 0; i < n; ++i)
            queue[cl].insert(queue[cl].end(), std::size_t(c.assign[cl][i]), static_cast<int>(i));
    std::vector<std::size_t> next(g.classCount.size(), 0);
    CutTree &t = out.tree;
    const auto copy = [&](auto &self, int id) -> int {
        const CutNode &node = pool.node(id);
        if (node.kind == CutNode::Kind::Waste)
            return t.waste(node.width, node.depth);
        if (node.kind == CutNode::Kind::Split) {
            const int first = self(self, node.first);
            return t.split(node.axis, node.offset, first, self(self, node.second));
        }
        const auto cl = std::size_t(std::find(g.classSize.begin(), g.classSize.end(),
                                              std::make_pair(node.width, node.depth)) -
                                    g.classSize.begin());
        return t.piece(node.width, node.depth, queue[cl][next[cl]++]);
    };
    int content = copy(copy, g.root);
    if (uy > 0)
        content = t.split(CutAxis::Y, uy, t.waste(sheetW, uy), content);
    else if (ux > 0)
        content = t.split(CutAxis::X, ux, t.waste(ux, sheetD), content);
    t.setRoot(content);
    out.pressSheets = *total({run});
    return out;
}

GangPlan Planner::run() {
    GangPlan plan;
    plan.byTemplates.assign(std::size_t(std::max(P.maxTemplates, 0)), 0);
    if (n == 0)
        return plan;
    plan.status = GangPlan::Status::BadInput;
    if (P.maxTemplates < 1 || P.makeReady < 0 || !std::isfinite(P.spoilagePct) ||
        P.spoilagePct < 0 || !toUnits(plan))
        return plan;
    plan.sheetWidth = pool.toSheet(sheetW);
    plan.sheetDepth = pool.toSheet(sheetD);
    plan.usable = {pool.toSheet(ux), pool.toSheet(uy), pool.toSheet(uw), pool.toSheet(ud)};
    progress(0);

    // One job alone on a sheet: every job must fit, and these columns make the
    // relaxation feasible from the start.
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<double> only(n, 0);
        only[i] = 1;
        const KnapsackLayout alone = knapsack(only);
        addGeometry(alone);
        if (alone.counts[i] == 0) {
            plan.status = GangPlan::Status::DoesNotFit;
            plan.badJob = static_cast<int>(i);
            return plan;
        }
    }
    // The fewest templates any plan needs: a sheet holds so many pieces at most.
    const KnapsackLayout most = knapsack(std::vector<double>(n, 1.0));
    const i64 mostPieces = std::max<i64>(1, static_cast<i64>(std::floor(most.upperBound + 1e-9)));
    const i64 fewest = ceilDiv(static_cast<i64>(n), mostPieces);
    progress(5);

    const double runBound = columnGeneration();
    if (stopped())
        return plan.status = GangPlan::Status::Cancelled, plan;
    progress(35);
    // Whole run sheets, so the bound rounds up; a hair of slack for the LP's arithmetic.
    const i64 runs = static_cast<i64>(std::ceil(runBound - 1e-6 * std::max(1.0, runBound)));
    // One template takes one make-ready and a run no shorter than its shares
    // allow; more take two or more make-readies and the relaxation's run sheets.
    const i64 relaxed = withSpoilage(std::max<i64>(runs, 0), P.spoilagePct).value_or(0);
    std::optional<i64> bound;
    if (fewest <= 1)
        if (const auto one = oneTemplateRun()) {
            bound = withSpoilage(std::max(*one, runs), P.spoilagePct).value_or(0) + P.makeReady;
            plan.boundOneTemplate = true;
        }
    const i64 more = std::max<i64>(2, fewest);
    if (P.maxTemplates >= more && (!bound || relaxed + P.makeReady * more < *bound)) {
        bound = relaxed + P.makeReady * more;
        plan.boundOneTemplate = false;
    }
    if (!bound) {
        plan.status = GangPlan::Status::TooFewLayouts;
        return plan;
    }
    plan.lowerBound = *bound;
    plan.boundConverged = boundConverged;

    // Small sheets and few pieces: every layout no other beats for every job.
    {
        std::vector<KnapsackPiece> pieces;
        for (std::size_t i = 0; i < n; ++i)
            for (const auto &[a, b] : ways[i])
                pieces.push_back({a, b, 1, static_cast<int>(i)});
        if (const auto all = paretoLayouts(uw, ud, pieces, n, pool))
            for (const KnapsackLayout &l : *all)
                addGeometry(l);
    }
    stripTemplate(true, std::vector<char>(n, 1), true);
    stripTemplate(false, std::vector<char>(n, 1), true);
    singleTemplateSearch();
    if (stopped())
        return plan.status = GangPlan::Status::Cancelled, plan;
    for (std::size_t g = 0; g < geometries.size(); ++g) {
        i64 r = 0;
        if (auto c = bestSingleSplit(static_cast<int>(g), &r))
            addColumn(std::move(*c));
        if (columns.size() < 600)
            enumerateSplits(static_cast<int>(g), 600 - columns.size());
    }
    progress(50);

    // One template: the run is set by the job it covers least, no solver needed.
    std::vector<i64> bestRuns;
    i64 bestTotal = 0;
    std::vector<std::pair<i64, std::size_t>> singles;
    for (std::size_t t = 0; t < columns.size(); ++t) {
        i64 r = 0;
        bool covers = true;
        for (std::size_t i = 0; i < n && covers; ++i) {
            covers = columns[t].slots[i] > 0;
            if (covers)
                r = std::max(r, ceilDiv(P.jobs[i].quantity, columns[t].slots[i]));
        }
        std::vector<i64> runsOf(columns.size(), 0);
        runsOf[t] = r;
        const auto sum = covers ? total(runsOf) : std::nullopt;
        if (sum)
            singles.emplace_back(*sum, t);
        if (sum && (bestRuns.empty() || *sum < bestTotal))
            bestTotal = *sum, bestRuns = std::move(runsOf);
    }
    std::sort(singles.begin(), singles.end());
    // The relaxation's templates, most used first, then the best single ones.
    std::vector<std::size_t> ranked;
    for (std::size_t t = 0; t < lastX.size(); ++t)
        if (lastX[t] > 1e-9)
            ranked.push_back(t);
    std::sort(ranked.begin(), ranked.end(), [&](auto a, auto b) { return lastX[a] > lastX[b]; });
    std::vector<std::size_t> mipPool;
    std::vector<char> inPool(columns.size(), 0);
    const auto take = [&](std::size_t t) {
        if (!inPool[t])
            inPool[t] = 1, mipPool.push_back(t);
    };
    for (std::size_t t : ranked)
        take(t);
    for (std::size_t k = 0; k < singles.size() && k < 40; ++k)
        take(singles[k].second);
    if (columns.size() <= 300)
        for (std::size_t t = 0; t < columns.size(); ++t)
            take(t);
    if (!bestRuns.empty())
        plan.byTemplates[0] = bestTotal;

    for (int k = 2; k <= P.maxTemplates; ++k) {
        if (stopped())
            return plan.status = GangPlan::Status::Cancelled, plan;
        if (!bestRuns.empty() && bestTotal == plan.lowerBound) {
            plan.byTemplates[std::size_t(k - 1)] = bestTotal; // no more plates can help
            continue;
        }
        const auto left = opt.budget - std::chrono::duration_cast<std::chrono::milliseconds>(
                                           Clock::now() - start);
        const auto share =
            std::max(std::chrono::milliseconds(50), left / std::max(1, P.maxTemplates - k + 1));
        const auto consider = [&](const std::optional<std::vector<i64>> &found) {
            const auto sum = found ? total(*found) : std::nullopt;
            if (sum && (bestRuns.empty() || *sum < bestTotal))
                bestTotal = *sum, bestRuns = *found;
        };
        // A quick plan first from the relaxation's most used templates, so the
        // whole pool is searched only for something better.
        groupedPlans(k, bestRuns, bestTotal);
        bool quickShort = false;
        for (std::size_t withSingle = 0; withSingle < 2; ++withSingle) {
            std::vector<std::size_t> few;
            if (withSingle && !singles.empty())
                few.push_back(singles.front().second);
            for (std::size_t t : ranked)
                if (few.size() < std::size_t(k) &&
                    std::find(few.begin(), few.end(), t) == few.end())
                    few.push_back(t);
            if (!few.empty())
                consider(
                    integerStep(few, k, share / 10, bestRuns.empty() ? 0 : bestTotal, &quickShort));
        }
        bool cutShort = false;
        consider(integerStep(mipPool, k, share, bestRuns.empty() ? 0 : bestTotal, &cutShort));
        plan.integerCutShort |= cutShort;
        if (!bestRuns.empty())
            plan.byTemplates[std::size_t(k - 1)] = bestTotal;
        progress(50 + 50 * (k - 1) / std::max(1, P.maxTemplates - 1));
    }
    if (stopped())
        return plan.status = GangPlan::Status::Cancelled, plan;
    if (bestRuns.empty()) {
        plan.status = GangPlan::Status::TooFewLayouts;
        return plan;
    }

    plan.status = GangPlan::Status::Planned;
    bestRuns.resize(columns.size(), 0);
    plan.produced.assign(n, 0);
    for (std::size_t t = 0; t < columns.size(); ++t) {
        if (bestRuns[t] == 0)
            continue;
        plan.templates.push_back(materialise(columns[t], bestRuns[t]));
        plan.runSheets += bestRuns[t];
        for (std::size_t i = 0; i < n; ++i)
            plan.produced[i] += bestRuns[t] * columns[t].slots[i];
    }
    std::sort(plan.templates.begin(), plan.templates.end(),
              [](const GangTemplate &a, const GangTemplate &b) { return a.run > b.run; });
    plan.pressSheets = bestTotal;
    progress(100);
    return plan;
}

GangPlan planGang(const GangProblem &problem, GangSolver &solver, const GangOptions &options) {
    return Planner(problem, solver, options).run();
}

} // namespace sheetcraft
