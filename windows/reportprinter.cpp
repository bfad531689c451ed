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

bool ReportPrinter::printCutPlan(const CutPlanDocument &document, QWidget *parent) {
    if (m_chosen || (printersInstalled && printersInstalled())) {
        QPrinter &target = printer();
        if (target.outputFormat() == QPrinter::PdfFormat) {
            const QPageLayout layout = target.pageLayout();
            return saved(writeCutPlanPdf(document, target.outputFileName(), &layout));
        }
        target.setDocName(QStringLiteral("Cut Plan"));
        target.setCreator(QStringLiteral("Sheetcraft"));
        if (paintCutPlan(document, target) && target.printerState() != QPrinter::Error)
            return true;
        m_messages.message(
            tr("The cut plan could not be printed on %1.").arg(target.printerName()).toStdString());
        return false;
    }
    if (m_lastCutPlanPath.isEmpty())
        m_lastCutPlanPath = QDir(QDir::homePath()).filePath(QStringLiteral("CutPlan.pdf"));
    m_cutPlanAsked = true;
    const QString path = askPdfPath ? askPdfPath(parent, m_lastCutPlanPath) : QString();
    m_cutPlanAsked = false;
    if (path.isEmpty())
        return false;
    m_lastCutPlanPath = path;
    return saved(writeCutPlanPdf(document, path));
}

bool ReportPrinter::printPaperPage(const PaperPage &page, QWidget *parent) {
    if (m_chosen || (printersInstalled && printersInstalled())) {
        QPrinter &target = printer();
        if (target.outputFormat() == QPrinter::PdfFormat) {
            const QPageLayout layout = target.pageLayout();
            return saved(writePaperPdf(page, target.outputFileName(), &layout));
        }
        target.setDocName(page.title);
        target.setCreator(QStringLiteral("Sheetcraft"));
        if (sheetcraft::paintPaperPage(page, target) && target.printerState() != QPrinter::Error)
            return true;
        m_messages.message(
            tr("The page could not be printed on %1.").arg(target.printerName()).toStdString());
        return false;
    }
    if (m_lastPaperPath.isEmpty())
        m_lastPaperPath = QDir(QDir::homePath()).filePath(QStringLiteral("ChoosePaper.pdf"));
    const QString path = askPdfPath ? askPdfPath(parent, m_lastPaperPath) : QString();
    if (path.isEmpty())
        return false;
    m_lastPaperPath = path;
    return saved(writePaperPdf(page, path));
}

bool ReportPrinter::printGang(const GangDocument &document, QWidget *parent) {
    if (m_chosen || (printersInstalled && printersInstalled())) {
        QPrinter &target = printer();
        if (target.outputFormat() == QPrinter::PdfFormat) {
            const QPageLayout layout = target.pageLayout();
            return saved(writeGangPdf(document, target.outputFileName(), &layout));
        }
        target.setDocName(QStringLiteral("Gang Run"));
        target.setCreator(QStringLiteral("Sheetcraft"));
        if (paintGangPages(document, target) && target.printerState() != QPrinter::Error)
            return true;
        m_messages.message(
            tr("The gang run could not be printed on %1.").arg(target.printerName()).toStdString());
        return false;
    }
    if (m_lastGangPath.isEmpty())
        m_lastGangPath = QDir(QDir::homePath()).filePath(QStringLiteral("GangRun.pdf"));
    const QString path = askPdfPath ? askPdfPath(parent, m_lastGangPath) : QString();
    if (path.isEmpty())
        return false;
    m_lastGangPath = path;
    return saved(writeGangPdf(document, path));
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
