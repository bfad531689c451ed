#include "papersection.h"

#include "papergain.h"
#include "sheetsize.h"
#include "stockrank.h"
#include "val.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QTextStream>

#include <cstdio>

namespace sheetcraft {

namespace {

const QCommandLineOption stockOption("stock", "Stock list (CSV: name,size,price,grain).", "FILE");
const QCommandLineOption pressMax("press-max", "The press's largest sheet (default 28x40).", "WxD",
                                  "28x40");
const QCommandLineOption pressMin("press-min", "The press's smallest sheet (default 8.5x11).",
                                  "WxD", "8.5x11");
const QCommandLineOption trimLimit("trim-limit",
                                   "Most a piece side may be trimmed for --gain (default 0.125).",
                                   "T", "0.125");
const QCommandLineOption rank("rank", "Rank the stock sheets for the job (needs --stock).");
const QCommandLineOption gain("gain", "What would gain one more piece on the press sheet.");

constexpr int badInput = 2;
constexpr int success = 0;

QJsonValue number(const std::optional<double> &v) {
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

} // namespace

void addPaperOptions(QCommandLineParser &parser) {
    parser.addOptions({stockOption, pressMax, pressMin, trimLimit, rank, gain});
}

std::optional<int> runPaper(const QCommandLineParser &parser, const LayoutSession &session,
                            GrainRule grain, const PaperOrder &order) {
    if (!parser.isSet(rank) && !parser.isSet(gain))
        return std::nullopt;
    PressLimits press;
    if (!readPressSize(parser.value(pressMax).toStdString(), press.maxWidth, press.maxDepth) ||
        !readPressSize(parser.value(pressMin).toStdString(), press.minWidth, press.minDepth)) {
        std::fprintf(stderr, "--press-max and --press-min take sheet sizes such as 28x40.\n");
        return badInput;
    }
    bool trimOk = false;
    const double trim = parser.value(trimLimit).toDouble(&trimOk);
    if (!trimOk || !(trim >= 0)) {
        std::fprintf(stderr, "--trim-limit takes a length of 0 or more.\n");
        return badInput;
    }
    StockList stock;
    if (parser.isSet(stockOption)) {
        QFile file(parser.value(stockOption));
        if (!file.open(QIODevice::ReadOnly) || file.size() > 16 * 1024 * 1024) {
            std::fprintf(stderr, "The stock list %s cannot be read.\n",
                         qPrintable(parser.value(stockOption)));
            return badInput;
        }
        stock = parseStockList(file.readAll().toStdString());
        for (const StockListProblem &p : stock.problems)
            std::fprintf(stderr, "%s, line %d: %s\n", qPrintable(parser.value(stockOption)), p.line,
                         p.text.c_str());
    } else if (parser.isSet(rank)) {
        std::fprintf(stderr, "--rank needs --stock FILE.\n");
        return badInput;
    }

    const Cells &cells = session.cells;
    const SheetDims piece = readDims(storageForm(cells.txtSize[0]));
    QJsonObject root;
    QTextStream out(stdout);
    const bool json = parser.isSet("json");
    if (parser.isSet(rank)) {
        PaperJob job;
        job.pieceWidth = piece.width;
        job.pieceDepth = piece.depth;
        job.gripper = Val(cells.txtGrip);
        job.gripperOnWidth = cells.optWidth;
        job.grain = grain;
        job.quantity = order.quantity;
        job.spoilagePct = order.spoilagePct;
        job.makeReady = order.makeReady;
        const auto ranking = rankStock(stock.sheets, press, job);
        QJsonArray rows;
        for (const StockRanking &r : ranking) {
            const StockSheet &s = stock.sheets[r.stock];
            const PressChoice &c = r.best();
            const qint64 pressSheets = c.order ? c.order->pressSheets : 0;
            const qint64 stockSheets = c.order ? c.order->parentSheets : 0;
            if (json) {
                rows.append(
                    QJsonObject{{"stock", QString::fromStdString(s.name)},
                                {"stockSize", QJsonArray{s.width, s.depth}},
                                {"pressSize", QJsonArray{c.pressWidth, c.pressDepth}},
                                {"division", QJsonArray{c.across, c.down}},
                                {"up", static_cast<qint64>(c.up.count)},
                                {"out", static_cast<qint64>(c.out)},
                                {"pressSheets", pressSheets},
                                {"stockSheets", stockSheets},
                                {"wastePercent", c.wastePercent},
                                {"cost", number(c.cost)},
                                {"proven", c.up.proven},
                                {"countLabel", countLabel(c.up)},
                                {"grain", QString::fromStdString(grainNote(c, grain, s.grain))}});
            } else {
                out << QString::fromStdString(s.name) << "  " << QString::fromStdString(s.size)
                    << " cut " << c.across << " x " << c.down << " = "
                    << QString::fromStdString(c.pressSize) << ": " << c.up.count << " up ("
                    << countLabel(c.up) << "), " << c.out << " out, " << stockSheets
                    << " stock sheets, waste " << QString::number(c.wastePercent, 'f', 1) << "%";
                if (c.cost)
                    out << ", cost " << QString::number(*c.cost, 'f', 2);
                out << "\n";
            }
        }
        root["rank"] = QJsonObject{{"rows", rows}};
    }
    if (parser.isSet(gain)) {
        const auto &fss = session.finished();
        if (!fss || !fss->fits()) {
            std::fprintf(stderr, "--gain needs finished sheets that fit the press sheet.\n");
            return 3;
        }
        GainQuestion q;
        q.problem = layoutProblem(*fss, grain);
        q.trimLimit = trim;
        q.press = press;
        q.stock = stock.sheets;
        const GainAnswer answer = findGains(q);
        QJsonArray gains;
        if (!json)
            out << "Now " << answer.now.count << " up\n";
        for (const Gain &g : answer.gains) {
            gains.append(QJsonObject{{"kind", gainKindText(g.kind)},
                                     {"change", QString::fromStdString(g.change)},
                                     {"count", static_cast<qint64>(g.count.count)}});
            if (!json)
                out << QString::fromStdString(gainLine(g)) << "\n";
        }
        root["gain"] = gains;
        root["now"] = static_cast<qint64>(answer.now.count);
    }
    if (json)
        out << QJsonDocument(root).toJson(QJsonDocument::Indented);
    out.flush();
    return success;
}

} // namespace sheetcraft
