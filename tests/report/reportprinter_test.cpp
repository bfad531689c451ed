#include "reportfixture.h"

#include "reportoutput.h"
#include "reportprinter.h"
#include "sheetsize.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

namespace sheetcraft::test {
namespace {

// Text of a PDF as pdftotext reads it, page breaks as form feeds.
QString pdfText(const QString &path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &path) {
    return static_cast<int>(pdfText(path).count(QLatin1Char('\f')));
}

TEST(ReportPdf, HoldsTitleJobBlockAndBothSections) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("layouts.pdf"));
    Cells cells = drawnCells();
    cells.txtGrip = "0.5";
    RecordingSink sink;
    ASSERT_TRUE(writeReportPdf(cells, frames(2, 1, 28, 4), path, sink));
    EXPECT_TRUE(sink.messages.empty());

    const QString text = pdfText(path);
    for (const char *expected : {"Sheetcraft",
                                 "Company:",
                                 "Acme Print",
                                 "Job #:",
                                 "4711",
                                 "Part No:",
                                 "Description:",
                                 "Letterhead",
                                 "Stock:",
                                 "24# Bond",
                                 "LAYOUT: Finished Forms on Press Sheet (UP): 28",
                                 "LAYOUT: Press Forms on Parent Sheet (OUT): 4",
                                 "STAGGER OUT",
                                 "TOTAL OUT",
                                 "= GRIPPER",
                                 "0.5000",
                                 "PARS-SHT WIDTH",
                                 "35.0000",
                                 "X=PRS SHT DIM",
                                 "x=SWING CUT",
                                 "% STOCK WASTE"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(pdfPages(path), 1);
}

TEST(ReportPdf, SquareParentSheetGoesOnASecondPage) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("square.pdf"));
    Cells cells = drawnCells();
    cells.txtPARS = "23x23";
    RecordingSink sink;
    ASSERT_TRUE(writeReportPdf(cells, frames(1, 1, 25, 1), path, sink));
    const QStringList pages = pdfText(path).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("LAYOUT: Finished Forms")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("LAYOUT: Press Forms")));
    // Nothing of the press section is cut off: its last row is there.
    EXPECT_TRUE(pages[1].contains(QStringLiteral("% STOCK WASTE")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("PARS-SHT DEPTH")));
}

struct WriteFailure {
    const char *name;
    std::string fss;
    bool badDirectory;
    const char *message; // nullptr: the file message
};

class ReportPdfRefused : public ::testing::TestWithParam<WriteFailure> {};

