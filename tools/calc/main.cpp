// sheetcraft-calc: works out both cutting layouts from the command line.

#include "bestsection.h"
#include "cutplanprint.h"
#include "diagram.h"
#include "embeddedfonts.h"
#include "gangsection.h"
#include "layoutsession.h"
#include "orderlookup.h"
#include "ordersection.h"
#include "orderserver.h"
#include "panel.h"
#include "papersection.h"
#include "reportoutput.h"
#include "sheetsize.h"
#include "version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

using namespace sheetcraft;

namespace {

enum ExitStatus {
    Success = 0,
    BadInput = 2,
    DoesNotFit = 3,
    NotFound = 4,
    DatabaseFailed = 5,
    ReportFailed = 6,
    OutputFailed = 7,
};

// Says what the handlers return on standard error, in the window's words. A
// refusal met again by the next step of the same run is said once.
class ErrorOutput {
public:
    void say(const Outcome &said) {
        for (const std::string &text : messageTexts(said)) {
            if (count > 0 && text == m_last)
                continue;
            std::fprintf(stderr, "%s\n", text.c_str());
            m_last = text;
            ++count;
        }
    }
    int count = 0;

private:
    std::string m_last;
};

QString q(const std::string &s) {
    return QString::fromStdString(s);
}

QJsonObject diagramJson(const DiagramValues &v) {
    QJsonObject o;
    o["frame"] = v.frame;
    o["standardOut"] = v.standardOut();
    o["staggerOut"] = v.staggerOut();
    o["totalOut"] = v.totalOut();
    o["maximumOut"] = v.maximumOut();
    o["sheetWidth"] = v.fullSheetWidth;
    o["sheetDepth"] = v.fullSheetDepth;
    o["pieceWidth"] = v.pieceWidth;
    o["pieceDepth"] = v.pieceDepth;
    o["stockWaste"] = v.stockWastePct;
    o["frameOut"] = v.frameOut();
    if (v.diagram == Diagram::Finished)
        o["gripper"] = v.gripper;
    QJsonArray rows;
    for (const auto &row : panelRows(v))
        rows.append(QJsonArray{q(row.caption), q(row.value)});
    o["rows"] = rows;
    return o;
}

void printDiagram(QTextStream &out, const DiagramValues &v) {
    out << (v.diagram == Diagram::Finished ? finishedHeading : pressHeading) << "\n";
    for (const auto &row : panelRows(v)) {
        // The gripper caption is shorter; on screen its legend box fills the gap.
        out << q(row.caption).leftJustified(20) << q(row.value) << "\n";
    }
}

int usageError(const QCommandLineParser &parser, const QString &why) {
    std::fprintf(stderr, "%s\n%s", qPrintable(why), qPrintable(parser.helpText()));
    return BadInput;
}

} // namespace

