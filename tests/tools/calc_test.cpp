// Runs the built calculator as a process: output, JSON, report and exit status.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

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
    }
}

TEST(Calculator, ReportHoldsTheJobAndBreaksASquareParentSheet) {
    const struct {
        QStringList args;
        int pages;
        QStringList texts;
    } rows[] = {{{"--db", DEMO_DATABASE, "--quote", "987", "--part", "2"},
                 1,
                 {"Sheetcraft", "Company: Lakeside School", "Quote #: 00000987", "Part No: 2",
                  "LAYOUT: Finished Forms on Press Sheet (UP):",
                  "LAYOUT: Press Forms on Parent Sheet (OUT):", "PARS-SHT WIDTH"}},
                {{"--parent", "35x35"}, 2, {"PARS-SHT DEPTH"}}};
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    for (const auto &row : rows) {
        ASSERT_EQ(calc(row.args + QStringList{"--report", pdf}).status, 0);
        const QString text = run("pdftotext", {"-layout", pdf, "-"}).out;
        EXPECT_EQ(text.count('\f'), row.pages);
        for (const QString &expected : row.texts)
            EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
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
        {{"--db", "/no/such/folder/zvData.mdb", "--job", "1"}, 5, "Invalid Database.", false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const Result r = calc(row.args);
        EXPECT_EQ(r.status, row.status);
        EXPECT_TRUE(r.err.startsWith(row.stderrStart)) << r.err.toStdString();
        EXPECT_EQ(r.err.count(row.stderrStart), 1) << r.err.toStdString(); // said once
        EXPECT_EQ(r.out.contains("Number Up"), row.printsFinished);
        EXPECT_FALSE(r.out.contains("Number Out"));
    }
}

} // namespace
