#include "drawncells.h"
#include "fitcount.h"
#include "layoutsession.h"
#include "layprint.h"
#include "recordingsink.h"
#include "reportprinter.h"
#include "sheetsize.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

namespace sheetcraft::test {
namespace {

// The set-up dialog chooses a printer; its button says so rather than "Print".
TEST(ReportPrinterSetUp, ConfirmButtonSaysOk) {
    RecordingSink sink;
    ReportPrinter printer(sink);
    QStringList seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        if (auto *box = dialog->findChild<QDialogButtonBox *>())
            for (QAbstractButton *b : box->buttons())
                seen << b->text();
        dialog->reject();
    });
    poll.start(10);
    printer.mnuPrint_Click();
    EXPECT_TRUE(seen.contains("OK")) << seen.join('|').toStdString();
    EXPECT_FALSE(seen.contains("&Print") || seen.contains("Print"));
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

struct PrintCase {
    const char *name;
    Cells cells;
    bool chosen; // a printer writing to `file` chosen in the set-up dialog; none installed else
    const char *file; // also the save dialog's answer
    bool cancelReal;  // then the real set-up dialog and any save dialog are cancelled
    bool printed;
    int pdfAsked;        // each run
    const char *message; // the start of the one message each run shows, if any
    bool exists = false; // `file` already holds an older report before each run
};

class ReportPrinterRun : public ::testing::TestWithParam<PrintCase> {};

// Run twice: the printer chosen stays for the run, and the caption always comes back.
TEST_P(ReportPrinterRun, PrintsRefusesOrFailsAndRestoresTheCaption) {
    const PrintCase &c = GetParam();
    QTemporaryDir dir;
    const QString file = dir.filePath(QString::fromUtf8(c.file));
    RecordingSink sink;
    ReportPrinter printer(sink), real(sink);
    std::vector<QString> captions;
    int pdfAsked = 0;
    printer.setCaption = [&](const QString &caption) { captions.push_back(caption); };
    printer.printersInstalled = [] { return false; };
    printer.setUpDialog = [&](QPrinter &p, QWidget *) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(file);
        return true;
    };
    if (c.chosen)
        printer.mnuPrint_Click();
    printer.askPdfPath = [&](QWidget *parent, const QString &suggested) {
        ++pdfAsked;
        if (!c.cancelReal)
            return file;
        cancelNextDialog();
        return real.askPdfPath(parent, suggested);
    };
    if (c.cancelReal) {
        printer.setUpDialog = real.setUpDialog;
        cancelNextDialog();
        printer.mnuPrint_Click();
    }
    std::vector<QString> cycles;
    for (unsigned run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        QFile old(file);
        if (c.exists) {
            ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            old.close();
        }
        EXPECT_EQ(printer.Command3_Click(c.cells, {1, 1}), c.printed);
        ASSERT_EQ(old.open(QIODevice::ReadOnly), c.printed || c.exists);
        EXPECT_EQ(old.read(4) == "%PDF", c.printed); // written over only when printed
        old.close();
        QFile::remove(file); // gone for the next run
        EXPECT_EQ(pdfAsked, static_cast<int>(run) * c.pdfAsked);
        cycles.insert(cycles.end(),
                      {ReportPrinter::printingCaption(), ReportPrinter::printCaption()});
        EXPECT_EQ(captions, cycles);
        ASSERT_EQ(sink.messages.size(), c.message ? run : 0u);
        if (c.message) {
            EXPECT_EQ(sink.messages.back().rfind(c.message, 0), 0u) << sink.messages.back();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportPrinterRun,
    ::testing::Values(PrintCase{"cancelled_set_up_keeps_the_chosen_printer", drawn(), true,
                                "chosen.pdf", true, true, 0, nullptr},
                      PrintCase{"cancelled_set_up_and_save_dialog", drawn(), false, "out.pdf", true,
                                false, 1, nullptr},
                      PrintCase{"parent_too_narrow", drawn("17x11", "0.04x0.01"), false, "out.pdf",
                                false, false, 0, incorrectSizeMessage},
                      PrintCase{"neither_fits_warns_once", drawn("40x30", "35x23", "0", "20x12"),
                                false, "out.pdf", false, false, 0, doesNotFitMessage},
                      PrintCase{"unwritable_pdf", drawn(), false, "missing/out.pdf", false, false,
                                1, "The report could not be written"},
                      PrintCase{"printer_failure", drawn(), true, "missing/out.pdf", false, false,
                                0, "The report could not be"},
                      // A file chosen in the set-up dialog that exists is offered
                      // again by the save dialog; cancelling it keeps the file.
                      PrintCase{"chosen_file_exists_is_asked_for", drawn(), true, "chosen.pdf",
                                false, true, 1, nullptr, true},
                      PrintCase{"chosen_file_exists_cancelled", drawn(), true, "chosen.pdf", true,
                                false, 1, nullptr, true}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
} // namespace sheetcraft::test