int main(int argc, char *argv[]) {
    // Past a file-size limit a write then fails with EFBIG, which the write's
    // own check reports, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    // Only a report needs fonts and a paint device; plain answers stay light.
    bool wantsReport = false;
    for (int i = 1; i < argc; ++i)
        wantsReport |= std::strncmp(argv[i], "--report", 8) == 0 ||
                       std::strncmp(argv[i], "--cut-plan", 10) == 0;
    std::unique_ptr<QCoreApplication> application;
    if (wantsReport) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        application = std::make_unique<QGuiApplication>(argc, argv);
        loadEmbeddedFonts();
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName("sheetcraft-calc");
    QCoreApplication::setApplicationVersion(versionText);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Works out how many finished pieces come out of one press sheet and how many press "
        "sheets out of one parent sheet. Sizes are typed as in the window, e.g. 11x17.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption finished("finished", "Finished sheet size (default 2x3).", "WxD",
                                      "2x3");
    const QCommandLineOption press("press", "Press sheet size (default 11x17).", "WxD", "11x17");
    const QCommandLineOption parent("parent", "Parent sheet size (default 23x35).", "WxD", "23x35");
    const QCommandLineOption gripper("gripper", "Gripper margin (default 0).", "G", "0");
    const QCommandLineOption edge("gripper-edge", "Edge the gripper runs along: width or depth.",
                                  "width|depth", "width");
    const QCommandLineOption fssFrame("fss-frame", "Frame of the finished-sheet diagram, 1 to 4.",
                                      "N", "1");
    const QCommandLineOption pssFrame("pss-frame", "Frame of the press-sheet diagram, 1 to 4.", "N",
                                      "1");
    const QCommandLineOption maximize("maximize", "Show each diagram's best frame.");
    const QCommandLineOption json("json", "Write the result as JSON.");
    const QCommandLineOption report(
        "report", "Also write the printed report of both layouts as a PDF file.", "FILE.pdf");
    const QCommandLineOption db("db", "Order database (.mdb) to take the job or quote from.",
                                "FILE");
    const QCommandLineOption server("server",
                                    "Order server to take the job or quote from, in place of --db: "
                                    "a postgresql:// address, key=value pairs or service=name.",
                                    "CONNECTION");
    const QCommandLineOption job("job", "Job number to look up in --db or --server.", "N");
    const QCommandLineOption quote("quote", "Quote number to look up in --db or --server.", "N");
    const QCommandLineOption part("part", "Part number of the job or quote, 1 to 9 (default 1).",
                                  "P", "1");
    parser.addOptions({finished, press, parent, gripper, edge, fssFrame, pssFrame, maximize, json,
                       report, db, server, job, quote, part});
    const QCommandLineOption best("best",
                                  "Add the best guillotine layout and its cut plan per stage.");
    const QCommandLineOption finishedGrain(
        "finished-grain",
        "How finished sheets may lie: any, along, across or one-way (default any).",
        "any|along|across|one-way", "any");
    const QCommandLineOption pressGrain(
        "press-grain",
        "How press sheets may lie: any, along, across or one-way (default one-way: press "
        "sheets of one job share a grain).",
        "any|along|across|one-way", "one-way");
    const QCommandLineOption gutter(
        "gutter", "Space between finished sheets in the best layout (default 0).", "G", "0");
    const QCommandLineOption quantity("quantity", "Job quantity: add the sheets to order.", "N");
    const QCommandLineOption spoilage("spoilage", "Spoilage in percent (default 0).", "P", "0");
    const QCommandLineOption makeready("makeready", "Make-ready press sheets (default 0).", "N",
                                       "0");
    const QCommandLineOption cutPlan(
        "cut-plan", "Also write the printed cut plan of both stages as a PDF file.", "FILE.pdf");
    parser.addOptions(
        {best, finishedGrain, pressGrain, gutter, quantity, spoilage, makeready, cutPlan});
    const MachineOptions machineOptions;
    addMachineOptions(parser, machineOptions);
    addPaperOptions(parser);
    addGangOptions(parser);

    if (!parser.parse(app.arguments()))
        return usageError(parser, parser.errorText());
    if (parser.isSet("help")) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return Success;
    }
    if (parser.isSet("version")) {
        std::printf("sheetcraft-calc %s\n", versionText);
        return Success;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(parser, "Unexpected argument: " + parser.positionalArguments().first());

    const QString edgeText = parser.value(edge).toLower();
    if (edgeText != "width" && edgeText != "depth")
        return usageError(parser, "--gripper-edge must be width or depth.");
    bool fssOk = false;
    bool pssOk = false;
    const int fssWanted = parser.value(fssFrame).toInt(&fssOk);
    const int pssWanted = parser.value(pssFrame).toInt(&pssOk);
    if (!fssOk || !pssOk || fssWanted < 1 || fssWanted > 4 || pssWanted < 1 || pssWanted > 4)
        return usageError(parser, "Frames run from 1 to 4.");

    const auto fssGrain = grainFromText(parser.value(finishedGrain).toLower().toStdString());
    const auto pssGrain = grainFromText(parser.value(pressGrain).toLower().toStdString());
    if (!fssGrain || !pssGrain)
        return usageError(parser, "Grain rules are any, along, across or one-way.");
    bool gutterOk = false;
    const double gutterWidth = parser.value(gutter).toDouble(&gutterOk);
    if (!gutterOk || !std::isfinite(gutterWidth) || gutterWidth < 0)
        return usageError(parser, "--gutter takes a size of 0 or more.");
    bool quantityOk = true, spoilageOk = false, makereadyOk = false;
    const qint64 jobQuantity =
        parser.isSet(quantity) ? parser.value(quantity).toLongLong(&quantityOk) : 0;
    const double spoilagePct = parser.value(spoilage).toDouble(&spoilageOk);
    const qint64 makereadySheets = parser.value(makeready).toLongLong(&makereadyOk);
    if (!quantityOk || jobQuantity < 0 || !makereadyOk || makereadySheets < 0)
        return usageError(parser, "--quantity and --makeready take whole numbers of 0 or more.");
    if (!spoilageOk || !std::isfinite(spoilagePct) || spoilagePct < 0)
        return usageError(parser, "--spoilage takes a percentage of 0 or more.");
    if (wantsGang(parser))
        return runGang(parser, {parser.value(press), parser.value(gripper), edgeText == "width",
                                spoilagePct, makereadySheets, parser.isSet(json)});

    ErrorOutput sink;
    LayoutSession session;
    session.cells.txtSize = {parser.value(finished).toStdString(),
                             parser.value(press).toStdString(), parser.value(parent).toStdString()};
    session.cells.txtGrip = parser.value(gripper).toStdString();
    session.cells.optWidth = edgeText == "width";

    std::optional<QJsonObject> foundOrder;
    if (parser.isSet(db) && parser.isSet(server))
        return usageError(parser, "--db and --server are two sources: give one.");
    if (parser.isSet(db) || parser.isSet(server)) {
        if (parser.isSet(job) == parser.isSet(quote))
            return usageError(parser, "--db and --server need one of --job N or --quote N.");
        bool partOk = false;
        const int partNo = parser.value(part).toInt(&partOk);
        if (!partOk || partNo < 1 || partNo > 9)
            return usageError(parser, "--part runs from 1 to 9.");
        Cells &cells = session.cells;
        cells.optJob = parser.isSet(job);
        cells.txtSearch = parser.value(parser.isSet(job) ? job : quote).toStdString();
        cells.txtPartNo = std::to_string(partNo);
        const LookupOutcome found =
            parser.isSet(server) ? searchServerIsolated(cells, parser.value(server).toStdString())
                                 : SearchOrders(cells, parser.value(db).toStdString());
        sink.say(lookupSays(found));
        switch (found.status) {
        case LookupOutcome::Status::Found:
            break;
        case LookupOutcome::Status::NotFound:
            return NotFound;
        case LookupOutcome::Status::Failed:
        case LookupOutcome::Status::Cancelled:
            return DatabaseFailed;
        case LookupOutcome::Status::NotRun:
            return usageError(parser, "The job or quote number must be a number above 0.");
        }
        sink.count = 0; // the lookup's messages are its own
        foundOrder = foundOrderJson(cells);
    } else if (parser.isSet(job) || parser.isSet(quote)) {
        return usageError(parser, "--job and --quote need --db FILE or --server CONNECTION.");
    }

    if (parser.isSet(maximize)) {
        // The same entry check and normal forms as leaving each size cell.
        for (int i = 0; i < 3; ++i) {
            sink.say(session.txtSize_LostFocus(i));
            if (sink.count > 0)
                return BadInput;
        }
        sink.say(session.cmdMaxOut_Click());
    } else {
        const Outcome said = session.workOut(fssWanted, pssWanted);
        sink.say(said);
        if (session.lastOutcome() == RedrawOutcome::NotRun && sink.count > 0)
            return BadInput;
    }

    const auto outcome = session.lastOutcome();
    if (outcome == RedrawOutcome::RefusedSize)
        return BadInput;
    if (const auto paper =
            runPaper(parser, session, *fssGrain, {jobQuantity, spoilagePct, makereadySheets}))
        return *paper;
    const bool showPress = outcome == RedrawOutcome::Drawn;
    const auto &fss = session.finished();
    const auto &pss = session.press();

    // The best layouts: a plain answer has time to finish the search.
    const bool wantsBest =
        parser.isSet(best) || parser.isSet(json) || parser.isSet(quantity) || parser.isSet(cutPlan);
    BestLayoutOptions bestOptions;
    bestOptions.budget = std::chrono::seconds(2);
    // No press sheet is 100 inches wide: a larger one is in millimetres.
    QString machineError;
    const auto machine = machineFromOptions(
        parser, machineOptions, fss && std::max(fss->fullSheetWidth, fss->fullSheetDepth) > 100,
        machineError);
    if (!machine)
        return usageError(parser, machineError);
    std::optional<StagePlan> fssBest, pssBest;
    if (wantsBest && fss && fss->fits())
        fssBest = computeStagePlan(*fss, *fssGrain, bestOptions, gutterWidth, *machine);
    if (wantsBest && showPress && pss)
        pssBest = computeStagePlan(*pss, *pssGrain, bestOptions, 0, *machine);
    std::optional<OrderQuantities> order, framesOrder;
    if (parser.isSet(quantity) && fssBest && pssBest) {
        const OrderFigures figures =
            orderFigures(jobQuantity, spoilagePct, makereadySheets, *fssBest, *pssBest);
        order = figures.best;
        framesOrder = figures.frames;
    }

    // Never an answer without the order asked for: what cannot be counted is
    // refused, and said why.
    if (parser.isSet(quantity) && fssBest && pssBest && !order) {
        const bool nonePerSheet = fssBest->best.layout.count < 1 || pssBest->best.layout.count < 1;
        std::fprintf(stderr, "The sheets to order cannot be worked out: %s.\n",
                     nonePerSheet ? "no piece fits its sheet the way the grain rules allow"
                                  : "the figures are too large to count");
        return BadInput;
    }

    QTextStream out(stdout);
    if (parser.isSet(json)) {
        QJsonObject root;
        QJsonObject bestRoot;
        if (fssBest)
            bestRoot["finished"] = bestJson(*fssBest);
        if (pssBest)
            bestRoot["press"] = bestJson(*pssBest);
        if (fssBest)
            root["best"] = bestRoot;
        root["machine"] = machineJson(*machine);
        if (order)
            root["order"] =
                orderJson(*order, cuttingWork(*order, fssBest->plan.operations.size(),
                                              pssBest->plan.operations.size(), machine->lift));
        if (foundOrder)
            root["found"] = *foundOrder;
        if (fss)
            root["finished"] = diagramJson(*fss);
        if (showPress && pss)
            root["press"] = diagramJson(*pss);
        out << QJsonDocument(root).toJson(QJsonDocument::Indented);
    } else {
        if (fss)
            printDiagram(out, *fss);
        if (showPress && pss) {
            out << "\n";
            printDiagram(out, *pss);
        }
        if (parser.isSet(best) && fssBest) {
            out << "\nBest layout: " << finishedHeading << "\n";
            printBest(out, *fssBest);
        }
        if (parser.isSet(best) && pssBest) {
            out << "\nBest layout: " << pressHeading << "\n";
            printBest(out, *pssBest);
        }
        if (order) {
            out << "\n";
            printOrder(out, *order, framesOrder);
            out << QString::fromStdString(cuttingLine(
                       cuttingWork(*order, fssBest->plan.operations.size(),
                                   pssBest->plan.operations.size(), machine->lift),
                       fssBest->plan.operations.size(), pssBest->plan.operations.size()))
                << "\n";
        }
    }
    out.flush();
    // A full disk or a closed pipe must not pass for an answer.
    if (out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("The answer could not be written to standard output.\n", stderr);
        return OutputFailed;
    }
    if (outcome != RedrawOutcome::Drawn)
        return DoesNotFit;
    if (parser.isSet(report)) {
        const Outcome written = writeReportPdf(session.cells, session.frames, parser.value(report));
        sink.say(written);
        if (!written.saysNothing())
            return ReportFailed;
    }
    if (parser.isSet(cutPlan)) {
        CutPlanDocument document;
        for (const auto *stage : {&fssBest, &pssBest})
            if (*stage)
                document.stages.push_back(**stage);
        document.order = order;
        document.framesOrder = framesOrder;
        const Outcome written = writeCutPlanPdf(document, parser.value(cutPlan));
        sink.say(written);
        if (!written.saysNothing())
            return ReportFailed;
    }
    return Success;
}
