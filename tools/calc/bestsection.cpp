#include "bestsection.h"

#include "cutsteps.h"

#include <QJsonArray>

#include <cmath>

namespace sheetcraft {

namespace {

void printLines(QTextStream &out, const std::vector<std::string> &lines) {
    for (const std::string &line : lines)
        out << QString::fromStdString(line) << "\n";
}

} // namespace

QJsonArray rectJson(const SheetRect &r) {
    return QJsonArray{r.x, r.y, r.width, r.depth};
}

QJsonObject cutJson(const CutOperation &op) {
    QJsonArray stocks;
    for (const SheetRect &r : op.stocks)
        stocks.append(rectJson(r));
    return QJsonObject{{"n", op.n},
                       {"axis", op.axis == CutAxis::X ? "x" : "y"},
                       {"offset", op.offset},
                       {"stocks", stocks},
                       {"gauge", op.gauge},
                       {"turn", op.turn != PileTurn::None},
                       {"off", op.off == CutOff::Strip    ? "strip"
                               : op.off == CutOff::Pieces ? "pieces"
                                                          : "waste"}};
}

QJsonObject bestJson(const StagePlan &s) {
    const BestLayout &b = s.best;
    QJsonObject o;
    o["count"] = static_cast<qint64>(b.layout.count);
    o["framesMaximum"] = static_cast<qint64>(s.framesMaximum);
    o["framesAllowed"] = static_cast<qint64>(s.framesAllowed);
    o["upperBound"] = static_cast<qint64>(b.upperBound);
    o["exact"] = b.exact;
    o["proven"] = b.proven;
    o["workedOut"] = b.workedOut;
    o["grain"] = grainText(s.grain);
    if (s.gutter > 0)
        o["gutter"] = s.gutter;
    o["sheetWidth"] = b.sheetWidth;
    o["sheetDepth"] = b.sheetDepth;
    o["cutCount"] = static_cast<qint64>(s.plan.operations.size());
    QJsonArray tradeoff;
    for (const TradeoffRow &row : s.tradeoff)
        tradeoff.append(QJsonObject{{"count", static_cast<qint64>(row.count)},
                                    {"cuts", static_cast<qint64>(row.cuts)},
                                    {"source", QString::fromStdString(row.source)}});
    o["tradeoff"] = tradeoff;
    if (b.layout.count > bestDetailLimit || s.plan.detailOmitted) {
        o["detailOmitted"] = true;
        return o;
    }
    QJsonArray pieces;
    b.layout.tree.forEachPiece([&](const SheetRect &r) {
        pieces.append(rectJson(r));
        return true;
    });
    o["pieces"] = pieces;
    QJsonArray cuts;
    for (const CutOperation &op : s.plan.operations)
        cuts.append(cutJson(op));
    o["cuts"] = cuts;
    return o;
}

QJsonObject orderJson(const OrderQuantities &q, std::optional<CuttingWork> work) {
    QJsonObject o{{"quantity", static_cast<qint64>(q.quantity)},
                  {"pressSheets", static_cast<qint64>(q.pressSheets)},
                  {"parentSheets", static_cast<qint64>(q.parentSheets)}};
    if (work) {
        o["lifts"] = QJsonObject{{"pressSheets", static_cast<qint64>(work->pressLifts)},
                                 {"parentSheets", static_cast<qint64>(work->parentLifts)}};
        o["knifeStrokes"] = static_cast<qint64>(work->knifeStrokes);
    }
    return o;
}

QJsonObject machineJson(const MachineRules &m) {
    return QJsonObject{{"knifeLength", m.knifeLength},
                       {"smallestGauge", m.smallestGauge},
                       {"lift", static_cast<qint64>(m.lift)}};
}

void addMachineOptions(QCommandLineParser &parser, const MachineOptions &o) {
    parser.addOptions({o.knife, o.smallestGauge, o.lift});
}

std::optional<MachineRules> machineFromOptions(const QCommandLineParser &parser,
                                               const MachineOptions &o, bool metric,
                                               QString &error) {
    MachineRules m = defaultMachine(metric);
    auto number = [&](const QCommandLineOption &option, double &value, bool zeroOk) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        const double v = parser.value(option).toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0 || (v == 0 && !zeroOk) || v > 1e9) {
            error = "--" + option.names().first() + " takes a positive number.";
            return false;
        }
        value = v;
        return true;
    };
    double lift = static_cast<double>(m.lift);
    if (!number(o.knife, m.knifeLength, false) || !number(o.smallestGauge, m.smallestGauge, true) ||
        !number(o.lift, lift, false))
        return std::nullopt;
    if (lift != std::floor(lift) || lift < 1) {
        error = "--lift takes a whole number of sheets.";
        return std::nullopt;
    }
    m.lift = static_cast<std::int64_t>(lift);
    return m;
}

void printBest(QTextStream &out, const StagePlan &s) {
    printLines(out, {comparisonLine(s), grainLine(s)});
    printLines(out, cutListLines(s.plan, s.best.layout.treeOmitted));
    if (!s.tradeoff.empty()) {
        out << "Fewest cuts found:";
        for (const TradeoffRow &row : s.tradeoff)
            out << "  " << QString::fromStdString(tradeoffText(row)) << ";";
        out << "\n";
    }
}

void printOrder(QTextStream &out, const OrderQuantities &best,
                const std::optional<OrderQuantities> &frames) {
    printLines(out, orderLines(best, frames));
}

} // namespace sheetcraft
