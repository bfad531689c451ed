#include "bestsection.h"

#include <QJsonArray>

namespace sheetcraft {

namespace {

QJsonArray rectJson(const SheetRect &r) {
    return QJsonArray{r.x, r.y, r.width, r.depth};
}

void printLines(QTextStream &out, const std::vector<std::string> &lines) {
    for (const std::string &line : lines)
        out << QString::fromStdString(line) << "\n";
}

} // namespace

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

void printBest(QTextStream &out, const StagePlan &s) {
    printLines(out, {comparisonLine(s), grainLine(s)});
    printLines(out, cutListLines(s.plan, s.best.layout.treeOmitted));
}

void printOrder(QTextStream &out, const OrderQuantities &best,
                const std::optional<OrderQuantities> &frames) {
    printLines(out, orderLines(best, frames));
}

} // namespace sheetcraft
