#include "frmbestlayout.h"

#include "cutlayoutview.h"
#include "cutsteps.h"
#include "frmlayout.h"
#include "gainpanel.h"
#include "machinebox.h"
#include "tradeoffview.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace sheetcraft {

namespace {

constexpr GrainRule grainRules[] = {GrainRule::Any, GrainRule::Along, GrainRule::Across,
                                    GrainRule::OneWay};
constexpr int grainCount = 4;

QString lines(const std::vector<std::string> &text) {
    QStringList list;
    for (const std::string &line : text)
        list << QString::fromStdString(line);
    return list.join(QLatin1Char('\n'));
}

int grainIndex(const QString &text) {
    const auto rule = grainFromText(text.trimmed().toLower().toStdString());
    for (int i = 0; i < grainCount; ++i)
        if (rule && grainRules[i] == *rule)
            return i;
    return 0;
}

QPointer<frmBestLayout> &openWindow() {
    static QPointer<frmBestLayout> window;
    return window;
}

} // namespace

frmBestLayout::frmBestLayout(frmLayOut &main, MessageSink &messages, QWidget *parent)
    : QWidget(parent, Qt::Window), m_main(main), m_messages(messages),
      m_saved(readCutPlanSettings()) {
    setWindowTitle(caption());
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    // Most of a modern screen, and never more than it has.
    QSize size(1180, 860);
    if (const QScreen *screen = main.screen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.92);
    resize(size);

    BestLayoutWorker &worker = main.bestWorker();
    connect(&worker, &BestLayoutWorker::started, this,
            [this] { lblStatus->setText(computingText()); });
    connect(&worker, &BestLayoutWorker::computed, this, &frmBestLayout::showResult);
    connect(&main, &frmLayOut::layoutsRedrawn, this, &frmBestLayout::follow);
}

frmBestLayout::~frmBestLayout() {
    saveSettings();
}

bool frmBestLayout::computing() const {
    return m_main.bestWorker().busy();
}

const BestLayoutWorker &frmBestLayout::worker() const {
    return m_main.bestWorker();
}

frmBestLayout *frmBestLayout::showWindow(frmLayOut &main, MessageSink &messages) {
    QPointer<frmBestLayout> &window = openWindow();
    if (!window)
        window = new frmBestLayout(main, messages, &main);
    window->show();
    window->raise();
    window->activateWindow();
    window->follow();
    return window;
}

