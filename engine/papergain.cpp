#include "papergain.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <tuple>

namespace sheetcraft {

namespace {

// Each kind tries at most this many candidates, nearest first.
constexpr std::size_t candidateLimit = 48;
constexpr double tiny = 1e-9;

double down4(double v) {
    return std::floor(v * 10000 + 1e-6) / 10000;
}

// Every length i*a + j*b (i, j >= 0) within (low, high]: the only places where
// a sheet side, grown or freed, can take one more row of pieces.
std::vector<double> sums(double a, double b, double low, double high) {
    std::vector<double> out;
    if (a <= 0 || b <= 0 || high <= low)
        return out;
    for (std::int64_t i = 0; i * a <= high + tiny && out.size() < 100000; ++i) {
        const double rest = i * a;
        auto j = static_cast<std::int64_t>(std::max(0.0, std::floor((low - rest) / b)));
        for (; rest + j * b <= high + tiny; ++j)
            if (rest + j * b > low + tiny)
                out.push_back(rest + j * b);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end(),
                          [](double x, double y) { return std::fabs(x - y) < tiny; }),
              out.end());
    return out;
}

GrainRule turned(GrainRule g) {
    return g == GrainRule::Along    ? GrainRule::Across
           : g == GrainRule::Across ? GrainRule::Along
                                    : g;
}

// The problem on a press sheet of sides w x d as the sheet lies now: the
// gripper stays on the same edge and the grain with the same side.
LayoutProblem onSheet(LayoutProblem p, double w, double d) {
    if (d > w) {
        std::swap(w, d);
        p.gripperOnWidth = !p.gripperOnWidth;
        p.grain = turned(p.grain);
    }
    p.sheetWidth = w;
    p.sheetDepth = d;
    return p;
}

struct Search {
    std::chrono::milliseconds budget;
    std::int64_t now;
    std::chrono::steady_clock::time_point deadline;
    // The first candidate that gains, or nothing.
    template <typename Make> std::optional<Gain> first(std::size_t n, Make make) {
        for (std::size_t i = 0;
             i < n && i < candidateLimit && std::chrono::steady_clock::now() < deadline; ++i) {
            auto [problem, gain] = make(i);
            gain.count = countPieces(problem, budget);
            if (gain.count.count > now)
                return gain;
        }
        return std::nullopt;
    }
};

} // namespace

const char *gainKindText(GainKind kind) {
    switch (kind) {
    case GainKind::GripperEdge:
        return "gripperEdge";
    case GainKind::Gripper:
        return "gripper";
    case GainKind::Trim:
        return "trim";
    case GainKind::PressSize:
        return "pressSize";
    case GainKind::Stock:
        return "stock";
    }
    return "";
}

std::string gainLine(const Gain &g) {
    // A count the search did not prove says so.
    const std::string label = g.count.proven ? "" : std::string(" (") + countLabel(g.count) + ")";
    return std::to_string(g.count.count) + " up" + label + " " + g.change;
}

