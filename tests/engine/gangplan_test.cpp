#include "bestlayout.h"
#include "coinsolver.h"
#include "gangplan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>

using namespace sheetcraft;

namespace {

using i64 = std::int64_t;
using Counts = std::vector<i64>;

GangPlan plan(const GangProblem &p, int budgetMs = 3000) {
    CoinSolver solver;
    GangOptions o;
    o.budget = std::chrono::milliseconds(budgetMs);
    return planGang(p, solver, o);
}

// The pieces of a template lie inside the usable sheet, never overlap, lie as
// their job's grain allows; the runs meet every quantity and add up.
void expectSound(const GangProblem &p, const GangPlan &g) {
    ASSERT_EQ(g.status, GangPlan::Status::Planned);
    Counts produced(p.jobs.size(), 0);
    i64 total = 0;
    for (const GangTemplate &t : g.templates) {
        const auto pieces = gangPieces(t.tree);
        Counts slots(p.jobs.size(), 0);
        for (std::size_t a = 0; a < pieces.size(); ++a) {
            const SheetRect &r = pieces[a].rect;
            const GangJob &job = p.jobs[std::size_t(pieces[a].job)];
            ++slots[std::size_t(pieces[a].job)];
            EXPECT_GE(r.x, g.usable.x - 1e-9);
            EXPECT_GE(r.y, g.usable.y - 1e-9);
            EXPECT_LE(r.x + r.width, g.usable.x + g.usable.width + 1e-9);
            EXPECT_LE(r.y + r.depth, g.usable.y + g.usable.depth + 1e-9);
            EXPECT_NEAR(std::max(r.width, r.depth), std::max(job.width, job.depth), 1e-9);
            if (job.grain != GrainRule::Any && job.width != job.depth) {
                EXPECT_EQ(r.width > r.depth, job.grain == GrainRule::Along);
            }
            for (std::size_t b = 0; b < a; ++b) {
                const SheetRect &o = pieces[b].rect;
                EXPECT_FALSE(r.x < o.x + o.width - 1e-9 && o.x < r.x + r.width - 1e-9 &&
                             r.y < o.y + o.depth - 1e-9 && o.y < r.y + r.depth - 1e-9);
            }
        }
        EXPECT_EQ(slots, t.jobSlots);
        for (std::size_t i = 0; i < slots.size(); ++i)
            produced[i] += slots[i] * t.run;
        total += t.pressSheets;
    }
    EXPECT_EQ(produced, g.produced);
    EXPECT_EQ(total, g.pressSheets);
    for (std::size_t i = 0; i < p.jobs.size(); ++i)
        EXPECT_GE(produced[i], p.jobs[i].quantity) << p.jobs[i].name;
    EXPECT_LE(g.lowerBound, g.pressSheets);
    EXPECT_LE(static_cast<int>(g.templates.size()), p.maxTemplates);
}

TEST(GangPlan, OneJobTakesTheBestLayoutsCount) {
    struct Case {
        double w, d, gripper;
        GrainRule grain;
        i64 quantity;
    } cases[] = {{3.5, 2, 0, GrainRule::Any, 5000},
                 {4, 6, 0.5, GrainRule::Along, 1234},
                 {5, 7, 0.375, GrainRule::Across, 999}};
    for (const Case &c : cases) {
        GangProblem p{28, 40, c.gripper, true, {{"a", c.w, c.d, c.quantity, c.grain}}, 0, 0, 2};
        const GangPlan g = plan(p);
        expectSound(p, g);
        const BestLayout best =
            bestLayout({40, 28, c.w, c.d, c.gripper, true, c.grain}, {std::chrono::seconds(5)});
        ASSERT_EQ(g.templates.size(), 1u);
        EXPECT_EQ(g.runSheets, (c.quantity + best.layout.count - 1) / best.layout.count);
        EXPECT_TRUE(g.optimal());
    }
}

// Every slot count a guillotine layout of a small whole-unit sheet takes,
// the largest ones only, by trying every whole cut.
std::set<Counts> layouts(int w, int d, const std::vector<GangJob> &jobs) {
    std::map<std::pair<int, int>, std::set<Counts>> memo;
    const auto keepLargest = [](std::set<Counts> s) {
        std::set<Counts> out;
        for (const Counts &a : s)
            if (std::none_of(s.begin(), s.end(), [&](const Counts &b) {
                    return b != a && std::equal(a.begin(), a.end(), b.begin(), std::less_equal<>());
                }))
                out.insert(a);
        return out;
    };
    const auto go = [&](auto &self, int x, int y) -> std::set<Counts> {
        if (auto it = memo.find({x, y}); it != memo.end())
            return it->second;
        std::set<Counts> s{Counts(jobs.size(), 0)};
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            const int L = int(std::max(jobs[i].width, jobs[i].depth));
            const int S = int(std::min(jobs[i].width, jobs[i].depth));
            if ((jobs[i].grain != GrainRule::Across && x >= L && y >= S) ||
                (jobs[i].grain != GrainRule::Along && x >= S && y >= L)) {
                Counts one(jobs.size(), 0);
                one[i] = 1;
                s.insert(one);
            }
        }
        const auto join = [&](const std::set<Counts> &a, const std::set<Counts> &b) {
            for (const Counts &u : a)
                for (const Counts &v : b) {
                    Counts sum(u.size());
                    for (std::size_t i = 0; i < u.size(); ++i)
                        sum[i] = u[i] + v[i];
                    s.insert(sum);
                }
        };
        for (int c = 1; c <= x / 2; ++c)
            join(self(self, c, y), self(self, x - c, y));
        for (int c = 1; c <= y / 2; ++c)
            join(self(self, x, c), self(self, x, y - c));
        return memo[{x, y}] = keepLargest(s);
    };
    return go(go, w, d);
}

