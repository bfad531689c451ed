// Runs the built calculator as a process: output, JSON and exit status.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace {

struct CalcRun {
    int status = -1;
    QString out;
    QString err;
};

CalcRun calc(const QStringList &args)
{
    QProcess p;
    p.start(CALC_BINARY, args);
    p.waitForFinished(30000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(Calculator, DefaultsPrintBothPanels)
{
    const CalcRun r = calc({});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty());
    const QStringList lines = r.out.split('\n');
    ASSERT_GE(lines.size(), 19);
    EXPECT_EQ(lines[0], "Number Up: Finished Forms on Press Sheet");
    EXPECT_EQ(lines[2], " STANDARD OUT        25 ");
    EXPECT_EQ(lines[8], " % STOCK WASTE       19.8%");
    EXPECT_EQ(lines[10], "Number Out: Press Sheets on Parent Sheet");
    EXPECT_EQ(lines[14], " WID-SHT WIDTH       35.0000");
}

TEST(Calculator, JsonCarriesNumbersAndRows)
{
    const CalcRun r = calc({"--json", "--finished", "3X2", "--fss-frame", "2", "--gripper", "0.5"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonObject fss = root["finished"].toObject();
    EXPECT_EQ(fss["frame"].toInt(), 2);
    EXPECT_EQ(fss["sheetDepth"].toDouble(), 11); // the full sheet, before the gripper
    EXPECT_EQ(fss["gripper"].toDouble(), 0.5);
    EXPECT_EQ(fss["frameOut"].toDouble(), fss["totalOut"].toDouble());
    EXPECT_EQ(fss["totalOut"].toDouble(),
              fss["standardOut"].toDouble() + fss["staggerOut"].toDouble());
    const QJsonArray rows = fss["rows"].toArray();
    EXPECT_EQ(rows[0].toArray()[0].toString(), " FRAME #            ");
    bool gripperRow = false;
    for (const auto &row : rows)
        gripperRow |= row.toArray()[0].toString() == "  = GRIPPER   " &&
                      row.toArray()[1].toString() == " 0.5000";
    EXPECT_TRUE(gripperRow);
    EXPECT_FALSE(root["press"].toObject().contains("gripper"));
}

TEST(Calculator, EmptyFrameMovesOnLikeTheArrow)
{
    const CalcRun r = calc({"--json", "--pss-frame", "4"});
    ASSERT_EQ(r.status, 0);
    const QJsonObject pss = QJsonDocument::fromJson(r.out.toUtf8()).object()["press"].toObject();
    EXPECT_EQ(pss["frame"].toInt(), 1);
}

TEST(Calculator, MaximizePicksTheFirstBestFrames)
{
    const CalcRun r = calc({"--json", "--maximize"});
    ASSERT_EQ(r.status, 0);
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(root["finished"].toObject()["frame"].toInt(), 4);
    EXPECT_EQ(root["finished"].toObject()["frameOut"].toDouble(), 29);
    EXPECT_EQ(root["press"].toObject()["frame"].toInt(), 1);
}

TEST(Calculator, JobFromTheDatabaseFillsTheSizesAndGripper)
{
    const CalcRun r = calc({"--json", "--db", DEMO_DATABASE, "--job", "12346"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(root["finished"].toObject()["sheetWidth"].toDouble(), 18);
    EXPECT_EQ(root["press"].toObject()["sheetWidth"].toDouble(), 18) << "no parent: press size";
    EXPECT_GT(root["finished"].toObject()["gripper"].toDouble(), 0);
}

// Text of a PDF and its page count, through poppler's tools.
QString pdfText(const QString &path)
{
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &path) { return pdfText(path).count('\f'); }

TEST(CalculatorReport, HoldsTitleJobBlockHeadingsAndRows)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("job.pdf");
    const CalcRun r = calc({"--db", DEMO_DATABASE, "--quote", "987", "--part", "2", "--report", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString text = pdfText(pdf);
    for (const char *expected :
         {"Sheetcraft", "Company: Lakeside School", "Quote #: 00000987", "Part No: 2",
          "Description: Newsletter, insert", "Stock: 60# Offset",
          "LAYOUT: Finished Forms on Press Sheet (UP):", "LAYOUT: Press Forms on Parent Sheet (OUT):",
          "PARS-SHT WIDTH", "% STOCK WASTE"})
        EXPECT_TRUE(text.contains(expected)) << expected;
    EXPECT_EQ(pdfPages(pdf), 1);
}

TEST(CalculatorReport, SquareParentSheetTakesTwoPages)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("square.pdf");
    const CalcRun r = calc({"--parent", "35x35", "--report", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_TRUE(pdfText(pdf).contains("PARS-SHT DEPTH"));
}

struct FailureCase {
    const char *name;
    QStringList args;
    int status;
    const char *stderrStart;
    bool printsFinished;
};

class CalculatorFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CalculatorFailures, ExitWithTheirStatus)
{
    const CalcRun r = calc(GetParam().args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_TRUE(r.err.startsWith(GetParam().stderrStart)) << r.err.toStdString();
    EXPECT_EQ(r.out.contains("Number Up"), GetParam().printsFinished);
    EXPECT_FALSE(r.out.contains("Number Out"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalculatorFailures,
    ::testing::Values(
        FailureCase{"noX", {"--press", "1117"}, 2, "Warning: Incorrect Size Entered!", false},
        FailureCase{"zeroPart", {"--finished", "0x3"}, 2, "Warning: Incorrect Size Entered!", false},
        FailureCase{"infinite", {"--finished", "1e999x3"}, 2, "Warning: Incorrect Size Entered!", false},
        FailureCase{"badFrame", {"--fss-frame", "5"}, 2, "Frames run from 1 to 4.", false},
        FailureCase{"unknownOption", {"--bogus"}, 2, "Unknown option", false},
        FailureCase{"finishedTooLarge", {"--finished", "12x18"}, 3,
                    "WARNING: Finished Sheet Larger Than Allowable Press Sheet!", false},
        FailureCase{"pressTooLarge", {"--parent", "10x12"}, 3,
                    "WARNING: Finished Sheet Larger Than Allowable Press Sheet!", true},
        FailureCase{"jobWithoutDb", {"--job", "12345"}, 2, "--job and --quote need --db", false},
        FailureCase{"partOutOfRange", {"--db", DEMO_DATABASE, "--job", "12345", "--part", "10"}, 2,
                    "--part runs from 1 to 9.", false},
        FailureCase{"notFound", {"--db", DEMO_DATABASE, "--job", "12345", "--part", "3"}, 4,
                    "Sorry... Job, Quote or Part Number not found.", false},
        FailureCase{"missingFile", {"--db", "/tmp/absent-folder-xyz/zvData.mdb", "--job", "1"}, 5,
                    "Invalid Database. Please Correct Path Information.", false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
