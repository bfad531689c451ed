// Runs the built calculator as a process: output, JSON, report and exit status.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <array>

namespace {

struct Result {
    int status = -1;
    QString out, err;
};

Result run(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

Result calc(const QStringList &args) {
    return run(CALC_BINARY, args);
}

// Both panels; a count too large for plain digits keeps a capital exponent.
TEST(Calculator, PrintsBothPanels) {
    const struct {
        QStringList args;
        const char *standardOut;
    } rows[] = {{{}, " STANDARD OUT        25 "},
                {{"--finished", "1e-6x1e-6", "--press", "30000x30000", "--parent", "30000x30000"},
                 " STANDARD OUT        9E+20 "}};
    for (const auto &row : rows) {
        const Result r = calc(row.args);
        EXPECT_EQ(r.status, 0);
        const QStringList lines = r.out.split('\n');
        ASSERT_GE(lines.size(), 11);
        EXPECT_EQ(lines[0], "Number Up: Finished Forms on Press Sheet");
        EXPECT_EQ(lines[2], row.standardOut);
        EXPECT_EQ(lines[10], "Number Out: Press Sheets on Parent Sheet");
    }
}

// Each run's JSON: section, key and the value it must hold.
TEST(Calculator, JsonFollowsFramesGripperMaximizeAndTheDatabase) {
    const struct {
        QStringList args;
        std::vector<std::tuple<const char *, const char *, double>> values;
    } rows[] = {
        // The sheet depth is the full sheet's, before the gripper comes off.
        {{"--finished", "3X2", "--fss-frame", "2", "--gripper", "0.5"},
         {{"finished", "frame", 2}, {"finished", "sheetDepth", 11}, {"finished", "gripper", 0.5}}},
        {{"--pss-frame", "4"}, {{"press", "frame", 1}}}, // an empty frame moves on like the arrow
        {{"--maximize"},
         {{"finished", "frame", 4}, {"finished", "frameOut", 29}, {"press", "frame", 1}}},
        // The press's gripper; no parent size on file, so the parent is the 12x18 press sheet.
        {{"--db", DEMO_DATABASE, "--job", "12346"},
         {{"finished", "gripper", 0.375}, {"press", "sheetWidth", 18}}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const Result r = calc(QStringList{"--json"} + row.args);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
        for (const auto &[section, key, value] : row.values)
            EXPECT_EQ(root[section].toObject()[key].toDouble(), value) << section << '.' << key;
        EXPECT_EQ(root["finished"]["rows"][0][0].toString(), " FRAME #            ");
        EXPECT_FALSE(root["press"].toObject().contains("gripper"));
        // What a lookup found comes with the answer.
        EXPECT_EQ(root["found"]["company"].toString(),
                  row.args.contains("--db") ? "Miller's Bakery" : "");
    }
}

// A page rendered to grey pixels (PGM) at `dpi`: width, height and one byte
// per pixel, 255 for white.
struct Raster {
    int width = 0, height = 0;
    QByteArray pixels;
};

Raster rasterise(const QString &pdf, int dpi) {
    QProcess p;
    p.start("pdftoppm", {"-gray", "-r", QString::number(dpi), "-singlefile", pdf});
    p.waitForFinished(30000);
    const QByteArray pgm = p.readAllStandardOutput();
    // "P5\n<width> <height>\n255\n" then the pixels.
    const QList<QByteArray> head = pgm.left(64).split('\n');
    Raster r;
    if (head.size() < 4 || head[0] != "P5")
        return r;
    const QList<QByteArray> size = head[1].split(' ');
    r.width = size.value(0).toInt();
    r.height = size.value(1).toInt();
    const qsizetype offset = head[0].size() + head[1].size() + head[2].size() + 3;
    r.pixels = pgm.mid(offset);
    if (r.pixels.size() != qsizetype(r.width) * r.height)
        r = {};
    return r;
}

// The report is one page however deep its sheets are: nothing runs into the
// paper's quarter-inch margins, and every row of both panels is still there,
// captioned as the report captions the parent sheet's size rows.
TEST(Calculator, ReportIsOnePageWithEveryRowInsideTheMargins) {
    const struct {
        QStringList args;
        bool shrunk; // fitted to the printable bottom
    } rows[] = {
        {{}, false},
        {{"--parent", "35x35"}, true},
        // With the built-in fonts the demo job's page fits Letter as laid out.
        {{"--db", DEMO_DATABASE, "--job", "12345", "--fss-frame", "3"}, false},
        {{"--press", "17x17"}, true},
    };
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    for (const auto &[args, shrunk] : rows) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Result json = calc(args + QStringList{"--json", "--report", pdf});
        ASSERT_EQ(json.status, 0) << json.err.toStdString();

        EXPECT_TRUE(run("pdfinfo", {pdf}).out.contains(QRegularExpression("Pages: +1\n")));

        const QString text = run("pdftotext", {"-layout", pdf, "-"}).out;
        const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
        int expected = 0;
        for (const char *section : {"finished", "press"}) {
            for (const QJsonValue &row : root[section]["rows"].toArray()) {
                QString caption = row[0].toString().trimmed();
                caption.replace("WID-SHT", "PARS-SHT").replace("DEP-SHT", "PARS-SHT");
                const QString value = row[1].toString().trimmed();
                EXPECT_TRUE(
                    text.contains(QRegularExpression(QRegularExpression::escape(caption) + " +" +
                                                     QRegularExpression::escape(value))))
                    << caption.toStdString() << ' ' << value.toStdString();
                ++expected;
            }
        }
        EXPECT_GT(expected, 15);

        // Letter at 72 dots per inch: 612 x 792, margins 18 wide.
        const Raster page = rasterise(pdf, 72);
        ASSERT_EQ(std::pair(page.width, page.height), std::pair(612, 792));
        int inkBottom = 0, outside = 0;
        for (int y = 0; y < page.height; ++y)
            for (int x = 0; x < page.width; ++x) {
                if (static_cast<unsigned char>(page.pixels[y * page.width + x]) == 255)
                    continue;
                inkBottom = std::max(inkBottom, y);
                outside += x < 18 || x >= 594 || y < 18 || y >= 774;
            }
        EXPECT_EQ(outside, 0);
        // A shrunk page still reaches down to the printable bottom.
        if (shrunk) {
            EXPECT_GE(inkBottom, 770);
        }
    }
}

TEST(Calculator, FailuresExitWithTheirStatus) {
    const struct {
        QStringList args;
        int status;
        const char *stderrStart;
        bool printsFinished;
    } rows[] = {
        {{"--press", "1117"}, 2, "Warning: Incorrect Size Entered!", false},
        {{"--fss-frame", "5"}, 2, "Frames run from 1 to 4.", false},
        {{"--bogus"}, 2, "Unknown option", false},
        {{"--job", "12345"}, 2, "--job and --quote need --db", false},
        {{"--db", DEMO_DATABASE, "--job", "1", "--part", "10"}, 2, "--part runs", false},
        {{"--finished", "12x18"}, 3, "WARNING: Finished Sheet Larger", false},
        {{"--parent", "10x12"}, 3, "WARNING: Finished Sheet Larger", true},
        {{"--press", "23x35", "--parent", "11x17"}, 3, "WARNING: Finished Sheet Larger", true},
        {{"--db", DEMO_DATABASE, "--job", "12345", "--part", "3"}, 4, "Sorry... Job", false},
        {{"--db", "/no/such/folder/zvData.mdb", "--job", "1"}, 5, "Invalid Database.", false},
        // An order asked for is never left out without a word.
        {{"--quantity", "5000", "--spoilage", "1e10"}, 2, "The sheets to order cannot", false},
        {{"--finished", "2x12", "--quantity", "9", "--finished-grain", "across"},
         2,
         "The sheets to order cannot",
         false},
        {{"--server", "host=/no/such/folder", "--job", "1"},
         5,
         "The orders could not be searched on the server: no order server",
         false},
        {{"--db", DEMO_DATABASE, "--server", "x", "--job", "1"}, 2, "--db and --server", false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const Result r = calc(row.args);
        EXPECT_EQ(r.status, row.status);
        EXPECT_TRUE(r.err.startsWith(row.stderrStart)) << r.err.toStdString();
        EXPECT_EQ(r.err.count(row.stderrStart), 1) << r.err.toStdString(); // said once
        EXPECT_EQ(r.out.contains("Number Up"), row.printsFinished);
        EXPECT_FALSE(r.out.contains("Number Out"));
    }
    QProcess full;
    full.setStandardOutputFile("/dev/full");
    full.start(CALC_BINARY, {"--json"});
    full.waitForFinished(30000);
    EXPECT_EQ(full.exitCode(), 7);
}

// Sizes whose counts, areas or waste cannot be finite numbers are refused on
// every sheet; sizes at the bounds give finite numbers on screen, in JSON and
// in the report.
TEST(Calculator, ExtremeSizesAreRefusedOrFinite) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("extreme.pdf");
    const auto noneInfinite = [](const QString &text) {
        static const QRegularExpression word("\\b(inf|infinity|nan|null)\\b",
                                             QRegularExpression::CaseInsensitiveOption);
        return !text.contains(word);
    };
    // JSON and report in turn: three sheets, so each sheet meets both over the sizes.
    int n = 0;
    for (const char *size : {"1e-200x1e-200", "12x1e-308", "1e308x1e308", "1e-160x1e-160"}) {
        for (const char *sheet : {"--finished", "--press", "--parent"}) {
            SCOPED_TRACE(std::string(sheet) + " " + size);
            const QStringList output =
                n++ % 2 ? QStringList{"--json"} : QStringList{"--report", pdf};
            const Result r = calc(output + QStringList{sheet, size});
            EXPECT_EQ(r.status, 2);
            EXPECT_TRUE(r.err.contains("Warning: Incorrect Size Entered!")) << r.err.toStdString();
            EXPECT_TRUE(noneInfinite(r.out + r.err)) << r.out.toStdString();
            EXPECT_FALSE(QFile::exists(pdf));
        }
    }
    for (const QStringList &sizes :
         {QStringList{"--finished", "1e-75x1e-75", "--press", "1e75x1e75", "--parent", "1e75x1e75"},
          QStringList{"--finished", "1e75x1e75", "--press", "1e75x1e75", "--parent",
                      "1e75x1e75"}}) {
        SCOPED_TRACE(sizes.join(' ').toStdString());
        const Result json = calc(sizes + QStringList{"--json", "--maximize"});
        EXPECT_EQ(json.status, 0) << json.err.toStdString();
        EXPECT_TRUE(noneInfinite(json.out)) << json.out.toStdString();
        const Result text = calc(sizes + QStringList{"--report", pdf});
        EXPECT_EQ(text.status, 0) << text.err.toStdString();
        EXPECT_TRUE(noneInfinite(text.out)) << text.out.toStdString();
        const QString printed = run("pdftotext", {"-layout", pdf, "-"}).out;
        EXPECT_TRUE(printed.contains("LAYOUT")) << printed.toStdString();
        EXPECT_TRUE(noneInfinite(printed)) << printed.toStdString();
        QFile::remove(pdf);
    }
}

// The best layouts per stage as JSON: counts, labels, where the pieces lie
// (the gripper strip is on top for the width edge, on the left for the depth
// edge) and the cut list. The counts themselves are the engine tests' concern.
TEST(Calculator, BestLayoutsAndOrderInJson) {
    const struct {
        QStringList args;
        const char *stage;
        std::array<double, 3> counts;  // count, framesMaximum, upperBound
        std::array<double, 2> start{}; // no piece starts left of or above this
    } rows[] = {
        {{}, "finished", {30, 29, 31}},
        {{"--gripper", "0.5", "--gripper-edge", "depth"}, "finished", {29, 29, 29}, {0.5, 0}},
        {{"--finished", "3.5x2", "--press", "12x18", "--gripper", "0.375", "--gutter", "0.125"},
         "finished",
         {26, 27, 26},
         {0, 0.375}},
        {{"--parent", "26x40", "--press", "8.5x11", "--press-grain", "ACROSS"}, "press", {8, 9, 8}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const Result r = calc(QStringList{"--json"} + row.args);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
        const QJsonObject best = root["best"][QString(row.stage)].toObject();
        EXPECT_EQ(best["count"].toDouble(), row.counts[0]);
        EXPECT_EQ(best["framesMaximum"].toDouble(), row.counts[1]);
        EXPECT_EQ(best["upperBound"].toDouble(), row.counts[2]);
        EXPECT_TRUE(best["exact"].toBool() && best["workedOut"].toBool());
        EXPECT_EQ(best["proven"].toBool(), row.counts[0] == row.counts[2]);
        const QJsonArray pieces = best["pieces"].toArray();
        EXPECT_EQ(pieces.size(), row.counts[0]);
        for (const auto &p : pieces) {
            EXPECT_GE(p[0].toDouble(), row.start[0]);
            EXPECT_GE(p[1].toDouble(), row.start[1]);
        }
        const QJsonArray cuts = best["cuts"].toArray();
        EXPECT_EQ(cuts.size(), best["cutCount"].toInt());
        EXPECT_EQ(best["tradeoff"][0]["count"].toDouble(), row.counts[0]);
        EXPECT_EQ(best["tradeoff"][0]["cuts"].toInt(), cuts.size());
        for (qsizetype i = 0; i < cuts.size(); ++i) {
            EXPECT_EQ(cuts[i]["n"].toInt(), i + 1);
            EXPECT_FALSE(cuts[i]["stocks"].toArray().isEmpty());
            EXPECT_GE(cuts[i]["gauge"].toDouble(), 1); // the smallest gauge distance
            EXPECT_TRUE(cuts[i]["turn"].isBool());
            EXPECT_TRUE(
                QStringList({"strip", "pieces", "waste"}).contains(cuts[i]["off"].toString()));
        }
    }

    // Past 64 bits: the frames' count, saturated, and nothing claimed.
    const QJsonObject dustRoot =
        QJsonDocument::fromJson(
            calc({"--json", "--finished", "1e-6x1e-6", "--press", "30000x30000"}).out.toUtf8())
            .object();
    const QJsonObject dust = dustRoot["best"].toObject()["finished"].toObject();
    EXPECT_FALSE(dust["workedOut"].toBool() || dust["proven"].toBool() || dust["exact"].toBool());
    EXPECT_EQ(dust["count"].toDouble(), dust["framesMaximum"].toDouble());
    EXPECT_GT(dust["framesMaximum"].toDouble(), 9e18);

    const QJsonObject root =
        QJsonDocument::fromJson(calc({"--json", "--quantity", "1000", "--spoilage", "5",
                                      "--makeready", "50", "--lift", "50", "--knife", "52"})
                                    .out.toUtf8())
            .object();
    const QJsonObject order = root["order"].toObject();
    EXPECT_EQ(order["pressSheets"].toDouble(), 86);
    EXPECT_EQ(order["parentSheets"].toDouble(), 22);
    // 2 lifts of 86 press sheets, 1 of 22 parent sheets.
    EXPECT_EQ(order["knifeStrokes"].toDouble(),
              2 * root["best"]["finished"]["cutCount"].toDouble() +
                  root["best"]["press"]["cutCount"].toDouble());
    EXPECT_EQ(root["machine"].toObject(),
              (QJsonObject{{"knifeLength", 52}, {"smallestGauge", 1}, {"lift", 50}}));
    // Millimetre sheets take a millimetre cutter.
    const QJsonObject metric =
        QJsonDocument::fromJson(calc({"--json", "--finished", "148x106", "--press", "700x1000",
                                      "--parent", "1000x1400"})
                                    .out.toUtf8())
            .object();
    EXPECT_EQ(metric["machine"]["knifeLength"].toDouble(), 1150);
    EXPECT_FALSE(QJsonDocument::fromJson(calc({"--json"}).out.toUtf8()).object().contains("order"));
}

// The text sections are the stage plan's lines, tested there; here only that
// each is printed, and what is refused.
TEST(Calculator, BestSectionsInTextAndRefusedOptions) {
    const Result r = calc({"--best", "--quantity", "1000"});
    ASSERT_EQ(r.status, 0);
    for (const char *expected :
         {"Best layout: Number Up: Finished Forms on Press Sheet", "Frames 1-4: 29",
          "Best layout: Number Out: Press Sheets on Parent Sheet", "Frames 1-4 (one way): 4",
          "Grain: any", "   1.  pile 1, 17 x 11: back gauge ",
          "Fewest cuts found:  30 up: ", "Quantity 1000: ", "With frames 1-4: ", "knife strokes"})
        EXPECT_TRUE(r.out.contains(expected)) << expected;
    EXPECT_FALSE(calc({}).out.contains("Best layout"));

    const QStringList refused[] = {{"--finished-grain", "sideways"},
                                   {"--gutter", "-1"},
                                   {"--quantity", "-5"},
                                   {"--makeready", "2.5"},
                                   {"--spoilage", "lots"},
                                   {"--knife", "0"},
                                   {"--lift", "2.5"},
                                   {"--smallest-gauge", "near"}};
    for (const auto &args : refused) {
        const Result bad = calc(args);
        EXPECT_EQ(bad.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(bad.out.isEmpty());
    }
}

// The printed cut plan's pages are the report tests' concern; here the
// option: a page per stage, and exit status 6 when the file cannot be written.
TEST(Calculator, CutPlanPdfHoldsBothStagesAndTheOrder) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("plan.pdf");
    const Result r = calc({"--quantity", "5000", "--cut-plan", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(run("pdfinfo", {pdf}).out.contains(QRegularExpression("Pages: +2\n")));
    const QString text = run("pdftotext", {"-layout", pdf, "-"}).out.simplified();
    EXPECT_TRUE(text.contains("Quantity 5000: ")) << text.toStdString();
    EXPECT_TRUE(text.contains("knife strokes")) << text.toStdString();

    const Result folder = calc({"--cut-plan", dir.path()});
    EXPECT_EQ(folder.status, 6);
    EXPECT_TRUE(folder.err.contains("The cut plan could not be written"))
        << folder.err.toStdString();
}

} // namespace

namespace {

// --rank and --gain: the JSON shape, a price-less row's null cost, and the
// refusals; the counts themselves are checked in the engine's tests.
TEST(Calculator, RankAndGainJson) {
    QTemporaryDir dir;
    const QString stock = dir.filePath("stock.csv");
    QFile f(stock);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("name,size,price,grain\n# priced first\nA,19x25,50,long\nB,23x35,,\nC,9x9,,\n");
    f.close();
    const Result ranked =
        calc({"--finished", "8.5x11", "--rank", "--stock", stock, "--quantity", "1000", "--json"});
    EXPECT_EQ(ranked.status, 0);
    const QJsonArray rows =
        QJsonDocument::fromJson(ranked.out.toUtf8()).object()["rank"].toObject()["rows"].toArray();
    ASSERT_EQ(rows.size(), 2); // 9x9 holds no letter page
    const QJsonObject a = rows[0].toObject(), b = rows[1].toObject();
    EXPECT_EQ(a["stock"].toString(), "A");
    EXPECT_EQ(a["cost"].toDouble(), 12.5);
    EXPECT_EQ(a["stockSheets"].toInt(), 250);
    EXPECT_EQ(a["stockSize"].toArray(), (QJsonArray{25, 19}));
    EXPECT_TRUE(b["cost"].isNull());
    EXPECT_EQ(b["stockSheets"].toInt(), 125);

    const Result gain =
        calc({"--finished", "3.5x2", "--press", "12x18", "--gripper", "0.375", "--gain", "--json"});
    const QJsonArray gains = QJsonDocument::fromJson(gain.out.toUtf8()).object()["gain"].toArray();
    ASSERT_FALSE(gains.isEmpty());
    EXPECT_EQ(gains[0].toObject()["kind"].toString(), "gripperEdge");
    EXPECT_EQ(gains[0].toObject()["count"].toInt(), 30);

    for (const QStringList &bad : {QStringList{"--rank"}, {"--gain", "--press-max", "big"}})
        EXPECT_EQ(calc(bad).status, 2) << bad.join(' ').toStdString();
}

// --gang: a bad file is refused with its line, the JSON holds every job met
// and the pieces in the full sheet's coordinates, below the gripper strip.
TEST(Calculator, GangRunFromCsv) {
    QTemporaryDir dir;
    const auto file = [&](const char *name, const QByteArray &text) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    };
    const struct {
        QByteArray csv;
        const char *said;
    } refused[] = {{"name,size,quantity,grain\na,3x2,100,\nb,3x,5,any\n", "line 3"},
                   {"name,size,quantity,grain\na,3x2,100,\na,4x6,5,\n", "line 3"},
                   {"name,size,quantity,grain\na,3x2,0,\n", "line 2"},
                   {"size,name,quantity,grain\n", "line 1"}};
    for (const auto &row : refused) {
        const Result r = calc({"--gang", file("bad.csv", row.csv)});
        EXPECT_EQ(r.status, 2) << row.csv.constData();
        EXPECT_TRUE(r.err.contains(row.said)) << r.err.toStdString();
    }

    const Result r = calc({"--gang",
                           file("jobs.csv", "name,size,quantity,grain\n\"Card, gloss\",3.5x2,"
                                            "5000,along\nPostcard,6x4,2000,\n"),
                           "--press", "17x11", "--gripper", "0.5", "--templates", "2",
                           "--makeready", "20", "--spoilage", "5", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject gang = QJsonDocument::fromJson(r.out.toUtf8()).object()["gang"].toObject();
    EXPECT_GE(gang["pressSheets"].toInteger(), gang["lowerBound"].toInteger());
    EXPECT_EQ(gang["optimal"].toBool(),
              gang["pressSheets"].toInteger() == gang["lowerBound"].toInteger());
    EXPECT_EQ(gang["byTemplates"].toArray().size(), 2);
    for (const QJsonValue job : gang["jobs"].toArray())
        EXPECT_GE(job["produced"].toInteger(), job["quantity"].toInteger());
    qint64 cards = 0;
    for (const QJsonValue t : gang["templates"].toArray()) {
        for (const QJsonValue piece : t["pieces"].toArray()) {
            const QJsonArray p = piece.toArray();
            EXPECT_GE(p[1].toDouble(), 0.5);
            EXPECT_LE(p[0].toDouble() + p[2].toDouble(), 17.0);
            cards += p[4].toString() == "Card, gloss";
        }
        EXPECT_FALSE(t["cuts"].toArray().isEmpty());
    }
    EXPECT_GT(cards, 0);
}

} // namespace
