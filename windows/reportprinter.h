#pragma once

#include "cells.h"
#include "cutplanprint.h"
#include "gangprint.h"
#include "layoutsession.h"
#include "messagesink.h"
#include "paperprint.h"
#include "reportcontent.h"

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace sheetcraft {

// Where "Print Layouts" sends the report: the current printer (the system's
// default, or the one chosen with File > SetUp > "Printer", kept for the rest
// of the run), or a PDF file when no printer is installed. The dialogs are
// replaceable so that tests never block on them.
class ReportPrinter {
    Q_DECLARE_TR_FUNCTIONS(ReportPrinter)

public:
    static QString printCaption() { return tr("Print Layouts"); }
    static QString printingCaption() { return tr("Printing..."); }

    explicit ReportPrinter(MessageSink &messages);
    ~ReportPrinter();
    ReportPrinter(const ReportPrinter &) = delete;
    ReportPrinter &operator=(const ReportPrinter &) = delete;

    // Sets the caption of the "Print Layouts" button.
    std::function<void(const QString &caption)> setCaption;
    // The print set-up dialog on `printer`; true when the user confirmed it.
    std::function<bool(QPrinter &printer, QWidget *parent)> setUpDialog;
    // Asks for the PDF file to write, suggesting a path; an empty text means
    // the user cancelled.
    std::function<QString(QWidget *parent, const QString &suggested)> askPdfPath;
    // Whether the system has any printer to print on.
    std::function<bool()> printersInstalled;

    // File > SetUp > "Printer": the set-up dialog on a copy of the current
    // printer, which replaces it only when the dialog is confirmed.
    void mnuPrint_Click(QWidget *parent = nullptr);

    // "Print Layouts": the caption reads "Printing..." while the report is made
    // and "Print Layouts" afterwards, whatever happened. Returns true when the
    // report went to the printer or the file.
    bool Command3_Click(const Cells &cells, const FrameState &frames, QWidget *parent = nullptr);

    // "Print Cut Plan": the same printer, or a PDF file when there is none.
    // Returns true when the pages went to the printer or the file.
    bool printCutPlan(const CutPlanDocument &document, QWidget *parent = nullptr);
    // The gang run's pages, the same way.
    bool printGang(const GangDocument &document, QWidget *parent = nullptr);

    // "Print" in Choose Paper: the same printer, or a PDF file when there is none.
    bool printPaperPage(const PaperPage &page, QWidget *parent = nullptr);

private:
    QPrinter &printer();
    // Says why a report file was not written; true when it was.
    bool saved(const Outcome &written);
    // Pages on the printer or, with none, in a PDF file the user names (first
    // offered as fileName in the home folder, then the last one chosen).
    bool printPages(const QString &docName, const QString &notPrinted, QString &lastPath,
                    const QString &fileName, const std::function<bool(QPrinter &)> &paint,
                    const std::function<Outcome(const QString &, const QPageLayout *)> &write,
                    QWidget *parent);
    bool printToPrinter(const Cells &cells, const FrameState &frames, const ReportContent &content);

    MessageSink &m_messages;
    std::unique_ptr<QPrinter> m_printer;
    bool m_chosen = false; // set once the set-up dialog has been confirmed
    QString m_lastPdfPath; // suggested again for the next file of the run
    QString m_lastCutPlanPath;
    bool m_cutPlanAsked = false; // the file dialog is for the cut plan
    QString m_lastPaperPath;
    QString m_lastGangPath;
};

} // namespace sheetcraft
