#include "frmgangrun.h"

#include "coinsolver.h"
#include "cutlayoutview.h"
#include "cutplansettings.h"
#include "frmlayout.h"
#include "gangjobs.h"
#include "gangprint.h"
#include "safewrite.h"
#include "settingsfiles.h"
#include "sheetsize.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sheetcraft {

namespace {

QPointer<frmGangRun> &openWindow() {
    static QPointer<frmGangRun> window;
    return window;
}

// The planning budget: the answer stays honest (labelled with its gap) when spent.
constexpr std::chrono::milliseconds budget{5000};

enum Column { Name, Size, Quantity, Grain };

QString q(const std::string &s) {
    return QString::fromStdString(s);
}

QTableWidgetItem *cell(const QString &text) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

Rgb gangJobColour(int job) {
    static const Rgb colours[] = {
        {230, 159, 0},   {86, 180, 233},  {0, 158, 115},   {240, 228, 66},
        {0, 114, 178},   {213, 94, 0},    {204, 121, 167}, {153, 153, 153},
        {170, 220, 120}, {255, 180, 200}, {120, 90, 200},  {200, 160, 100},
    };
    return colours[std::size_t(job) % std::size(colours)];
}

frmGangRun::frmGangRun(frmLayOut &main, MessageSink &messages, QWidget *parent)
    : QWidget(parent, Qt::Window), m_main(main), m_messages(messages) {
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    askCsvPath = [](QWidget *p, bool save) {
        const QString filter = QStringLiteral("CSV files (*.csv);;All files (*)");
        return save ? QFileDialog::getSaveFileName(p, tr("Save Jobs"), QDir::homePath(), filter)
                    : QFileDialog::getOpenFileName(p, tr("Open Jobs"), QDir::homePath(), filter);
    };
    buildControls();
    // The same spoilage and make-ready the best-layout window keeps.
    const CutPlanSettings kept = readCutPlanSettings();
    txtSpoilage->setText(kept.spoilage);
    txtMakeReady->setText(kept.makeReady);
    QFile saved(QDir(settingsFolder()).filePath(jobsFileName));
    if (saved.open(QIODevice::ReadOnly)) {
        const GangJobsRead read = readGangJobs(saved.read(1 << 20).toStdString());
        if (read.badLine == 0)
            setJobs(read.jobs);
    }
    resize(1100, 760);
}

frmGangRun::~frmGangRun() {
    finishThread();
}

frmGangRun *frmGangRun::showWindow(frmLayOut &main, MessageSink &messages) {
    QPointer<frmGangRun> &window = openWindow();
    if (!window)
        window = new frmGangRun(main, messages, &main);
    main.pullCells();
    window->showSheet();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void frmGangRun::buildControls() {
    auto *top = new QVBoxLayout(this);
    auto *split = new QSplitter(Qt::Horizontal, this);
    top->addWidget(split, 1);

    // Left: the jobs and the run settings.
    auto *left = new QWidget(split);
    auto *leftBox = new QVBoxLayout(left);
    tblJobs = new QTableWidget(0, 4, left);
    tblJobs->setHorizontalHeaderLabels({tr("Name"), tr("Size"), tr("Quantity"), tr("Grain")});
    tblJobs->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    leftBox->addWidget(tblJobs, 1);
    auto *jobButtons = new QHBoxLayout;
    cmdAdd = new QPushButton(tr("Add"), left);
    cmdRemove = new QPushButton(tr("Remove"), left);
    cmdPaste = new QPushButton(tr("Paste"), left);
    cmdOpen = new QPushButton(tr("Open..."), left);
    cmdSave = new QPushButton(tr("Save..."), left);
    for (QPushButton *b : {cmdAdd, cmdRemove, cmdPaste, cmdOpen, cmdSave})
        jobButtons->addWidget(b);
    leftBox->addLayout(jobButtons);

    auto *settings = new QGroupBox(tr("Run"), left);
    auto *grid = new QGridLayout(settings);
    lblSheet = new QLabel(settings);
    txtSpoilage = new QLineEdit(QStringLiteral("0"), settings);
    txtMakeReady = new QLineEdit(QStringLiteral("0"), settings);
    spnTemplates = new QSpinBox(settings);
    spnTemplates->setRange(1, 20);
    spnTemplates->setValue(3);
    grid->addWidget(lblSheet, 0, 0, 1, 2);
    grid->addWidget(new QLabel(tr("Spoilage % per run"), settings), 1, 0);
    grid->addWidget(txtSpoilage, 1, 1);
    grid->addWidget(new QLabel(tr("Make-ready sheets per template"), settings), 2, 0);
    grid->addWidget(txtMakeReady, 2, 1);
    grid->addWidget(new QLabel(tr("Most templates"), settings), 3, 0);
    grid->addWidget(spnTemplates, 3, 1);
    leftBox->addWidget(settings);
    auto *run = new QHBoxLayout;
    cmdCompute = new QPushButton(tr("Compute"), left);
    cmdCancel = new QPushButton(tr("Cancel"), left);
    cmdCancel->setEnabled(false);
    cmdPrint = new QPushButton(tr("Print..."), left);
    cmdPrint->setEnabled(false);
    progress = new QProgressBar(left);
    progress->setRange(0, 100);
    progress->setValue(0);
    run->addWidget(cmdCompute);
    run->addWidget(cmdCancel);
    run->addWidget(cmdPrint);
    leftBox->addLayout(run);
    leftBox->addWidget(progress);
    lblTotals = new QLabel(left);
    lblTotals->setWordWrap(true);
    leftBox->addWidget(lblTotals);
    tblByTemplates = new QTableWidget(0, 2, left);
    tblByTemplates->setHorizontalHeaderLabels({tr("Templates"), tr("Press sheets")});
    tblByTemplates->verticalHeader()->hide();
    tblByTemplates->setMaximumHeight(140);
    leftBox->addWidget(tblByTemplates);

    // Right: the templates and what each job gets.
    auto *right = new QWidget(split);
    auto *rightBox = new QVBoxLayout(right);
    auto *drawn = new QHBoxLayout;
    lstTemplates = new QListWidget(right);
    lstTemplates->setMaximumWidth(220);
    view = new CutLayoutView(right);
    view->setMinimumSize(360, 260);
    drawn->addWidget(lstTemplates);
    drawn->addWidget(view, 1);
    rightBox->addLayout(drawn, 3);
    lblLegend = new QLabel(right);
    lblLegend->setWordWrap(true);
    rightBox->addWidget(lblLegend);
    tblResults = new QTableWidget(0, 4, right);
    tblResults->setHorizontalHeaderLabels({tr("Job"), tr("Ordered"), tr("Produced"), tr("Overs")});
    tblResults->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tblResults->verticalHeader()->hide();
    rightBox->addWidget(tblResults, 1);
    txtCuts = new QPlainTextEdit(right);
    txtCuts->setReadOnly(true);
    txtCuts->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    rightBox->addWidget(txtCuts, 1);
    split->setStretchFactor(1, 2);

    connect(cmdAdd, &QPushButton::clicked, this, [this] {
        addJobRow({"Job " + std::to_string(tblJobs->rowCount() + 1), 3.5, 2, 1000, GrainRule::Any});
        tblJobs->setCurrentCell(tblJobs->rowCount() - 1, Name);
    });
    connect(cmdRemove, &QPushButton::clicked, this, [this] {
        if (tblJobs->currentRow() >= 0)
            tblJobs->removeRow(tblJobs->currentRow());
    });
    connect(cmdPaste, &QPushButton::clicked, this, &frmGangRun::cmdPaste_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmGangRun::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmGangRun::cmdSave_Click);
    connect(cmdCompute, &QPushButton::clicked, this, &frmGangRun::cmdCompute_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmGangRun::cmdCancel_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmGangRun::cmdPrint_Click);
    connect(lstTemplates, &QListWidget::currentRowChanged, this, &frmGangRun::showTemplate);

    showSheet();
}

void frmGangRun::showSheet() {
    const Cells &cells = m_main.session.cells;
    lblSheet->setText(tr("Press sheet %1, gripper %2 on the %3 edge (from the main window)")
                          .arg(q(cells.txtSize[1]), q(cells.txtGrip),
                               cells.optWidth ? tr("width") : tr("depth")));
}

void frmGangRun::addJobRow(const GangJob &job) {
    const int row = tblJobs->rowCount();
    tblJobs->insertRow(row);
    tblJobs->setItem(row, Name, new QTableWidgetItem(q(job.name)));
    tblJobs->setItem(row, Size, new QTableWidgetItem(q(gangSizeText(job))));
    tblJobs->setItem(row, Quantity, new QTableWidgetItem(QString::number(job.quantity)));
    auto *grain = new QComboBox(tblJobs);
    grain->addItems({QStringLiteral("any"), QStringLiteral("along"), QStringLiteral("across")});
    grain->setCurrentIndex(static_cast<int>(job.grain));
    tblJobs->setCellWidget(row, Grain, grain);
}

void frmGangRun::setJobs(const std::vector<GangJob> &list) {
    tblJobs->setRowCount(0);
    for (const GangJob &job : list)
        addJobRow(job);
}

std::optional<std::vector<GangJob>> frmGangRun::jobs() {
    // The table read back through the one CSV reader, so a typed row and a
    // row of a file are checked alike.
    std::vector<std::string> lines{"name,size,quantity,grain"};
    for (int row = 0; row < tblJobs->rowCount(); ++row) {
        const auto text = [&](int c) {
            const QTableWidgetItem *it = tblJobs->item(row, c);
            QString t = it ? it->text().trimmed() : QString();
            return "\"" + t.replace('"', QStringLiteral("\"\"")).toStdString() + "\"";
        };
        const auto *grain = qobject_cast<QComboBox *>(tblJobs->cellWidget(row, Grain));
        lines.push_back(text(Name) + "," + text(Size) + "," + text(Quantity) + "," +
                        (grain ? grain->currentText().toStdString() : std::string("any")));
    }
    std::string csv;
    for (const std::string &l : lines)
        csv += l + "\n";
    const GangJobsRead read = readGangJobs(csv);
    if (read.badLine > 0) {
        m_messages.message("Job row " + std::to_string(read.badLine - 1) + ": " + read.why + ".");
        return std::nullopt;
    }
    return read.jobs;
}

void frmGangRun::cmdPaste_Click() {
    // Rows copied from a spreadsheet: tabs or commas between name, size,
    // quantity and grain; a header row is skipped.
    QString text = QApplication::clipboard()->text();
    text.replace('\t', ',');
    if (!text.trimmed().toLower().startsWith(QStringLiteral("name,")))
        text.prepend(QStringLiteral("name,size,quantity,grain\n"));
    std::string csv;
    for (QString line : text.split('\n')) {
        line = line.trimmed();
        if (line.count(',') == 2)
            line += ',';
        csv += line.toStdString() + "\n";
    }
    const GangJobsRead read = readGangJobs(csv);
    if (read.badLine > 0) {
        m_messages.message("The pasted rows could not be read: " + read.why + ".");
        return;
    }
    for (const GangJob &job : read.jobs)
        addJobRow(job);
}

void frmGangRun::cmdOpen_Click() {
    const QString path = askCsvPath ? askCsvPath(this, false) : QString();
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_messages.message(("Cannot read " + path + ": " + file.errorString()).toStdString());
        return;
    }
    const GangJobsRead read = readGangJobs(file.read(8 << 20).toStdString());
    if (read.badLine > 0) {
        m_messages.message(
            (path + " line " + QString::number(read.badLine) + ": " + q(read.why) + ".")
                .toStdString());
        return;
    }
    setJobs(read.jobs);
}

void frmGangRun::cmdSave_Click() {
    const auto list = jobs();
    if (!list)
        return;
    const QString path = askCsvPath ? askCsvPath(this, true) : QString();
    if (path.isEmpty())
        return;
    const std::string why = writeFileSafely(path.toStdString(), gangJobsCsv(*list));
    if (!why.empty())
        m_messages.message(why);
}

void frmGangRun::saveJobs() {
    const auto list = jobs();
    if (!list)
        return;
    showMessages(m_messages,
                 writeSettingsFile(jobsFileName, QByteArray::fromStdString(gangJobsCsv(*list))));
}

void frmGangRun::cmdCompute_Click() {
    if (computing())
        return;
    finishThread();
    const auto list = jobs();
    if (!list)
        return;
    if (list->empty()) {
        m_messages.message("Add the jobs to gang first.");
        return;
    }
    saveJobs();
    m_main.pullCells();
    showSheet();
    const Cells &cells = m_main.session.cells;
    bool spoilOk = false, readyOk = false, gripOk = false;
    auto result = std::make_unique<GangRunResult>();
    GangProblem &p = result->problem;
    p.jobs = *list;
    p.spoilagePct = txtSpoilage->text().toDouble(&spoilOk);
    p.makeReady = txtMakeReady->text().toLongLong(&readyOk);
    p.maxTemplates = spnTemplates->value();
    p.gripper = QString::fromStdString(cells.txtGrip).toDouble(&gripOk);
    p.gripperOnWidth = cells.optWidth;
    if (!spoilOk || !(p.spoilagePct >= 0) || !readyOk || p.makeReady < 0) {
        m_messages.message("Spoilage is a percentage and make-ready a whole number, 0 or more.");
        return;
    }
    std::string press = QString::fromStdString(cells.txtSize[1]).toLower().toStdString();
    std::string parent = QString::fromStdString(cells.txtSize[2]).toLower().toStdString();
    if (!isUsableSize(press, SizeRole::Press) || !gripOk || p.gripper < 0) {
        m_messages.message("Type a press sheet size and gripper in the main window first.");
        return;
    }
    const SheetDims pressDims = readDims(storageForm(press));
    p.sheetWidth = pressDims.width;
    p.sheetDepth = pressDims.depth;
    std::optional<SheetDims> parentDims;
    if (isUsableSize(parent, SizeRole::Parent))
        parentDims = readDims(storageForm(parent));

    m_cancel = false;
    m_done = false;
    cmdCompute->setEnabled(false);
    cmdCancel->setEnabled(true);
    cmdPrint->setEnabled(false);
    progress->setValue(0);
    lblTotals->setText(tr("Computing\u2026"));
    m_pending = std::move(result);
    GangRunResult *work = m_pending.get();
    m_thread = std::thread([this, work, parentDims] {
        GangOptions options;
        options.budget = budget;
        options.cancel = &m_cancel;
        options.progress = [this](int percent) {
            QMetaObject::invokeMethod(
                this, [this, percent] { progress->setValue(percent); }, Qt::QueuedConnection);
        };
        CoinSolver solver;
        work->plan = planGang(work->problem, solver, options);
        for (const GangTemplate &t : work->plan.templates) {
            Layout l;
            l.tree = t.tree;
            l.count = t.tree.count();
            l.usable = work->plan.usable;
            work->cutPlans.push_back(makeCutPlan(l.tree));
            work->layouts.push_back(std::move(l));
        }
        if (parentDims) {
            LayoutProblem lp{parentDims->width, parentDims->depth, work->problem.sheetWidth,
                             work->problem.sheetDepth};
            work->out = bestLayout(lp, {std::chrono::milliseconds(500), &m_cancel}).layout.count;
        }
        m_done = true;
        QMetaObject::invokeMethod(
            this, [this] { showResult(); }, Qt::QueuedConnection);
    });
}

void frmGangRun::cmdCancel_Click() {
    m_cancel = true;
}

void frmGangRun::finishThread() {
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
    m_cancel = false;
}

void frmGangRun::closeEvent(QCloseEvent *event) {
    finishThread();
    saveJobs();
    event->accept();
}

void frmGangRun::showResult() {
    if (!m_done || !m_pending)
        return;
    if (m_thread.joinable())
        m_thread.join();
    cmdCompute->setEnabled(true);
    cmdCancel->setEnabled(false);
    m_result = std::move(*m_pending);
    m_pending.reset();
    const GangProblem &p = m_result->problem;
    const GangPlan &g = m_result->plan;
    lstTemplates->clear();
    tblResults->setRowCount(0);
    tblByTemplates->setRowCount(0);
    txtCuts->clear();
    view->showLayout(nullptr, nullptr, 0, 0);
    switch (g.status) {
    case GangPlan::Status::Planned:
        break;
    case GangPlan::Status::Cancelled:
        lblTotals->setText(tr("Cancelled."));
        emit computed();
        return;
    case GangPlan::Status::DoesNotFit:
        lblTotals->setText(
            tr("%1 does not fit the press sheet.").arg(q(p.jobs[std::size_t(g.badJob)].name)));
        emit computed();
        return;
    case GangPlan::Status::TooFewLayouts:
        lblTotals->setText(
            tr("No plan with at most %1 templates: allow more.").arg(p.maxTemplates));
        emit computed();
        return;
    case GangPlan::Status::NoJobs:
    case GangPlan::Status::BadInput:
        lblTotals->setText(tr("The press sheet, gripper or a job's size cannot be planned."));
        emit computed();
        return;
    }
    progress->setValue(100);
    cmdPrint->setEnabled(true);
    for (std::size_t t = 0; t < g.templates.size(); ++t)
        lstTemplates->addItem(tr("Template %1: run %2").arg(t + 1).arg(g.templates[t].run));
    QString legend;
    std::vector<Rgb> colours;
    for (std::size_t i = 0; i < p.jobs.size(); ++i) {
        const Rgb c = gangJobColour(static_cast<int>(i));
        colours.push_back(c);
        legend += QStringLiteral("<span style=\"background-color:rgb(%1,%2,%3)\">"
                                 "&nbsp;&nbsp;&nbsp;&nbsp;</span> %4 &nbsp; ")
                      .arg(c.r)
                      .arg(c.g)
                      .arg(c.b)
                      .arg(q(p.jobs[i].name).toHtmlEscaped());
        const int row = tblResults->rowCount();
        tblResults->insertRow(row);
        tblResults->setItem(row, 0, cell(q(p.jobs[i].name)));
        tblResults->setItem(row, 1, cell(QString::number(p.jobs[i].quantity)));
        tblResults->setItem(row, 2, cell(QString::number(g.produced[i])));
        tblResults->setItem(row, 3, cell(QString::number(g.produced[i] - p.jobs[i].quantity)));
    }
    lblLegend->setText(legend);
    view->setItemColours(colours);
    QString totals = tr("Press sheets: %1 (runs %2, plus spoilage and make-ready)")
                         .arg(g.pressSheets)
                         .arg(g.runSheets);
    if (m_result->out > 0)
        if (const auto o = orderQuantities(g.pressSheets, 0, 0, 1, m_result->out))
            totals += tr("; parent sheets: %1 at %2 out").arg(o->parentSheets).arg(m_result->out);
    totals +=
        tr("\nLower bound: %1 (%2)\n%3").arg(g.lowerBound).arg(q(g.boundText()), q(g.label()));
    if (g.integerCutShort)
        totals += tr("\nThe run lengths were chosen within the time allowed.");
    lblTotals->setText(totals);
    for (std::size_t k = 0; k < g.byTemplates.size(); ++k) {
        tblByTemplates->insertRow(int(k));
        tblByTemplates->setItem(int(k), 0, cell(QString::number(k + 1)));
        tblByTemplates->setItem(
            int(k), 1,
            cell(g.byTemplates[k] > 0 ? QString::number(g.byTemplates[k]) : tr("none found")));
    }
    lstTemplates->setCurrentRow(0);
    emit computed();
}

void frmGangRun::showTemplate(int index) {
    if (!m_result || index < 0 || std::size_t(index) >= m_result->layouts.size())
        return;
    const GangPlan &g = m_result->plan;
    view->showLayout(&m_result->layouts[std::size_t(index)],
                     &m_result->cutPlans[std::size_t(index)], g.sheetWidth, g.sheetDepth);
    txtCuts->setPlainText(q(gangTemplateText(m_result->problem, g, std::size_t(index),
                                             m_result->cutPlans[std::size_t(index)])));
}

void frmGangRun::cmdPrint_Click() {
    if (!m_result || m_result->plan.status != GangPlan::Status::Planned)
        return;
    GangDocument doc{m_result->problem, m_result->plan, m_result->layouts, m_result->cutPlans, {}};
    for (std::size_t i = 0; i < m_result->problem.jobs.size(); ++i)
        doc.colours.push_back(gangJobColour(static_cast<int>(i)));
    m_main.reportPrinter().printGang(doc, this);
}

} // namespace sheetcraft