TEST_P(ReportPdfRefused, WritesNoFileAndSaysWhy) {
    const WriteFailure &c = GetParam();
    QTemporaryDir dir;
    const QString path = c.badDirectory ? dir.filePath(QStringLiteral("missing/out.pdf"))
                                        : dir.filePath(QStringLiteral("out.pdf"));
    Cells cells = drawnCells();
    cells.txtFSS = c.fss;
    RecordingSink sink;
    EXPECT_FALSE(writeReportPdf(cells, frames(1, 1), path, sink));
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(sink.messages.size(), 1u);
    if (c.message)
        EXPECT_EQ(sink.messages[0], c.message);
    else
        EXPECT_NE(sink.messages[0].find("could not be written"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportPdfRefused,
    ::testing::Values(WriteFailure{"no_redraw_yet", "FSS", false, incorrectSizeMessage},
                      WriteFailure{"piece_does_not_fit", "20x12", false, doesNotFitMessage},
                      WriteFailure{"unwritable_path", "3x2", true, nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

// A report printer whose dialogs are scripted and whose captions are kept.
struct ScriptedPrinter {
    RecordingSink sink;
    ReportPrinter printer{sink};
    std::vector<QString> captions;
    int pdfAsked = 0;
    QString pdfAnswer;
    bool hasPrinters = false;

    ScriptedPrinter() {
        printer.setCaption = [this](const QString &c) { captions.push_back(c); };
        printer.askPdfPath = [this](QWidget *, const QString &) {
            ++pdfAsked;
            return pdfAnswer;
        };
        printer.printersInstalled = [this] { return hasPrinters; };
    }
    // The set-up dialog: confirmed with the printer writing to `file`, or cancelled.
    void chooseFile(const QString &file, bool confirm) {
        printer.setUpDialog = [file, confirm](QPrinter &p, QWidget *) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(file);
            return confirm;
        };
        printer.mnuPrint_Click();
    }
};

const std::vector<QString> captionCycle{ReportPrinter::printingCaption,
                                        ReportPrinter::printCaption};

TEST(ReportPrinterTest, WithoutPrintersOffersAPdfFile) {
    QTemporaryDir dir;
    ScriptedPrinter s;
    s.pdfAnswer = dir.filePath(QStringLiteral("offered.pdf"));
    EXPECT_TRUE(s.printer.Command3_Click(drawnCells(), frames(1, 1, 25, 4)));
    EXPECT_EQ(s.pdfAsked, 1);
    EXPECT_EQ(s.captions, captionCycle);
    EXPECT_TRUE(s.sink.messages.empty());
    EXPECT_EQ(pdfPages(s.pdfAnswer), 1);
}

TEST(ReportPrinterTest, RefusedReportAsksForNoFileAndRestoresTheCaption) {
    ScriptedPrinter s;
    Cells cells = drawnCells();
    cells.txtFSS = "FSS";
    EXPECT_FALSE(s.printer.Command3_Click(cells, frames(0, 0)));
    EXPECT_EQ(s.pdfAsked, 0);
    EXPECT_EQ(s.captions, captionCycle);
    EXPECT_EQ(s.sink.messages, std::vector<std::string>{incorrectSizeMessage});
}

TEST(ReportPrinterTest, ChosenPrinterIsKeptForTheRun) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("printer.pdf"));
    ScriptedPrinter s;
    s.chooseFile(file, true);
    for (int run = 0; run < 2; ++run) {
        QFile::remove(file);
        EXPECT_TRUE(s.printer.Command3_Click(drawnCells(), frames(1, 1, 25, 4)));
        EXPECT_TRUE(QFile::exists(file)) << "run " << run;
    }
    EXPECT_EQ(s.pdfAsked, 0);
    EXPECT_TRUE(s.sink.messages.empty());
    EXPECT_TRUE(pdfText(file).contains(QStringLiteral("LAYOUT: Press Forms")));
}

TEST(ReportPrinterTest, PrinterFailureIsReportedAndTheCaptionRestored) {
    QTemporaryDir dir;
    ScriptedPrinter s;
    s.chooseFile(dir.filePath(QStringLiteral("no/such/folder/out.pdf")), true);
    EXPECT_FALSE(s.printer.Command3_Click(drawnCells(), frames(1, 1)));
    EXPECT_EQ(s.captions, captionCycle);
    ASSERT_EQ(s.sink.messages.size(), 1u);
    EXPECT_NE(s.sink.messages[0].find("could not be"), std::string::npos);
}

// Cancels whatever modal dialog opens next, as a user pressing Cancel would.
void cancelNextDialog() {
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
        else
            cancelNextDialog();
    });
}

TEST(ReportPrinterDialogs, CancellingTheRealDialogsChangesNothing) {
    QTemporaryDir dir;
    RecordingSink sink;
    ReportPrinter printer(sink);
    std::vector<QString> captions;
    printer.setCaption = [&](const QString &c) { captions.push_back(c); };
    printer.printersInstalled = [] { return false; };

    printer.setUpDialog = [&](QPrinter &p, QWidget *) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(dir.filePath(QStringLiteral("chosen.pdf")));
        return true;
    };
    printer.mnuPrint_Click();
    const QString before = printer.currentPrinter()->outputFileName();

    printer.setUpDialog = ReportPrinter(sink).setUpDialog;
    cancelNextDialog();
    printer.mnuPrint_Click();
    EXPECT_EQ(printer.currentPrinter()->outputFileName(), before);

    // With no set-up made, the save dialog is offered; cancelling it writes nothing.
    ReportPrinter fresh(sink);
    fresh.printersInstalled = [] { return false; };
    fresh.setCaption = printer.setCaption;
    cancelNextDialog();
    EXPECT_FALSE(fresh.Command3_Click(drawnCells(), frames(1, 1)));
    EXPECT_EQ(captions, captionCycle);
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
} // namespace sheetcraft::test