void frmBestLayout::buildControls() {
    auto *top = new QVBoxLayout(this);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const char *headings[2] = {finishedHeading, pressHeading};
    const QString grains[2] = {m_saved.finishedGrain, m_saved.pressGrain};
    for (std::size_t i = 0; i < 2; ++i) {
        StageWidgets &w = stages[i];
        auto *group = new QGroupBox(tr(headings[i]), this);
        auto *row = new QHBoxLayout(group);
        w.view = new CutLayoutView(group);
        row->addWidget(w.view, 3);
        auto *side = new QVBoxLayout;
        row->addLayout(side, 2);
        w.sizes = new QLabel(group);
        w.comparison = new QLabel(group);
        w.proof = new QLabel(group);
        w.frame = new QLabel(group);
        for (QLabel *label : {w.sizes, w.comparison, w.proof, w.frame}) {
            label->setWordWrap(true);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        }
        side->addWidget(w.sizes);
        side->addWidget(w.comparison);
        side->addWidget(w.proof);
        auto *choices = new QHBoxLayout;
        w.grain = new QComboBox(group);
        w.grain->addItems({tr("any"), tr("along"), tr("across"), tr("one way")});
        w.grain->setCurrentIndex(grainIndex(grains[i]));
        w.grain->setToolTip(tr("How the pieces may lie: turned either way, with their long side "
                               "along the sheet's long side, across it, or all one way round "
                               "(whichever holds more)"));
        w.show = new QComboBox(group);
        w.show->addItems({tr("Best layout"), tr("Frame shown")});
        w.show->setToolTip(tr("Draw and list the best layout, or the frame the main window shows"));
        auto *grainLabel = new QLabel(tr("Grain:"), group);
        grainLabel->setBuddy(w.grain);
        auto *showLabel = new QLabel(tr("Show:"), group);
        showLabel->setBuddy(w.show);
        choices->addWidget(grainLabel);
        choices->addWidget(w.grain);
        choices->addSpacing(12);
        choices->addWidget(showLabel);
        choices->addWidget(w.show);
        if (i == 0) {
            // Finished sheets printed with a gutter between them, cut out twice.
            txtGutter = new QLineEdit(group);
            txtGutter->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("\\d{0,6}([.,]\\d{0,6})?")), txtGutter));
            txtGutter->setMaximumWidth(80);
            txtGutter->setToolTip(tr("Space between finished sheets on the press sheet: the "
                                     "press's gutter from the order until you type one"));
            auto *gutterLabel = new QLabel(tr("Gutter:"), group);
            gutterLabel->setBuddy(txtGutter);
            choices->addSpacing(12);
            choices->addWidget(gutterLabel);
            choices->addWidget(txtGutter);
            connect(txtGutter, &QLineEdit::textEdited, this, [this] { m_gutterTyped = true; });
            connect(txtGutter, &QLineEdit::editingFinished, this, &frmBestLayout::follow);
        }
        choices->addStretch();
        side->addLayout(choices);
        side->addWidget(w.frame);
        w.tradeoff = new TradeoffView(group);
        side->addWidget(new QLabel(tr("Fewest cuts found (pick the layout to show):"), group));
        side->addWidget(w.tradeoff);
        connect(w.tradeoff, &TradeoffView::pickedChanged, this, [this, i] {
            showStage(i);
            updateOrder();
        });
        w.cutList = new QPlainTextEdit(group);
        w.cutList->setReadOnly(true);
        w.cutList->setFont(fixed);
        w.cutList->setLineWrapMode(QPlainTextEdit::NoWrap);
        side->addWidget(w.cutList, 1);
        top->addWidget(group, 1);

        connect(w.grain, &QComboBox::currentIndexChanged, this, [this] {
            saveSettings();
            follow();
        });
        connect(w.show, &QComboBox::currentIndexChanged, this, [this, i] { showStage(i); });
    }

    auto *order = new QGroupBox(tr("Sheets to order"), this);
    auto *grid = new QGridLayout(order);
    auto field = [&](const QString &labelText, const QString &value, int column,
                     const QString &pattern) {
        auto *label = new QLabel(labelText, order);
        auto *edit = new QLineEdit(value, order);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
        edit->setMaximumWidth(110);
        label->setBuddy(edit);
        grid->addWidget(label, 0, column);
        grid->addWidget(edit, 1, column);
        connect(edit, &QLineEdit::textChanged, this, &frmBestLayout::updateOrder);
        connect(edit, &QLineEdit::editingFinished, this, &frmBestLayout::saveSettings);
        return edit;
    };
    const QString whole = QStringLiteral("\\d{0,15}");
    txtQuantity = field(tr("Job quantity"), m_saved.quantity, 0, whole);
    txtSpoilage =
        field(tr("Spoilage %"), m_saved.spoilage, 1, QStringLiteral("\\d{0,6}([.,]\\d{0,4})?"));
    txtMakeReady = field(tr("Make-ready sheets"), m_saved.makeReady, 2, whole);
    lblOrder = new QLabel(order);
    lblOrder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(lblOrder, 0, 3, 2, 1);
    grid->setColumnStretch(3, 1);
    machine = new MachineBox(this);
    machine->load(m_saved, m_main.metricUnits());
    connect(machine, &MachineBox::changed, this, [this] {
        saveSettings();
        follow();
    });
    auto *orderRow = new QHBoxLayout;
    orderRow->addWidget(order, 1);
    orderRow->addWidget(machine);
    top->addLayout(orderRow);
    gainPanel = new GainPanel(
        m_main,
        [this] {
            return grainRules[std::clamp(stages[0].grain->currentIndex(), 0, grainCount - 1)];
        },
        this);
    top->addWidget(gainPanel);

    auto *buttons = new QHBoxLayout;
    lblStatus = new QLabel(this);
    cmdPrint = new QPushButton(printCaption(), this);
    cmdClose = new QPushButton(tr("Close"), this);
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdClose);
    top->addLayout(buttons);
    connect(cmdPrint, &QPushButton::clicked, this, &frmBestLayout::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    updateOrder();
}

