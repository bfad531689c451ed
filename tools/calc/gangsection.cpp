#include "gangsection.h"

#include "bestsection.h"

#include "coinsolver.h"
#include "cutplan.h"
#include "gangjobs.h"
#include "sheetsize.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdio>

namespace sheetcraft {

namespace {

const QCommandLineOption
    gangOption("gang",
               "Gang run: plan the jobs of a CSV file (name,size,quantity,grain) on shared press "
               "sheets.",
               "FILE.csv");
const QCommandLineOption templatesOption(
    "templates", "Gang run: the most layouts (templates) allowed, from 1 (default 1).", "N", "1");

int refuse(const QString &why) {
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 2;
}

QString q(const std::string &s) {
    return QString::fromStdString(s);
}

QJsonObject planJson(const GangProblem &p, const GangPlan &g) {
    QJsonArray templates;
    for (const GangTemplate &t : g.templates) {
        QJsonObject slotsJson;
        for (std::size_t i = 0; i < t.jobSlots.size(); ++i)
            if (t.jobSlots[i] > 0)
                slotsJson[q(p.jobs[i].name)] = static_cast<qint64>(t.jobSlots[i]);
        QJsonArray pieces;
        for (const GangPlacedPiece &piece : gangPieces(t.tree)) {
            QJsonArray a = rectJson(piece.rect);
            a.append(q(p.jobs[std::size_t(piece.job)].name));
            pieces.append(a);
        }
        QJsonArray cuts;
        for (const CutOperation &op : makeCutPlan(t.tree).operations)
            cuts.append(cutJson(op));
        templates.append(QJsonObject{{"run", static_cast<qint64>(t.run)},
                                     {"pressSheets", static_cast<qint64>(t.pressSheets)},
                                     {"slots", slotsJson},
                                     {"pieces", pieces},
                                     {"cuts", cuts}});
    }
    QJsonArray jobs;
    for (std::size_t i = 0; i < p.jobs.size(); ++i)
        jobs.append(QJsonObject{{"name", q(p.jobs[i].name)},
                                {"quantity", static_cast<qint64>(p.jobs[i].quantity)},
                                {"produced", static_cast<qint64>(g.produced[i])}});
    QJsonArray byTemplates;
    for (std::size_t k = 0; k < g.byTemplates.size(); ++k)
        byTemplates.append(QJsonObject{
            {"templates", static_cast<int>(k + 1)},
            {"pressSheets", g.byTemplates[k] > 0 ? QJsonValue(static_cast<qint64>(g.byTemplates[k]))
                                                 : QJsonValue()}});
    QJsonObject gang{{"sheetWidth", g.sheetWidth},
                     {"sheetDepth", g.sheetDepth},
                     {"templates", templates},
                     {"jobs", jobs},
                     {"runSheets", static_cast<qint64>(g.runSheets)},
                     {"pressSheets", static_cast<qint64>(g.pressSheets)},
                     {"lowerBound", static_cast<qint64>(g.lowerBound)},
                     {"bound", q(g.boundText())},
                     {"optimal", g.optimal()},
                     {"label", q(g.label())},
                     {"byTemplates", byTemplates}};
    return QJsonObject{{"gang", gang}};
}

void printPlan(QTextStream &out, const GangProblem &p, const GangPlan &g) {
    out << "Gang run on " << g.sheetWidth << "x" << g.sheetDepth << ": " << g.pressSheets
        << " press sheets, " << q(g.label()) << "\n";
    out << "Lower bound: " << g.lowerBound << " (" << q(g.boundText()) << ")\n";
    if (g.integerCutShort)
        out << "The run lengths were chosen within the time allowed.\n";
    for (std::size_t t = 0; t < g.templates.size(); ++t) {
        const GangTemplate &tp = g.templates[t];
        out << "\nTemplate " << t + 1 << ": run " << tp.run << ", " << tp.pressSheets
            << " press sheets\n";
        for (std::size_t i = 0; i < tp.jobSlots.size(); ++i)
            if (tp.jobSlots[i] > 0)
                out << "  " << q(p.jobs[i].name) << ": " << tp.jobSlots[i] << " up\n";
        const CutPlan plan = makeCutPlan(tp.tree);
        out << "  " << plan.operations.size() << " cuts\n";
    }
    out << "\nJob                  Ordered   Produced   Overs\n";
    for (std::size_t i = 0; i < p.jobs.size(); ++i)
        out << q(p.jobs[i].name).leftJustified(20) << " "
            << QString::number(p.jobs[i].quantity).rightJustified(7) << " "
            << QString::number(g.produced[i]).rightJustified(10) << " "
            << QString::number(g.produced[i] - p.jobs[i].quantity).rightJustified(7) << "\n";
    out << "\nTemplates  Press sheets\n";
    for (std::size_t k = 0; k < g.byTemplates.size(); ++k)
        out << QString::number(k + 1).rightJustified(9) << "  "
            << (g.byTemplates[k] > 0 ? QString::number(g.byTemplates[k]) : QString("none")) << "\n";
}

} // namespace

void addGangOptions(QCommandLineParser &parser) {
    parser.addOptions({gangOption, templatesOption});
}

bool wantsGang(const QCommandLineParser &parser) {
    return parser.isSet(gangOption);
}

int runGang(const QCommandLineParser &parser, const GangCalcSettings &s) {
    bool ok = false;
    GangProblem p;
    p.maxTemplates = parser.value(templatesOption).toInt(&ok);
    if (!ok || p.maxTemplates < 1 || p.maxTemplates > 50)
        return refuse("--templates runs from 1 to 50.");
    const QString press = s.press.toLower();
    if (!isUsableSize(press.toStdString(), SizeRole::Press))
        return refuse("The press sheet size " + s.press + " is not a size such as 28x40.");
    const SheetDims dims = readDims(storageForm(press.toStdString()));
    p.sheetWidth = dims.width;
    p.sheetDepth = dims.depth;
    p.gripper = s.gripper.toDouble(&ok);
    if (!ok || !(p.gripper >= 0))
        return refuse("--gripper takes a margin of 0 or more.");
    p.gripperOnWidth = s.gripperOnWidth;
    p.spoilagePct = s.spoilagePct;
    p.makeReady = s.makeReady;

    const QString path = parser.value(gangOption);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse("Cannot read " + path + ": " + file.errorString());
    // A job list is a few lines; more than this is not one.
    const QByteArray bytes = file.read(8 << 20);
    const GangJobsRead read = readGangJobs(bytes.toStdString());
    if (read.badLine > 0)
        return refuse(path + " line " + QString::number(read.badLine) + ": " + q(read.why) + ".");
    p.jobs = read.jobs;

    CoinSolver solver;
    const GangPlan g = planGang(p, solver);
    switch (g.status) {
    case GangPlan::Status::Planned:
        break;
    case GangPlan::Status::NoJobs:
        return refuse(path + " lists no jobs.");
    case GangPlan::Status::DoesNotFit:
        std::fprintf(stderr, "Job %s does not fit the press sheet.\n",
                     p.jobs[std::size_t(g.badJob)].name.c_str());
        return 3;
    case GangPlan::Status::TooFewLayouts:
        std::fprintf(stderr, "No plan with at most %d templates was found.\n", p.maxTemplates);
        return 3;
    case GangPlan::Status::BadInput:
    case GangPlan::Status::Cancelled:
        return refuse("The sheet, gripper or a job's size cannot be planned.");
    }
    QTextStream out(stdout);
    if (s.json)
        out << QJsonDocument(planJson(p, g)).toJson(QJsonDocument::Indented);
    else
        printPlan(out, p, g);
    return 0;
}

} // namespace sheetcraft
