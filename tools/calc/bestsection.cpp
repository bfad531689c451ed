#include "bestsection.h"

#include <QJsonArray>

namespace sheetcraft {

namespace {

QJsonArray rectJson(const SheetRect &r) {
    return QJsonArray{r.x, r.y, r.width, r.depth};
}

QString number(double v) {
    return QString::number(v, 'g', 12);
}

QString count(double v) {
    return QString::number(static_cast<qint64>(v));
}

} // namespace

StageBest computeStageBest(const DiagramValues &v, GrainRule grain,
                           const BestLayoutOptions &options) {
    StageBest s;
    s.best = bestLayout(layoutProblem(v, grain), options);
    s.plan = makeCutPlan(s.best.layout.tree, bestDetailLimit);
    s.framesMaximum = v.maximumOut();
    return s;
}

QJsonObject bestJson(const StageBest &s) {
    const BestLayout &b = s.best;
    QJsonObject o;
    o["count"] = static_cast<qint64>(b.layout.count);
    o["framesMaximum"] = s.framesMaximum;
    o["upperBound"] = static_cast<qint64>(b.upperBound);
    o["exact"] = b.exact;
    o["proven"] = b.proven;
    o["sheetWidth"] = b.sheetWidth;
    o["sheetDepth"] = b.sheetDepth;
    o["cutCount"] = static_cast<qint64>(s.plan.operations.size());
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
    for (const CutOperation &op : s.plan.operations) {
        QJsonArray stocks;
        for (const SheetRect &r : op.stocks)
            stocks.append(rectJson(r));
        cuts.append(QJsonObject{{"n", op.n},
                                {"axis", op.axis == CutAxis::X ? "x" : "y"},
                                {"offset", op.offset},
                                {"stocks", stocks}});
    }
    o["cuts"] = cuts;
    return o;
}

QJsonObject orderJson(const OrderQuantities &q) {
    return QJsonObject{{"quantity", static_cast<qint64>(q.quantity)},
                       {"pressSheets", static_cast<qint64>(q.pressSheets)},
                       {"parentSheets", static_cast<qint64>(q.parentSheets)}};
}

void printBest(QTextStream &out, const StageBest &s, GrainRule grain) {
    const BestLayout &b = s.best;
    const auto gain = b.layout.count - static_cast<std::int64_t>(s.framesMaximum);
    out << "Frames 1-4: " << count(s.framesMaximum)
        << "   Best guillotine layout: " << count(static_cast<double>(b.layout.count));
    if (gain != 0)
        out << " (" << (gain > 0 ? "+" : "") << gain << ")";
    out << "   No layout can hold more than " << count(static_cast<double>(b.upperBound)) << "\n";
    out << "Grain: " << grainText(grain) << "   "
        << (b.proven  ? "Proven best: no layout of any kind holds more."
            : b.exact ? "Best of all guillotine layouts."
                      : "Best found in the time allowed; not proven.")
        << "\n";
    if (b.layout.treeOmitted) {
        out << "Cut plan: too many pieces to list\n";
        return;
    }
    const auto cuts = s.plan.operations.size();
    out << "Cut plan: " << cuts << (cuts == 1 ? " cut\n" : " cuts\n");
    for (const CutOperation &op : s.plan.operations) {
        out << QString::number(op.n).rightJustified(4) << ".  "
            << (op.axis == CutAxis::X ? "x " : "y ") << number(op.offset) << " from the "
            << (op.axis == CutAxis::X ? "left" : "top") << ", " << op.stockCount
            << (op.stockCount == 1 ? " stock " : " stocks ") << number(op.stockWidth) << " x "
            << number(op.stockDepth) << "\n";
    }
}

void printOrder(QTextStream &out, const OrderQuantities &best,
                const std::optional<OrderQuantities> &frames) {
    out << "Quantity " << best.quantity << ": run " << best.run << ", press sheets "
        << best.pressSheets << ", parent sheets " << best.parentSheets << "\n";
    if (frames &&
        (frames->pressSheets != best.pressSheets || frames->parentSheets != best.parentSheets))
        out << "With frames 1-4: run " << frames->run << ", press sheets " << frames->pressSheets
            << ", parent sheets " << frames->parentSheets << "\n";
}

} // namespace sheetcraft