GainAnswer findGains(const GainQuestion &q, std::chrono::milliseconds budget) {
    GainAnswer answer;
    const LayoutProblem &p = q.problem;
    answer.now = countPieces(p, budget);
    Search search{budget, answer.now.count, std::chrono::steady_clock::now() + q.total};
    const double g = std::max(0.0, p.gripper);
    const double pieceLong = std::max(p.pieceWidth, p.pieceDepth);
    const double pieceShort = std::min(p.pieceWidth, p.pieceDepth);
    if (pieceShort <= 0 || p.sheetDepth <= 0)
        return answer;
    const double edgeNow = p.gripperOnWidth ? p.sheetWidth : p.sheetDepth;
    const double edgeOther = p.gripperOnWidth ? p.sheetDepth : p.sheetWidth;

    if (g > 0) {
        LayoutProblem other = p;
        other.gripperOnWidth = !p.gripperOnWidth;
        Gain edge;
        edge.kind = GainKind::GripperEdge;
        edge.change = "with the gripper on the " + sizeNumber(edgeOther) + " edge (now the " +
                      sizeNumber(edgeNow) + " edge)";
        edge.count = countPieces(other, budget);
        if (edge.count.count > answer.now.count)
            answer.gains.push_back(edge);

        // The gripper eats into the side across its edge; freeing that side
        // to the next sum of piece sides is the least that can help.
        const double side = p.gripperOnWidth ? p.sheetDepth : p.sheetWidth;
        const auto lengths = sums(pieceLong, pieceShort, side - g, side);
        if (auto found = search.first(lengths.size(), [&](std::size_t i) {
                LayoutProblem less = p;
                less.gripper = std::max(0.0, down4(side - lengths[i]));
                Gain gain;
                gain.kind = GainKind::Gripper;
                gain.value = less.gripper;
                gain.change = "with a gripper of " + sizeNumber(less.gripper) + " (now " +
                              sizeNumber(g) + ")";
                return std::pair(less, gain);
            }))
            answer.gains.push_back(*found);
    }

    if (q.trimLimit > 0) {
        // A piece side fits one more time where i * side + j * other side
        // meets a usable side exactly.
        const double usable[2] = {p.sheetWidth - (p.gripperOnWidth ? 0 : g),
                                  p.sheetDepth - (p.gripperOnWidth ? g : 0)};
        struct Trim {
            double side, now;
            bool width;
        };
        std::vector<Trim> trims;
        for (const bool width : {true, false}) {
            const double x = width ? p.pieceWidth : p.pieceDepth;
            const double y = width ? p.pieceDepth : p.pieceWidth;
            const double lowest = std::max(x - q.trimLimit, x / 2);
            for (const double v : usable)
                for (std::int64_t i = 1; i * lowest <= v + tiny && trims.size() < 100000; ++i)
                    // Only the j that leave a side between the limit and now.
                    for (auto j = static_cast<std::int64_t>(
                             std::max(0.0, std::floor((v - static_cast<double>(i) * x) / y)));
                         j * y <= v - static_cast<double>(i) * lowest + tiny; ++j) {
                        const double side = down4((v - j * y) / static_cast<double>(i));
                        if (side < x - tiny && side >= lowest - tiny)
                            trims.push_back({side, x, width});
                    }
        }
        std::sort(trims.begin(), trims.end(), [](const Trim &a, const Trim &b) {
            return std::tuple(a.now - a.side, !a.width) < std::tuple(b.now - b.side, !b.width);
        });
        if (auto found = search.first(trims.size(), [&](std::size_t i) {
                LayoutProblem less = p;
                (trims[i].width ? less.pieceWidth : less.pieceDepth) = trims[i].side;
                Gain gain;
                gain.kind = GainKind::Trim;
                gain.value = trims[i].side;
                gain.change = "with the piece's " + sizeNumber(trims[i].now) + " side trimmed to " +
                              sizeNumber(trims[i].side) + " (trim limit " +
                              sizeNumber(q.trimLimit) + ")";
                return std::pair(less, gain);
            }))
            answer.gains.push_back(*found);
    }

    {
        // A press sheet grown in one side to the next sum of piece sides,
        // within the press's largest sheet.
        struct Grow {
            double w, d;
        };
        std::vector<Grow> grows;
        const double limit = std::max(q.press.maxWidth, q.press.maxDepth);
        const double gw = p.gripperOnWidth ? 0 : g, gd = p.gripperOnWidth ? g : 0;
        for (double c : sums(pieceLong, pieceShort, p.sheetWidth - gw, limit))
            grows.push_back({c + gw, p.sheetDepth});
        for (double c : sums(pieceLong, pieceShort, p.sheetDepth - gd, limit))
            grows.push_back({p.sheetWidth, c + gd});
        std::erase_if(grows, [&](const Grow &s) { return !q.press.fits(s.w, s.d); });
        std::stable_sort(grows.begin(), grows.end(),
                         [&](const Grow &a, const Grow &b) { return a.w + a.d < b.w + b.d; });
        if (auto found = search.first(grows.size(), [&](std::size_t i) {
                const double w = down4(grows[i].w + 1e-7), d = down4(grows[i].d + 1e-7);
                Gain gain;
                gain.kind = GainKind::PressSize;
                gain.value = std::max(w, d);
                gain.value2 = std::min(w, d);
                gain.size = sizeNumber(gain.value2) + "x" + sizeNumber(gain.value);
                gain.change = "on a " + gain.size + " press sheet (now " +
                              sizeNumber(p.sheetDepth) + "x" + sizeNumber(p.sheetWidth) + ")";
                return std::pair(onSheet(p, w, d), gain);
            }))
            answer.gains.push_back(*found);
    }

    {
        // The next larger stock sheet, or a division of one, that the press takes.
        struct Sheet {
            double w, d;
            std::size_t stock;
            int across, down;
        };
        std::vector<Sheet> sheets;
        for (std::size_t i = 0; i < q.stock.size(); ++i)
            for (int a = 1; a <= 4; ++a)
                for (int b = 1; b <= 4; ++b) {
                    const double w = down4(q.stock[i].width / a + 1e-7);
                    const double d = down4(q.stock[i].depth / b + 1e-7);
                    if (q.press.fits(w, d) && w * d > p.sheetWidth * p.sheetDepth + tiny &&
                        std::max(w, d) + tiny >= p.sheetWidth &&
                        std::min(w, d) + tiny >= p.sheetDepth)
                        sheets.push_back({std::max(w, d), std::min(w, d), i, a, b});
                }
        std::stable_sort(sheets.begin(), sheets.end(),
                         [](const Sheet &a, const Sheet &b) { return a.w * a.d < b.w * b.d; });
        if (auto found = search.first(sheets.size(), [&](std::size_t i) {
                const Sheet &s = sheets[i];
                const StockSheet &stock = q.stock[s.stock];
                Gain gain;
                gain.kind = GainKind::Stock;
                gain.value = s.w;
                gain.value2 = s.d;
                gain.size = sizeNumber(s.d) + "x" + sizeNumber(s.w);
                gain.change = "on " + gain.size + " from the stock sheet " + stock.name;
                if (s.across * s.down > 1)
                    gain.change +=
                        " cut " + std::to_string(s.across) + " x " + std::to_string(s.down);
                LayoutProblem on = p;
                on.sheetWidth = s.w;
                on.sheetDepth = s.d;
                return std::pair(on, gain);
            }))
            answer.gains.push_back(*found);
    }
    return answer;
}

} // namespace sheetcraft
