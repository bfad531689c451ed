#include "frmlayout.h"

#include "bestlayoutworker.h"
#include "cutplansettings.h"
#include "frmabout.h"
#include "frmbestlayout.h"
#include "frmchoosepaper.h"
#include "frmgangrun.h"
#include "frmpath.h"
#include "frmserver.h"
#include "frmversion.h"
#include "gainpanel.h"

#include "diagramcanvas.h"
#include "embeddedfonts.h"
#include "pictures.h"
#include "serversettings.h"
#include "twipsplacement.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>
#include <vector>

namespace sheetcraft {

namespace {

constexpr int clientWidth = 7335; // twips
constexpr int clientHeight = 7530;

// Switching to another window (a message box included) or opening a menu is
// not the user leaving or entering a control: a size cell left half typed
// while the user looks something up elsewhere must not warn, and a message
// box closing must not run its own cause again.
bool isUserFocusChange(const QEvent *event) {
    const auto reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void setIfChanged(QLineEdit *edit, const std::string &text) {
    const QString value = QString::fromStdString(text);
    if (edit->text() != value)
        edit->setText(value);
}

} // namespace

frmLayOut::frmLayOut(MessageSink &messages, QWidget *parent)
    : QMainWindow(parent), m_surface(windowFont(), TwipsScale::of(screen()).dpi()),
      m_view(m_surface), session(&m_view), m_messages(messages), m_reportPrinter(messages),
      m_lookup(session) {
    m_lookup.wait = &m_searchProgress;
    setWindowTitle(tr("Sheetcraft"));
    setFont(windowFont());
    m_placement = new TwipsPlacement(this);
    m_canvas = new DiagramCanvas(m_surface, m_placement->scale().pixelsPerTwip(), this);
    m_placement->fixSize(m_canvas, QSize(clientWidth, clientHeight));
    setCentralWidget(m_canvas);
    buildControls();
    buildMenus();
    setTabOrder();
    pushCells();
    m_reportPrinter.setCaption = [this](const QString &caption) {
        Command3->setText(caption);
        Command3->repaint(); // printing runs to its end before the next paint
    };
    // The status line sits below the designed area, which keeps its size.
    // Two lines under the designed area: the best layout's gain, then what
    // would gain one more piece. The window's width is fixed, so each wraps
    // rather than run off its edge.
    auto *statusLines = new QWidget(this);
    auto *statusLayout = new QVBoxLayout(statusLines);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(0);
    lblBestStatus = new QLabel(statusLines);
    lblGainStatus = new QLabel(statusLines);
    for (QLabel *line : {lblBestStatus, lblGainStatus}) {
        line->setWordWrap(true);
        statusLayout->addWidget(line);
    }
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(statusLines, 1);
    m_bestWorker = new BestLayoutWorker(std::chrono::milliseconds(1000), this);
    m_savedCutPlan = readCutPlanSettings();
    for (std::size_t i = 0; i < 2; ++i)
        if (const auto rule =
                grainFromText((i == 0 ? m_savedCutPlan.finishedGrain : m_savedCutPlan.pressGrain)
                                  .trimmed()
                                  .toStdString()))
            m_bestGrains[i] = *rule;
    connect(this, &frmLayOut::layoutsRedrawn, this, &frmLayOut::askBest);
    // Enter in a size cell asks about the size typed, without leaving the cell.
    for (QLineEdit *size : txtSize)
        connect(size, &QLineEdit::returnPressed, this, &frmLayOut::askBest);
    connect(m_bestWorker, &BestLayoutWorker::computed, lblBestStatus,
            [this] { lblBestStatus->setText(bestGainText(*m_bestWorker->result())); });
    followGainStatus(*this, lblGainStatus);
    // Not resizable: the window keeps its designed client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_placement, &TwipsPlacement::scaleChanged, this, &frmLayOut::scaleChanged);
}

frmLayOut::~frmLayOut() = default;

// On another screen the controls have been placed again; the drawing and the
// arrows' pictures follow.
void frmLayOut::scaleChanged() {
    m_canvas->setPixelsPerTwip(m_placement->scale().pixelsPerTwip());
    for (QPushButton *arrow : {cmdARFSS, cmdARPSS})
        arrow->setIconSize(arrow->size() * 0.6);
}

void frmLayOut::buildControls() {
    QWidget *c = m_canvas;
    auto place = [this](QWidget *w, int left, int top, int width, int height) {
        m_placement->place(w, QRect(left, top, width, height));
        return w;
    };
    auto label = [&](QWidget *parent, const QString &text, int l, int t, int w, int h,
                     Qt::Alignment align = Qt::AlignLeft) {
        auto *lbl = new QLabel(text, parent);
        lbl->setAlignment(align | Qt::AlignTop);
        // Opaque, so drawn panel rows running under a label are hidden by it.
        lbl->setAutoFillBackground(true);
        place(lbl, l, t, w, h);
        return lbl;
    };
    auto edit = [&](QWidget *parent, const char *text, int l, int t, int w, int h) {
        auto *e = new QLineEdit(QString::fromUtf8(text), parent);
        place(e, l, t, w, h);
        return e;
    };
    auto button = [&](QWidget *parent, const QString &text, int l, int t, int w, int h) {
        auto *b = new QPushButton(text, parent);
        // Enter clicks the focused button, as Space does.
        b->setAutoDefault(true);
        place(b, l, t, w, h);
        return b;
    };

    cmdARFSS = button(c, QString(), 2520, 600, 495, 495);
    cmdARPSS = button(c, QString(), 5880, 600, 495, 495);
    for (QPushButton *arrow : {cmdARFSS, cmdARPSS}) {
        arrow->setIcon(arrowIcon());
        arrow->setIconSize(arrow->size() * 0.6);
    }
    cmdARFSS->setToolTip(tr("Next layout of the finished sheets"));
    cmdARPSS->setToolTip(tr("Next layout of the press sheets"));

    shpDirections = new QFrame(c);
    shpDirections->setFrameStyle(QFrame::Box | QFrame::Plain);
    place(shpDirections, 2400, 1320, 4095, 1335);
    lblDirections = label(c, QString(), 2520, 1440, 3855, 1095);
    lblDirections->setAutoFillBackground(false);
    lblDirections->setWordWrap(true);
    QFont directionsFont = windowFont();
    directionsFont.setPointSizeF(9.75);
    directionsFont.setWeight(QFont::Normal);
    lblDirections->setFont(directionsFont);

    frGripper = new QGroupBox(tr("Gripper"), c);
    frGripper->setAutoFillBackground(true);
    place(frGripper, 120, 4920, 2295, 1215);
    optWidth = new QRadioButton(tr("Width"), frGripper);
    place(optWidth, 120, 240, 855, 255);
    optWidth->setChecked(true);
    optDepth = new QRadioButton(tr("Depth"), frGripper);
    place(optDepth, 960, 240, 735, 255);
    // The etched rule: a light line over a dark one, 10 twips apart.
    auto rule = [&](int top, QPalette::ColorRole role) {
        auto *line = new QWidget(frGripper);
        line->setAutoFillBackground(true);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, pal.color(role));
        line->setPalette(pal);
        place(line, 120, top, 2040, 0);
    };
    rule(540, QPalette::Light);
    rule(550, QPalette::Dark);
    lblGrip = label(frGripper, tr("Gripper"), 120, 600, 975, 255);
    lblGutter = label(frGripper, tr("Gutter"), 1200, 600, 975, 255);
    lblGutter->setEnabled(false);
    txtGrip = edit(frGripper, "0.00", 120, 840, 975, 285);
    txtGutter = edit(frGripper, "0.00", 1200, 840, 975, 285);
    txtGutter->setEnabled(false);

