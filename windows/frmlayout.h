#pragma once

#include "bestlayout.h"
#include "cutplansettings.h"
#include "layoutsession.h"
#include "messagesink.h"
#include "orderlookup.h"
#include "recordingsurface.h"
#include "reportprinter.h"
#include "screenview.h"
#include "searchprogress.h"
#include "startup.h"
#include "unitsets.h"

#include <QApplication>
#include <QMainWindow>

#include <array>
#include <optional>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace sheetcraft {

class BestLayoutWorker;
struct BestLayoutRequest;
class DiagramCanvas;
class TwipsPlacement;

// The working window: the two diagrams drawn on its background, the gripper
// settings, the command buttons, the size cells and the job/quote fields.
// Controls are placed in twips (1440 to the inch) through the logical DPI of
// the screen the window is on. The layout logic lives in `session`; before a
// handler runs the window copies its cells into session.cells and afterwards
// back again, then says what the handler returned and does what must follow.
class frmLayOut : public QMainWindow {
    Q_OBJECT

    // Declared first: the session draws through them.
    RecordingSurface m_surface;
    ScreenView m_view;

public:
    explicit frmLayOut(MessageSink &messages, QWidget *parent = nullptr);
    ~frmLayOut() override;

    LayoutSession session;

    // The load step: caption, directions, settings files, Search and the
    // database path. Returns what start-up decided to show; on EndProgram the
    // message has been shown and endProgram has run.
    StartupState::Next Form_Load();

    // Read from the location file at start-up; used from the next start on
    // when the folder window saves new ones.
    QString dataFolder;
    QString estFolder;
    QString databasePath;

    // What the diagram area shows, in window twips.
    const RecordingSurface &surface() const { return m_surface; }
    TwipsPlacement &placement() { return *m_placement; }

    // Where "Print Layouts" goes; tests replace its dialogs.
    ReportPrinter &reportPrinter() { return m_reportPrinter; }
    bool metricUnits() const { return m_units.mnuMetric; }

    void setDirectionsVisible(bool visible);
    bool directionsVisible() const;

    // Puts a press and a parent size into their cells as if typed there, and
    // redraws both diagrams from frame 1.
    void putSheetSizes(const QString &press, const QString &parent);

    // Widgets -> session.cells and back; handlers do this themselves.
    void pullCells();
    void pushCells();

    // Visible controls, named as the window designs them.
    QPushButton *cmdARFSS = nullptr;
    QPushButton *cmdARPSS = nullptr;
    QFrame *shpDirections = nullptr;
    QLabel *lblDirections = nullptr;
    QGroupBox *frGripper = nullptr;
    QRadioButton *optWidth = nullptr;
    QRadioButton *optDepth = nullptr;
    QLabel *lblGrip = nullptr;
    QLabel *lblGutter = nullptr;
    QLineEdit *txtGrip = nullptr;
    QLineEdit *txtGutter = nullptr;
    QPushButton *cmdMaxOut = nullptr; // designed invisible
    QPushButton *Command1 = nullptr;  // Clear
    QPushButton *Command3 = nullptr;  // Print Layouts
    QPushButton *Command2 = nullptr;  // Exit
    QLabel *lblFinished = nullptr;
    QLabel *lblPress = nullptr;
    QLabel *lblParent = nullptr;
    std::array<QLineEdit *, 3> txtSize{};
    QGroupBox *Frame1 = nullptr;
    QRadioButton *optJob = nullptr;
    QRadioButton *optQuote = nullptr;
    QLineEdit *txtSearch = nullptr;
    QPushButton *cmdSearch = nullptr;
    QLabel *lblPartNo = nullptr;
    QLineEdit *txtPartNo = nullptr;
    QLabel *lblStock = nullptr;
    QLineEdit *txtStockDesc = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *txtName = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtQuote = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *txtJob = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *txtDesc = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuKel = nullptr;
    QAction *mnuTxt = nullptr;
    QAction *mnuBreak = nullptr;
    QMenu *mnuSetup = nullptr;
    QAction *mnuPath = nullptr;
    QAction *mnuServer = nullptr; // "Order Server": file or server
    QAction *mnuPrint = nullptr;
    QAction *mnuMetric = nullptr;
    QMenu *mnuTools = nullptr;
    QAction *mnuBest = nullptr;      // "Best Layout and Cut Plan"
    QAction *mnuPaper = nullptr;     // "Choose Paper"
    QAction *mnuGang = nullptr;      // "Gang Run"
    QLabel *lblGainStatus = nullptr; // what would gain one more piece
    // Below the designed area: says when a guillotine layout beats the frames.
    QLabel *lblBestStatus = nullptr;