void frmBestLayout::follow() {
    gainPanel->follow();
    if (machine->metric() != m_main.metricUnits()) {
        // The unit set changed: the cutter's figures in the other units.
        saveSettings();
        machine->load(currentSettings(), m_main.metricUnits());
    }
    if (!m_gutterTyped) {
        m_main.pullCells();
        txtGutter->setText(QString::fromStdString(m_main.session.cells.txtGutter).trimmed());
    }
    GrainRule grains[2];
    for (std::size_t i = 0; i < 2; ++i)
        grains[i] = grainRules[std::clamp(stages[i].grain->currentIndex(), 0, grainCount - 1)];
    m_main.setBestChoices(grains[0], grains[1],
                          m_gutterTyped ? std::optional(gutterText(txtGutter->text().toStdString()))
                                        : std::nullopt,
                          machineRules(currentSettings(), machine->metric()));
    if (!computing())
        showResult();
}

void frmBestLayout::showResult() {
    lblStatus->setText(computing() ? computingText() : QString());
    for (std::size_t i = 0; i < 2; ++i)
        showStage(i);
    updateOrder();
    emit shown();
    if (m_printWhenShown && !computing()) {
        m_printWhenShown = false;
        print();
    }
}

void frmBestLayout::showStage(std::size_t i) {
    StageWidgets &w = stages[i];
    const auto &result = worker().result();
    const StagePlan *stage = result && result->stages[i] ? &*result->stages[i] : nullptr;
    w.tradeoff->showRows(stage ? stage->tradeoff : std::vector<TradeoffRow>{});
    m_shown[i] = shownStage(i);
    if (m_shown[i])
        stage = &*m_shown[i];
    if (!stage) {
        w.view->showLayout(nullptr, nullptr, 0, 0);
        w.sizes->setText(result ? tr("No layout: the piece does not fit, or the main window has "
                                     "not drawn this diagram.")
                                : QString());
        for (QLabel *label : {w.comparison, w.proof, w.frame})
            label->clear();
        w.cutList->clear();
        return;
    }
    const bool frame = w.show->currentIndex() == 1;
    const Layout &layout = frame ? stage->frameLayout : shownLayout(*stage);
    const CutPlan &plan = frame ? stage->framePlan : shownPlan(*stage);
    w.view->showLayout(&layout, &plan, stage->best.sheetWidth, stage->best.sheetDepth);
    w.sizes->setText(QString::fromStdString(sizesLine(*stage)));
    w.comparison->setText(QString::fromStdString(comparisonLine(*stage)));
    w.proof->setText(QString::fromStdString(grainLine(*stage)));
    w.frame->setText(QString::fromStdString(frameLine(*stage)));
    w.cutList->setPlainText(lines(cutListLines(plan, layout.treeOmitted)));
}