    cmdMaxOut = button(c, tr("Maximize"), 2520, 5040, 855, 375);
    cmdMaxOut->setVisible(false);
    Command1 = button(c, tr("Clear"), 3480, 5040, 855, 375);
    Command3 = button(c, tr("Print Layouts"), 4560, 5040, 1215, 375);
    Command2 = button(c, tr("Exit"), 6000, 5040, 1215, 375);
    {
        QPalette pal = Command2->palette();
        pal.setColor(QPalette::Button, QColor(255, 192, 192));
        Command2->setPalette(pal);
        Command2->setAutoFillBackground(true);
    }

    lblFinished = label(c, tr("Finished Sheet"), 3120, 5520, 1215, 255);
    lblPress = label(c, tr("Press Sheet"), 4440, 5520, 1215, 255);
    lblParent = label(c, tr("Parent Sheet"), 5760, 5520, 1215, 255);
    const int sizeLeft[3] = {3120, 4440, 5760};
    const char *sizeText[3] = {"2x3", "11x17", "23x35"};
    for (int i = 0; i < 3; ++i) {
        txtSize[i] = edit(c, sizeText[i], sizeLeft[i], 5760, 1215, 285);
        txtSize[i]->setObjectName(QStringLiteral("txtSize%1").arg(i));
    }

