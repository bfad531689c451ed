#pragma once

#include "bestlayout.h"
#include "cutplan.h"
#include "drawsurface.h"
#include "gangplan.h"
#include "messagesink.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace sheetcraft {

class CutLayoutView;
class frmLayOut;

// What one Compute gives: the plan and, for the parent sheets, how many press
// sheets the main window's parent sheet holds at best.
struct GangRunResult {
    GangProblem problem;
    GangPlan plan;
    std::vector<Layout> layouts; // per template, for drawing
    std::vector<CutPlan> cutPlans;
    std::int64_t out = 0; // press sheets per parent sheet; 0: not known
};

// "Gang Run": several jobs on shared press sheets. The jobs are typed, pasted
// or opened from a CSV file and kept in the settings folder; Compute plans them
// off the GUI thread on the main window's press sheet and gripper, and shows
// each template to scale with its numbered cuts, the runs, overs and totals,
// the bound and its label, and the best total for each number of templates.
class frmGangRun : public QWidget {
    Q_OBJECT
public:
    inline static const QString caption = QStringLiteral("Gang Run");
    inline static const QString jobsFileName = QStringLiteral("GangJobs.csv");

    frmGangRun(frmLayOut &main, MessageSink &messages, QWidget *parent = nullptr);
    ~frmGangRun() override;

    static frmGangRun *showWindow(frmLayOut &main, MessageSink &messages);

    // The jobs as typed; nothing, with the reason said, when a row is wrong.
    std::optional<std::vector<GangJob>> jobs();
    void setJobs(const std::vector<GangJob> &jobs);
    bool computing() const { return m_thread.joinable() && !m_done; }
    const std::optional<GangRunResult> &result() const { return m_result; }

    // Replaceable so that tests never block on a file dialog: the CSV path to
    // open (save false) or write (save true); empty when cancelled.
    std::function<QString(QWidget *parent, bool save)> askCsvPath;

    QTableWidget *tblJobs = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdPaste = nullptr;
    QPushButton *cmdOpen = nullptr;
    QPushButton *cmdSave = nullptr;
    QLabel *lblSheet = nullptr;
    QLineEdit *txtSpoilage = nullptr;
    QLineEdit *txtMakeReady = nullptr;
    QSpinBox *spnTemplates = nullptr;
    QPushButton *cmdCompute = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdPrint = nullptr;
    QProgressBar *progress = nullptr;
    QListWidget *lstTemplates = nullptr;
    CutLayoutView *view = nullptr;
    QLabel *lblLegend = nullptr;
    QTableWidget *tblResults = nullptr;
    QLabel *lblTotals = nullptr;
    QTableWidget *tblByTemplates = nullptr;
    QPlainTextEdit *txtCuts = nullptr;

signals:
    void computed(); // a result (or a refusal) is on screen

public slots:
    void cmdCompute_Click();
    void cmdCancel_Click();
    void cmdPaste_Click();
    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdPrint_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void addJobRow(const GangJob &job);
    void showSheet();
    void showResult();
    void showTemplate(int index);
    void saveJobs();
    void finishThread();

    frmLayOut &m_main;
    MessageSink &m_messages;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{true};
    std::unique_ptr<GangRunResult> m_pending; // written by the thread until m_done
    std::optional<GangRunResult> m_result;
};

// A colour per job, distinct for the first dozen.
Rgb gangJobColour(int job);

} // namespace sheetcraft