void frmBestLayout::updateOrder() {
    m_order.reset();
    m_framesOrder.reset();
    const auto &result = worker().result();
    bool quantityOk = false, spoilageOk = false, makeReadyOk = false;
    const qint64 quantity = txtQuantity->text().trimmed().toLongLong(&quantityOk);
    QString spoilageText = txtSpoilage->text().trimmed();
    spoilageText.replace(QLatin1Char(','), QLatin1Char('.'));
    const double spoilage = spoilageText.isEmpty() ? 0 : spoilageText.toDouble(&spoilageOk);
    spoilageOk |= spoilageText.isEmpty();
    const QString makeReadyText = txtMakeReady->text().trimmed();
    const qint64 makeReady = makeReadyText.isEmpty() ? 0 : makeReadyText.toLongLong(&makeReadyOk);
    makeReadyOk |= makeReadyText.isEmpty();
    if (!quantityOk || !spoilageOk || !makeReadyOk || !std::isfinite(spoilage)) {
        lblOrder->setText(tr("Type the job quantity, the spoilage in percent and the make-ready "
                             "sheets as numbers."));
        return;
    }
    if (!result || !result->stages[0] || !result->stages[1]) {
        lblOrder->setText(computing() ? QString()
                                      : tr("Needs both layouts: finished sheets on the press "
                                           "sheet and press sheets on the parent sheet."));
        return;
    }
    const StagePlan fss = *shownStage(0);
    const StagePlan pss = *shownStage(1);
    const OrderFigures figures = orderFigures(quantity, spoilage, makeReady, fss, pss);
    m_order = figures.best;
    m_framesOrder = figures.frames;
    std::vector<std::string> text;
    if (m_order) {
        text = orderLines(*m_order, m_framesOrder);
        const std::size_t a = shownPlan(fss).operations.size();
        const std::size_t b = shownPlan(pss).operations.size();
        text.push_back(cuttingLine(cuttingWork(*m_order, a, b, fss.machine.lift), a, b));
    }
    lblOrder->setText(m_order ? lines(text) : tr("These figures are too large to work out."));
}

std::optional<CutPlanDocument> frmBestLayout::document() const {
    const auto &result = worker().result();
    if (!result)
        return std::nullopt;
    CutPlanDocument doc;
    doc.job = jobHeader(m_main.session.cells);
    for (std::size_t i = 0; i < 2; ++i)
        if (const auto stage = shownStage(i))
            doc.stages.push_back(*stage);
    if (doc.stages.empty())
        return std::nullopt;
    doc.order = m_order;
    doc.framesOrder = m_framesOrder;
    return doc;
}

void frmBestLayout::cmdPrint_Click() {
    // Paper shows what the main window's cells say: they are drawn first when
    // they changed, and the answer under way is printed when it arrives; the
    // window stays live meanwhile.
    if (!m_main.drawIfCellsChanged())
        return; // the redraw has said why
    follow();
    if (computing()) {
        m_printWhenShown = true;
        lblStatus->setText(tr("computing\u2026 the cut plan prints when the answer is in"));
        return;
    }
    print();
}

void frmBestLayout::print() {
    const std::optional<CutPlanDocument> doc = document();
    if (!doc) {
        m_messages.message(
            tr("There is no layout to print: the pieces do not fit their sheets.").toStdString());
        return;
    }
    cmdPrint->setText(tr("Printing..."));
    cmdPrint->repaint();
    m_main.reportPrinter().printCutPlan(*doc, this);
    cmdPrint->setText(printCaption());
}

CutPlanSettings frmBestLayout::currentSettings() const {
    CutPlanSettings s = m_saved; // keeps the cutter's figures of the other unit set
    s.quantity = txtQuantity->text();
    s.spoilage = txtSpoilage->text();
    s.makeReady = txtMakeReady->text();
    // Kept by name, whatever language the list shows.
    s.finishedGrain = QString::fromLatin1(
        grainText(grainRules[std::clamp(stages[0].grain->currentIndex(), 0, grainCount - 1)]));
    s.pressGrain = QString::fromLatin1(
        grainText(grainRules[std::clamp(stages[1].grain->currentIndex(), 0, grainCount - 1)]));
    machine->store(s);
    return s;
}

std::optional<StagePlan> frmBestLayout::shownStage(std::size_t i) const {
    const auto &result = worker().result();
    if (!result || !result->stages[i])
        return std::nullopt;
    StagePlan stage = *result->stages[i];
    stage.shown = stages[i].tradeoff->picked();
    return stage;
}

void frmBestLayout::saveSettings() {
    const CutPlanSettings now = currentSettings();
    if (now == m_saved)
        return;
    // A failure is said once a run; the fields keep working regardless.
    const Outcome written = writeCutPlanSettings(now);
    if (written.saysNothing()) {
        m_saved = now;
        return;
    }
    if (!m_saveFailed)
        showMessages(m_messages, written);
    m_saveFailed = true;
}

} // namespace sheetcraft