    // The one search of the best layouts, shared by the status line and the
    // "Best Layout and Cut Plan" window, so both show the same answer.
    BestLayoutWorker &bestWorker() { return *m_bestWorker; }
    // The diagrams as drawn, or as the typed cells work out when they have
    // changed since (or nothing is drawn), with the chosen grains and gutter.
    BestLayoutRequest bestRequest();
    GrainRule bestGrain(std::size_t stage) const { return m_bestGrains[stage]; }
    void askBest();
    // The best-layout window's choices; asks again. Without a gutter typed
    // there, the press's gutter in the cells (filled by Search) is used.
    void setBestChoices(GrainRule finished, GrainRule press, std::optional<double> gutter,
                        const MachineRules &machine);
    // Redraws when the cells differ from what is drawn, as printing needs;
    // false when the redraw did not draw both diagrams (it has said why).
    bool drawIfCellsChanged();
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuReset = nullptr;
    QAction *mnuVersion = nullptr;

public slots:
    void cmdARFSS_Click();
    void cmdARPSS_Click();
    void cmdNext_Click();
    void cmdNextPSS_Click();
    void cmdMaxOut_Click();
    void Command1_Click();
    void Command2_Click();
    void optWidth_GotFocus();
    void optDepth_GotFocus();
    void txtSize_LostFocus(int index);
    void txtSearch_KeyPress(int key);

    // Filled in by the areas that own these actions.
    void Command3_Click();
    void cmdSearch_Click();
    void txtPartNo_Change();
    void mnuKel_Click();
    void mnuTxt_Click();
    void mnuPath_Click();
    void mnuServer_Click();
    void mnuPrint_Click();
    void mnuMetric_Click();
    void mnuReset_Click();
    void mnuAbout_Click();
    void mnuVersion_Click();
    void mnuBest_Click();
    void mnuPaper_Click();
    void mnuGang_Click();

signals:
    // After every handler that may have redrawn the diagrams.
    void layoutsRedrawn();
    // Every window has been closed; the event loop is to end with this code.
    // The program's main connects it to the application.
    void programEnding(int exitCode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The one way the program ends: Exit, a start-up failure, a lookup failure.
    void endProgram(int exitCode);
    // Runs a handler that returns an Outcome with the cells copied in and
    // back out, then acts on the outcome.
    template <typename Handler> void run(Handler &&handler);
    // Shows the messages, then does what must follow them.
    void act(const Outcome &said);
    void eraseDrawing();
    void buildControls();
    void buildMenus();
    void setTabOrder();
    void gripperGotFocus(bool onWidth);
    void setModeMarks(const ModeMarks &marks);
    void applyStartup(const StartupState &state);
    void scaleChanged();

    MessageSink &m_messages;
    UnitSets m_units;
    ReportPrinter m_reportPrinter;

    SearchProgress m_searchProgress{this};
    OrderLookup m_lookup;
    TwipsPlacement *m_placement = nullptr;
    DiagramCanvas *m_canvas = nullptr;
    BestLayoutWorker *m_bestWorker = nullptr;
    std::array<GrainRule, 2> m_bestGrains{GrainRule::Any, GrainRule::OneWay};
    std::optional<double> m_bestGutter;
    std::optional<MachineRules> m_bestMachine; // the saved cutter until the window sets one
    CutPlanSettings m_savedCutPlan;            // read once at start, not on every redraw
    bool m_shownOnce = false;
};

} // namespace sheetcraft
