#include "reportprinter.h"

#include "reportoutput.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

namespace sheetcraft {

namespace {

bool runPrintSetUp(QPrinter &printer, QWidget *parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(ReportPrinter::tr("Print Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // The dialog only chooses the printer; "Print Layouts" prints.
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(ReportPrinter::tr("OK"));
    return dialog.exec() == QDialog::Accepted;
}

QString askForPdf(QWidget *parent, const QString &suggested, const QString &title) {
    QFileDialog dialog(parent, title, suggested, ReportPrinter::tr("PDF files (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Restores the button caption however the report ends.
class CaptionGuard {
public:
    explicit CaptionGuard(const std::function<void(const QString &)> &setCaption)
        : m_setCaption(setCaption) {
        if (m_setCaption)
            m_setCaption(ReportPrinter::printingCaption());
    }
    ~CaptionGuard() {
        if (m_setCaption)
            m_setCaption(ReportPrinter::printCaption());
    }
    CaptionGuard(const CaptionGuard &) = delete;
    CaptionGuard &operator=(const CaptionGuard &) = delete;

private:
    const std::function<void(const QString &)> &m_setCaption;
};

// The settings a set-up dialog may change, carried over to a fresh printer so
// that a cancelled dialog leaves the current one untouched.
void copyPrinterSettings(const QPrinter &from, QPrinter &to) {
    if (from.outputFormat() == QPrinter::NativeFormat) {
        to.setPrinterName(from.printerName());
    } else {
        to.setOutputFormat(from.outputFormat());
        to.setOutputFileName(from.outputFileName());
    }
    to.setPageLayout(from.pageLayout());
    to.setCopyCount(from.copyCount());
    to.setCollateCopies(from.collateCopies());
    to.setDuplex(from.duplex());
    to.setColorMode(from.colorMode());
}

} // namespace

ReportPrinter::ReportPrinter(MessageSink &messages)
    : setUpDialog(runPrintSetUp), askPdfPath([this](QWidget *parent, const QString &suggested) {
          return askForPdf(parent, suggested,
                           m_cutPlanAsked ? tr("No Printer Installed: Save Cut Plan as PDF")
                                          : tr("No Printer Installed: Save Layouts as PDF"));
      }),
      printersInstalled([] { return !QPrinterInfo::availablePrinters().isEmpty(); }),
      m_messages(messages) {}

ReportPrinter::~ReportPrinter() = default;

bool ReportPrinter::saved(const Outcome &written) {
    showMessages(m_messages, written);
    return written.saysNothing();
}

QPrinter &ReportPrinter::printer() {
    if (!m_printer) {
        // The system's default printer with the settings it holds; Letter
        // paper only when there is no printer to say otherwise.
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (m_printer->outputFormat() != QPrinter::NativeFormat)
            setUpReportPdf(*m_printer);
    }
    return *m_printer;
}

void ReportPrinter::mnuPrint_Click(QWidget *parent) {
    auto candidate = std::make_unique<QPrinter>(QPrinter::HighResolution);
    copyPrinterSettings(printer(), *candidate);
    if (!setUpDialog || !setUpDialog(*candidate, parent))
        return;
    m_printer = std::move(candidate);
    m_chosen = true;
}

bool ReportPrinter::Command3_Click(const Cells &cells, const FrameState &frames, QWidget *parent) {
    const CaptionGuard caption(setCaption);

    Outcome refused;
    const std::optional<ReportContent> content = prepareReport(cells, frames, refused);
    if (!content) {
        showMessages(m_messages, refused);
        return false;
    }

    if (m_chosen || (printersInstalled && printersInstalled())) {
        // A file chosen in the set-up dialog is not overwritten unasked: the
        // save dialog offers it again and confirms replacing it.
        QPrinter &target = printer();
        if (target.outputFormat() == QPrinter::PdfFormat &&
            QFileInfo::exists(target.outputFileName())) {
            const QString path =
                askPdfPath ? askPdfPath(parent, target.outputFileName()) : QString();
            if (path.isEmpty())
                return false;
            target.setOutputFileName(path);
        }
        return printToPrinter(cells, frames, *content);
    }

    if (m_lastPdfPath.isEmpty())
        m_lastPdfPath = QDir(QDir::homePath()).filePath(QStringLiteral("Layouts.pdf"));
    const QString path = askPdfPath ? askPdfPath(parent, m_lastPdfPath) : QString();
    if (path.isEmpty())
        return false;
    m_lastPdfPath = path;
    return saved(writeReportPdf(cells, frames, *content, path));
}

bool ReportPrinter::printPages(
    const QString &docName, const QString &notPrinted, QString &lastPath, const QString &fileName,
    const std::function<bool(QPrinter &)> &paint,
    const std::function<Outcome(const QString &, const QPageLayout *)> &write, QWidget *parent) {
    if (m_chosen || (printersInstalled && printersInstalled())) {
        QPrinter &target = printer();
        if (target.outputFormat() == QPrinter::PdfFormat) {
            const QPageLayout layout = target.pageLayout();
            return saved(write(target.outputFileName(), &layout));
        }
        target.setDocName(docName);
        target.setCreator(QStringLiteral("Sheetcraft"));
        if (paint(target) && target.printerState() != QPrinter::Error)
            return true;
        m_messages.message(notPrinted.arg(target.printerName()).toStdString());
        return false;
    }
    if (lastPath.isEmpty())
        lastPath = QDir(QDir::homePath()).filePath(fileName);
    const QString path = askPdfPath ? askPdfPath(parent, lastPath) : QString();
    if (path.isEmpty())
        return false;
    lastPath = path;
    return saved(write(path, nullptr));
}

bool ReportPrinter::printCutPlan(const CutPlanDocument &document, QWidget *parent) {
    m_cutPlanAsked = true; // the file dialog says it is for the cut plan
    const bool printed = printPages(
        QStringLiteral("Cut Plan"), tr("The cut plan could not be printed on %1."),
        m_lastCutPlanPath, QStringLiteral("CutPlan.pdf"),
        [&](QPrinter &target) { return paintCutPlan(document, target); },
        [&](const QString &path, const QPageLayout *layout) {
            return writeCutPlanPdf(document, path, layout);
        },
        parent);
    m_cutPlanAsked = false;
    return printed;
}

bool ReportPrinter::printPaperPage(const PaperPage &page, QWidget *parent) {
    return printPages(
        page.title, tr("The page could not be printed on %1."), m_lastPaperPath,
        QStringLiteral("ChoosePaper.pdf"),
        [&](QPrinter &target) { return sheetcraft::paintPaperPage(page, target); },
        [&](const QString &path, const QPageLayout *layout) {
            return writePaperPdf(page, path, layout);
        },
        parent);
}

bool ReportPrinter::printGang(const GangDocument &document, QWidget *parent) {
    return printPages(
        QStringLiteral("Gang Run"), tr("The gang run could not be printed on %1."), m_lastGangPath,
        QStringLiteral("GangRun.pdf"),
        [&](QPrinter &target) { return paintGangPages(document, target); },
        [&](const QString &path, const QPageLayout *layout) {
            return writeGangPdf(document, path, layout);
        },
        parent);
}

bool ReportPrinter::printToPrinter(const Cells &cells, const FrameState &frames,
                                   const ReportContent &content) {
    QPrinter &target = printer();
    // A file chosen in the set-up dialog is made like every report file (at a
    // printer's resolution, so the line widths look as they do on paper) and
    // saved safely, on the pages the dialog set.
    if (target.outputFormat() == QPrinter::PdfFormat) {
        const QPageLayout layout = target.pageLayout();
        return saved(writeReportPdf(cells, frames, content, target.outputFileName(), &layout));
    }
    target.setDocName(QStringLiteral("Layouts"));
    target.setCreator(QStringLiteral("Sheetcraft"));
    if (paintReport(cells, frames, content, target) && target.printerState() != QPrinter::Error)
        return true;

    const QString text =
        target.outputFormat() == QPrinter::NativeFormat
            ? tr("The report could not be printed on %1.").arg(target.printerName())
            : tr("The report could not be written to %1.")
                  .arg(QDir::toNativeSeparators(target.outputFileName()));
    m_messages.message(text.toStdString());
    return false;
}

} // namespace sheetcraft