i64 sheets(i64 run, const GangProblem &p) {
    if (run == 0)
        return 0;
    return run + (run * i64(std::lround(p.spoilagePct)) + 99) / 100 + p.makeReady;
}

// The fewest press sheets with one template, and with up to two, over every
// slot count: the second run follows from the first.
std::pair<i64, i64> bruteForce(const GangProblem &p, const std::set<Counts> &all) {
    const std::vector<Counts> v(all.begin(), all.end());
    i64 one = -1, two = -1;
    const auto better = [](i64 &best, i64 t) { best = best < 0 ? t : std::min(best, t); };
    i64 most = 0;
    for (const GangJob &j : p.jobs)
        most = std::max(most, j.quantity);
    for (const Counts &a : v) {
        i64 r = 0;
        bool covers = true;
        for (std::size_t i = 0; i < a.size(); ++i) {
            covers &= a[i] > 0;
            if (a[i] > 0)
                r = std::max(r, (p.jobs[i].quantity + a[i] - 1) / a[i]);
        }
        if (covers)
            better(one, sheets(r, p));
        for (const Counts &b : v)
            for (i64 r1 = 1; r1 <= most; ++r1) {
                i64 r2 = 0;
                bool ok = true;
                for (std::size_t i = 0; i < a.size() && ok; ++i) {
                    const i64 left = p.jobs[i].quantity - a[i] * r1;
                    if (left > 0)
                        ok = b[i] > 0, r2 = ok ? std::max(r2, (left + b[i] - 1) / b[i]) : r2;
                }
                if (ok)
                    better(two, sheets(r1, p) + sheets(r2, p));
            }
    }
    if (one >= 0)
        better(two, one);
    return {one, two};
}

TEST(GangPlan, BoundAndPlanAgainstExhaustiveSearch) {
    std::mt19937 random(19);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
    for (int round = 0; round < 24; ++round) {
        // Every third case has jobs of one size: any split of the slots is a template.
        const bool sameSize = round % 3 == 0;
        GangProblem p;
        p.sheetWidth = pick(4, 7);
        p.sheetDepth = pick(3, 4);
        p.spoilagePct = pick(0, 1) * 10;
        p.makeReady = pick(0, 6);
        p.maxTemplates = pick(1, 2);
        const int jobs = pick(2, 3);
        const double w = pick(1, 3), d = pick(1, 2);
        for (int i = 0; i < jobs; ++i)
            p.jobs.push_back({std::string(1, char('a' + i)), sameSize ? w : pick(1, 3),
                              sameSize ? d : pick(1, 2), pick(1, 60),
                              sameSize ? GrainRule::Any : static_cast<GrainRule>(pick(0, 2))});
        const auto [one, two] =
            bruteForce(p, layouts(int(p.sheetWidth), int(p.sheetDepth), p.jobs));
        const i64 exact = p.maxTemplates == 1 ? one : two;
        const GangPlan g = plan(p);
        SCOPED_TRACE(round);
        if (exact < 0) {
            EXPECT_NE(g.status, GangPlan::Status::Planned);
            continue;
        }
        expectSound(p, g);
        EXPECT_LE(g.lowerBound, exact);
        EXPECT_GE(g.pressSheets, exact);
        if (g.optimal() || sameSize) {
            EXPECT_EQ(g.pressSheets, exact);
        }
        EXPECT_EQ(g.byTemplates.back(), g.pressSheets);
        if (sameSize) {
            EXPECT_EQ(g.byTemplates.front(), one < 0 ? 0 : one);
        }
    }
}

} // namespace