    Frame1 = new QGroupBox(tr("Job/Quote Information"), c);
    Frame1->setAutoFillBackground(true);
    place(Frame1, 120, 6120, 7095, 1335);
    optJob = new QRadioButton(tr("Job"), Frame1);
    place(optJob, 120, 240, 615, 255);
    optJob->setChecked(true);
    optQuote = new QRadioButton(tr("Quote"), Frame1);
    place(optQuote, 720, 240, 735, 255);
    txtSearch = edit(Frame1, "", 1560, 240, 855, 285);
    cmdSearch = button(Frame1, tr("Search"), 2520, 240, 735, 255);
    lblPartNo = label(Frame1, tr("PartNo:  "), 3360, 240, 615, 255);
    txtPartNo = edit(Frame1, "1", 3960, 240, 255, 285);
    lblStock = label(Frame1, tr("Stock:"), 4320, 240, 615, 255, Qt::AlignRight);
    txtStockDesc = edit(Frame1, "", 5040, 240, 1935, 285);
    Label1 = label(Frame1, tr("Company:"), 240, 600, 855, 255, Qt::AlignRight);
    txtName = edit(Frame1, "", 1200, 600, 2415, 285);
    Label3 = label(Frame1, tr("Quote #:"), 3600, 600, 855, 255, Qt::AlignRight);
    txtQuote = edit(Frame1, "", 4560, 600, 855, 285);
    Label4 = label(Frame1, tr("Job #:"), 5160, 600, 855, 255, Qt::AlignRight);
    txtJob = edit(Frame1, "", 6120, 600, 855, 285);
    Label5 = label(Frame1, tr("Description:"), 240, 960, 855, 255, Qt::AlignRight);
    txtDesc = edit(Frame1, "", 1200, 960, 5775, 285);

