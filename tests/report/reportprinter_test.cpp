#include "reportfixture.h"

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

// A report printer whose dialogs are scripted and whose captions are kept.
struct ScriptedPrinter {
    RecordingSink sink;
    ReportPrinter printer{sink};
    std::vector<QString> captions;
    int pdfAsked = 0;
    QString pdfAnswer;

    ScriptedPrinter() {
        printer.setCaption = [this](const QString &c) { captions.push_back(c); };
        printer.askPdfPath = [this](QWidget *, const QString &) {
            ++pdfAsked;
            return pdfAnswer;
        };
        printer.printersInstalled = [] { return false; };
    }
    // A set-up dialog confirmed with the printer writing to `file`.
    void chooseFile(const QString &file) {
        printer.setUpDialog = [file](QPrinter &p, QWidget *) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(file);
            return true;
        };
        printer.mnuPrint_Click();
    }
};

const std::vector<QString> captionCycle{ReportPrinter::printingCaption,
                                        ReportPrinter::printCaption};

struct PrintCase {
    const char *name;
    std::string fss;
    const char *chosenFile;  // a file chosen in the set-up dialog; none: no printer installed
    const char *offeredFile; // the answer to the save dialog offered without a printer
    bool printed;
    int pdfAsked;
    const char *message; // the start of the one message shown, if any
};

class ReportPrinterRun : public ::testing::TestWithParam<PrintCase> {};

// The caption always comes back, whether the report was printed, refused or failed.
TEST_P(ReportPrinterRun, PrintsRefusesOrFailsAndRestoresTheCaption) {
    const PrintCase &c = GetParam();
    QTemporaryDir dir;
    ScriptedPrinter s;
    s.pdfAnswer = dir.filePath(QString::fromUtf8(c.offeredFile));
    if (c.chosenFile)
        s.chooseFile(dir.filePath(QString::fromUtf8(c.chosenFile)));
    Cells cells = drawnCells();
    cells.txtFSS = c.fss;
    EXPECT_EQ(s.printer.Command3_Click(cells, frames(1, 1, 25, 4)), c.printed);
    EXPECT_EQ(s.pdfAsked, c.pdfAsked);
    EXPECT_EQ(s.captions, captionCycle);
    // The defaults make a one-page report; a refused or failed one leaves no file.
    if (!c.chosenFile) {
        EXPECT_EQ(QFile::exists(s.pdfAnswer), c.printed);
        EXPECT_EQ(pdfText(s.pdfAnswer).count(QLatin1Char('\f')), c.printed ? 1 : 0);
    }
    if (!c.message) {
        EXPECT_TRUE(s.sink.messages.empty());
    } else {
        ASSERT_EQ(s.sink.messages.size(), 1u);
        EXPECT_EQ(s.sink.messages[0].rfind(c.message, 0), 0u) << s.sink.messages[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportPrinterRun,
    ::testing::Values(
        PrintCase{"no_printer_offers_a_pdf", "3x2", nullptr, "out.pdf", true, 1, nullptr},
        PrintCase{"no_redraw_yet", "FSS", nullptr, "out.pdf", false, 0, incorrectSizeMessage},
        PrintCase{"piece_does_not_fit", "20x12", nullptr, "out.pdf", false, 0, doesNotFitMessage},
        PrintCase{"unwritable_pdf", "3x2", nullptr, "missing/out.pdf", false, 1,
                  "The report could not be written"},
        PrintCase{"printer_failure", "3x2", "missing/out.pdf", "out.pdf", false, 0,
                  "The report could not be"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReportPrinterTest, ChosenPrinterIsKeptForTheRun) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("printer.pdf"));
    ScriptedPrinter s;
    s.chooseFile(file);
    for (int run = 0; run < 2; ++run) {
        QFile::remove(file);
        EXPECT_TRUE(s.printer.Command3_Click(drawnCells(), frames(1, 1, 25, 4)));
        EXPECT_TRUE(QFile::exists(file)) << "run " << run;
    }
    EXPECT_EQ(s.pdfAsked, 0);
    EXPECT_TRUE(s.sink.messages.empty());
    EXPECT_TRUE(pdfText(file).contains(QStringLiteral("LAYOUT: Press Forms")));
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

// A cancelled set-up keeps the printer chosen before, or none; with none the
// report is offered as a PDF, and cancelling that dialog writes nothing.
TEST(ReportPrinterDialogs, CancellingTheRealDialogsChangesNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("chosen.pdf"));
    RecordingSink unused;
    const ReportPrinter real(unused);
    for (const bool chosenBefore : {true, false}) {
        SCOPED_TRACE(chosenBefore);
        QFile::remove(file);
        ScriptedPrinter s;
        if (chosenBefore)
            s.chooseFile(file);
        s.printer.setUpDialog = real.setUpDialog;
        cancelNextDialog();
        s.printer.mnuPrint_Click();

        s.printer.askPdfPath = [&](QWidget *parent, const QString &path) {
            ++s.pdfAsked;
            cancelNextDialog();
            return real.askPdfPath(parent, path);
        };
        EXPECT_EQ(s.printer.Command3_Click(drawnCells(), frames(1, 1)), chosenBefore);
        EXPECT_EQ(s.pdfAsked, chosenBefore ? 0 : 1);
        EXPECT_EQ(QFile::exists(file), chosenBefore);
        EXPECT_EQ(s.captions, captionCycle);
        EXPECT_TRUE(s.sink.messages.empty());
    }
}

} // namespace
} // namespace sheetcraft::test