    // A label running into a text cell never covers it: cells stand above.
    for (QWidget *parent : {c, static_cast<QWidget *>(frGripper), static_cast<QWidget *>(Frame1)})
        for (QLineEdit *cell : parent->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
            cell->raise();

    // The directions box stands over the diagram area and its controls.
    shpDirections->raise();
    lblDirections->raise();

    connect(cmdARFSS, &QPushButton::clicked, this, &frmLayOut::cmdARFSS_Click);
    connect(cmdARPSS, &QPushButton::clicked, this, &frmLayOut::cmdARPSS_Click);
    connect(cmdMaxOut, &QPushButton::clicked, this, &frmLayOut::cmdMaxOut_Click);
    connect(Command1, &QPushButton::clicked, this, &frmLayOut::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmLayOut::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmLayOut::Command3_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmLayOut::cmdSearch_Click);
    connect(txtPartNo, &QLineEdit::textChanged, this, &frmLayOut::txtPartNo_Change);
    for (QObject *watched : {static_cast<QObject *>(optWidth), static_cast<QObject *>(optDepth),
                             static_cast<QObject *>(txtSearch)})
        watched->installEventFilter(this);
    for (QLineEdit *size : txtSize)
        size->installEventFilter(this);
}

void frmLayOut::buildMenus() {
    mnuFile = menuBar()->addMenu(tr("File"));
    mnuKel = mnuFile->addAction(tr("Kelvane"));
    mnuKel->setCheckable(true);
    mnuTxt = mnuFile->addAction(tr("Text (Dos)"));
    mnuTxt->setCheckable(true);
    mnuTxt->setChecked(true);
    mnuBreak = mnuFile->addSeparator();
    mnuSetup = mnuFile->addMenu(tr("SetUp"));
    mnuPath = mnuSetup->addAction(tr("Path"));
    mnuServer = mnuSetup->addAction(tr("Order Server…"));
    mnuPrint = mnuSetup->addAction(tr("Printer"));
    mnuMetric = mnuSetup->addAction(tr("Metric Units"));
    mnuMetric->setCheckable(true);
    mnuTools = menuBar()->addMenu(tr("Tools"));
    mnuBest = mnuTools->addAction(frmBestLayout::caption());
    mnuPaper = mnuTools->addAction(frmChoosePaper::caption);
    mnuGang = mnuTools->addAction(frmGangRun::caption);
    mnuHelp = menuBar()->addMenu(tr("Help"));
    mnuAbout = mnuHelp->addAction(tr("About"));
    mnuReset = mnuHelp->addAction(tr("Reset"));
    mnuVersion = mnuHelp->addAction(tr("Versions"));

    connect(mnuKel, &QAction::triggered, this, &frmLayOut::mnuKel_Click);
    connect(mnuTxt, &QAction::triggered, this, &frmLayOut::mnuTxt_Click);
    connect(mnuPath, &QAction::triggered, this, &frmLayOut::mnuPath_Click);
    connect(mnuServer, &QAction::triggered, this, &frmLayOut::mnuServer_Click);
    connect(mnuPrint, &QAction::triggered, this, &frmLayOut::mnuPrint_Click);
    connect(mnuMetric, &QAction::triggered, this, &frmLayOut::mnuMetric_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmLayOut::mnuAbout_Click);
    connect(mnuReset, &QAction::triggered, this, &frmLayOut::mnuReset_Click);
    connect(mnuVersion, &QAction::triggered, this, &frmLayOut::mnuVersion_Click);
    connect(mnuBest, &QAction::triggered, this, &frmLayOut::mnuBest_Click);
    connect(mnuPaper, &QAction::triggered, this, &frmLayOut::mnuPaper_Click);
    connect(mnuGang, &QAction::triggered, this, &frmLayOut::mnuGang_Click);
}

void frmLayOut::setTabOrder() {
    // The designed tab indexes, lowest first; labels and frames take no focus.
    const std::vector<QWidget *> order = {
        cmdSearch, Command1, txtSize[0], txtSize[1],   txtSize[2], Command2, Command3, cmdMaxOut,
        optJob,    optQuote, txtSearch,  txtStockDesc, txtName,    txtQuote, txtJob,   txtDesc,
        cmdARFSS,  cmdARPSS, txtGrip,    txtGutter,    optWidth,   optDepth, txtPartNo};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmLayOut::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The first control in tab order that can take the focus starts with it.
    QWidget *first = cmdSearch->isEnabled() ? static_cast<QWidget *>(cmdSearch) : Command1;
    first->setFocus(Qt::OtherFocusReason);
}

void frmLayOut::setDirectionsVisible(bool visible) {
    shpDirections->setVisible(visible);
    lblDirections->setVisible(visible);
}

bool frmLayOut::directionsVisible() const {
    return !lblDirections->isHidden();
}

void frmLayOut::pullCells() {
    Cells &cells = session.cells;
    for (int i = 0; i < 3; ++i)
        cells.txtSize[i] = txtSize[i]->text().toStdString();
    cells.txtGrip = txtGrip->text().toStdString();
    cells.txtGutter = txtGutter->text().toStdString();
    cells.optWidth = optWidth->isChecked();
    cells.optJob = optJob->isChecked();
    cells.txtSearch = txtSearch->text().toStdString();
    cells.txtPartNo = txtPartNo->text().toStdString();
    cells.txtStockDesc = txtStockDesc->text().toStdString();
    cells.txtName = txtName->text().toStdString();
    cells.txtQuote = txtQuote->text().toStdString();
    cells.txtJob = txtJob->text().toStdString();
    cells.txtDesc = txtDesc->text().toStdString();
}

void frmLayOut::pushCells() {
    const Cells &cells = session.cells;
    for (int i = 0; i < 3; ++i)
        setIfChanged(txtSize[i], cells.txtSize[i]);
    setIfChanged(txtGrip, cells.txtGrip);
    setIfChanged(txtGutter, cells.txtGutter);
    (cells.optWidth ? optWidth : optDepth)->setChecked(true);
    (cells.optJob ? optJob : optQuote)->setChecked(true);
    setIfChanged(txtSearch, cells.txtSearch);
    setIfChanged(txtPartNo, cells.txtPartNo);
    setIfChanged(txtStockDesc, cells.txtStockDesc);
    setIfChanged(txtName, cells.txtName);
    setIfChanged(txtQuote, cells.txtQuote);
    setIfChanged(txtJob, cells.txtJob);
    setIfChanged(txtDesc, cells.txtDesc);
}

template <typename Handler> void frmLayOut::run(Handler &&handler) {
    pullCells();
    const Outcome said = handler();
    pushCells();
    m_canvas->update();
    if (session.hasDrawn())
        emit layoutsRedrawn();
    act(said);
}

void frmLayOut::act(const Outcome &said) {
    showMessages(m_messages, said);
    switch (said.then) {
    case FollowUp::None:
        break;
    case FollowUp::EndProgram:
        endProgram(1);
        break;
    case FollowUp::ShowFolderWindow:
        hide();
        frmPath::showWindow(m_messages, this);
        break;
    case FollowUp::FocusPartNumber:
        txtPartNo->setFocus(Qt::OtherFocusReason);
        break;
    case FollowUp::RunClear:
        Command1_Click();
        break;
    case FollowUp::EraseDrawing:
        eraseDrawing();
        break;
    }
}

void frmLayOut::endProgram(int exitCode) {
    QApplication::closeAllWindows();
    emit programEnding(exitCode);
}

void frmLayOut::cmdARFSS_Click() {
    run([this] {
        setDirectionsVisible(false);
        return session.cmdNext_Click();
    });
}

void frmLayOut::cmdARPSS_Click() {
    run([this] {
        setDirectionsVisible(false);
        return session.cmdNextPSS_Click();
    });
}

void frmLayOut::cmdNext_Click() {
    run([this] { return session.cmdNext_Click(); });
}

void frmLayOut::cmdNextPSS_Click() {
    run([this] { return session.cmdNextPSS_Click(); });
}

void frmLayOut::cmdMaxOut_Click() {
    run([this] { return session.cmdMaxOut_Click(); });
}

void frmLayOut::Command1_Click() {
    run([this] {
        setDirectionsVisible(false);
        return session.Command1_Click();
    });
}

void frmLayOut::Command2_Click() {
    // Ends the program at once: every setting is saved the moment it changes.
    endProgram(0);
}

void frmLayOut::gripperGotFocus(bool onWidth) {
    run([this, onWidth] {
        (onWidth ? optWidth : optDepth)->setChecked(true);
        session.cells.optWidth = onWidth;
        Outcome said = session.DrawSheet();
        // Leaving the option button lets the next click reach this handler again.
        txtName->setFocus(Qt::OtherFocusReason);
        setDirectionsVisible(false);
        return said;
    });
}

void frmLayOut::optWidth_GotFocus() {
    gripperGotFocus(true);
}
void frmLayOut::optDepth_GotFocus() {
    gripperGotFocus(false);
}

void frmLayOut::txtSize_LostFocus(int index) {
    run([this, index] { return session.txtSize_LostFocus(index); });
}

void frmLayOut::txtSearch_KeyPress(int key) {
    setDirectionsVisible(false);
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        cmdSearch_Click();
}

bool frmLayOut::drawIfCellsChanged() {
    bool drawn = true;
    run([this, &drawn] {
        // Paper shows what the window says: with nothing drawn yet, or a size
        // or gripper changed since the last redraw, it is drawn first, so the
        // paper never has other numbers.
        Outcome said;
        if (!session.screenShowsCells()) {
            setDirectionsVisible(false);
            said = session.DrawSheet();
            drawn = session.lastOutcome() == RedrawOutcome::Drawn;
        }
        return said;
    });
    return drawn;
}

void frmLayOut::Command3_Click() {
    // Otherwise the redraw has said why.
    if (drawIfCellsChanged())
        m_reportPrinter.Command3_Click(session.cells, session.frames, this);
}

void frmLayOut::cmdSearch_Click() {
    run([this] {
        m_lookup.databasePath = databasePath.toStdString();
        m_lookup.textMode = mnuTxt->isChecked();
        const ServerSettings server = readServerSettings();
        m_lookup.serverConnection = server.useServer ? server.connection.toStdString() : "";
        const Outcome said = m_lookup.cmdSearch_Click();
        // Search ends with Clear, which hides the directions; a search that
        // ends the program or that the user cancelled changes nothing.
        if (said.then != FollowUp::EndProgram &&
            m_lookup.lastLookup().status != LookupOutcome::Status::Cancelled)
            setDirectionsVisible(false);
        return said;
    });
}

void frmLayOut::txtPartNo_Change() {
    // Only this cell: the others may be in the middle of being set.
    session.cells.txtPartNo = txtPartNo->text().toStdString();
    const Outcome said = m_lookup.txtPartNo_Change();
    if (said.saysNothing())
        return;
    // The refused number stays in view while the message is up.
    showMessages(m_messages, said);
    txtPartNo->setText(QString::fromStdString(session.cells.txtPartNo));
    act({{}, said.then});
}

StartupState::Next frmLayOut::Form_Load() {
    const StartupState state = loadStartup();
    setWindowTitle(state.caption);
    lblDirections->setText(
        QCoreApplication::translate("sheetcraft::Startup", state.directions.toUtf8().constData()));
    if (state.next == StartupState::Next::ShowFolderWindow) {
        // No location file yet: the folder window comes first. The folders it
        // saves on Continue are this run's, so a first search finds them.
        hide();
        frmPath *path = frmPath::showWindow(m_messages, this);
        connect(path, &frmPath::continued, this, [this] {
            const StartupState again = loadStartup();
            applyStartup(again);
            act(again.said);
        });
        return state.next;
    }
    applyStartup(state);
    act(state.said);
    return state.next;
}

void frmLayOut::applyStartup(const StartupState &state) {
    if (state.next != StartupState::Next::ShowMainWindow)
        return;
    dataFolder = state.dataFolder;
    estFolder = state.estFolder;
    databasePath = state.databasePath;
    cmdSearch->setEnabled(state.searchEnabled || readServerSettings().useServer);
    setModeMarks(state.marks);
}

void frmLayOut::setModeMarks(const ModeMarks &marks) {
    mnuKel->setChecked(marks.mnuKel);
    mnuTxt->setChecked(marks.mnuTxt);
}

void frmLayOut::mnuKel_Click() {
    const ModeChoice choice = sheetcraft::mnuKel_Click();
    setModeMarks(choice.marks);
    act(choice.said);
}

void frmLayOut::mnuTxt_Click() {
    const ModeChoice choice = sheetcraft::mnuTxt_Click();
    setModeMarks(choice.marks);
    act(choice.said);
}

void frmLayOut::mnuPath_Click() {
    frmPath::showWindow(m_messages, this);
}

void frmLayOut::mnuServer_Click() {
    frmServer dialog(m_messages, this);
    // A shop on a server needs no data folder to search.
    if (dialog.exec() == QDialog::Accepted && dialog.chosen().useServer)
        cmdSearch->setEnabled(true);
}

void frmLayOut::mnuPrint_Click() {
    m_reportPrinter.mnuPrint_Click(this);
}

void frmLayOut::mnuMetric_Click() {
    run([this] {
        Outcome said = m_units.mnuMetric_Click(session.cells);
        mnuMetric->setChecked(m_units.mnuMetric);
        return said;
    });
}

void frmLayOut::mnuReset_Click() {
    run([this] {
        Outcome said = m_units.mnuReset_Click(session.cells);
        mnuMetric->setChecked(m_units.mnuMetric);
        return said;
    });
}

void frmLayOut::eraseDrawing() {
    // The drawing goes; the frames and captions stay until the next redraw.
    m_view.clear();
    session.forgetDrawing();
    setDirectionsVisible(true);
    m_canvas->update();
}

void frmLayOut::mnuAbout_Click() {
    frmAbout::showWindow(m_messages);
}

void frmLayOut::mnuVersion_Click() {
    frmVersion::showWindow();
}

BestLayoutRequest frmLayOut::bestRequest() {
    BestLayoutRequest request;
    request.grains = m_bestGrains;
    request.machine = m_bestMachine ? *m_bestMachine : machineRules(m_savedCutPlan, metricUnits());
    pullCells(); // a size typed but not yet left counts
    request.gutter = m_bestGutter ? *m_bestGutter : gutterText(session.cells.txtGutter);
    if (session.screenShowsCells()) {
        request.diagrams = {session.finished(), session.press()};
        return request;
    }
    // Worked out as the arrows would, with nothing drawn here: what this
    // scratch session would say is said when the user acts in this window.
    LayoutSession scratch;
    scratch.cells = session.cells;
    (void)scratch.workOut(std::max<int>(1, session.frames.fssFrame),
                          std::max<int>(1, session.frames.pssFrame));
    request.diagrams = {scratch.finished(), scratch.press()};
    return request;
}

void frmLayOut::askBest() {
    m_bestWorker->request(bestRequest());
}

void frmLayOut::setBestChoices(GrainRule finished, GrainRule press, std::optional<double> gutter,
                               const MachineRules &machine) {
    m_bestGrains = {finished, press};
    m_bestGutter = gutter;
    m_bestMachine = machine;
    askBest();
}

void frmLayOut::mnuGang_Click() {
    frmGangRun::showWindow(*this, m_messages);
}

void frmLayOut::mnuBest_Click() {
    frmBestLayout::showWindow(*this, m_messages);
}

void frmLayOut::mnuPaper_Click() {
    frmChoosePaper::showWindow(*this, m_messages);
}

void frmLayOut::putSheetSizes(const QString &press, const QString &parent) {
    txtSize[1]->setText(press);
    txtSize[2]->setText(parent);
    for (int i : {1, 2})
        txtSize_LostFocus(i);
    Command1_Click();
}

bool frmLayOut::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn && isUserFocusChange(event)) {
        if (watched == optWidth)
            optWidth_GotFocus();
        else if (watched == optDepth)
            optDepth_GotFocus();
    } else if (event->type() == QEvent::FocusOut && isUserFocusChange(event)) {
        const auto it = std::find(txtSize.begin(), txtSize.end(), watched);
        if (it != txtSize.end())
            txtSize_LostFocus(static_cast<int>(it - txtSize.begin()));
    } else if (event->type() == QEvent::KeyPress && watched == txtSearch) {
        // Only a typed character counts, not moving on or a modifier alone.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->text().isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)
            txtSearch_KeyPress(key->key());
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace sheetcraft
