#include "frmbestlayout.h"

#include "cutlayoutview.h"
#include "frmlayout.h"
#include "gainpanel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
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

#include <cmath>

namespace sheetcraft {

namespace {

// The search may take this long per stage; the window stays live meanwhile.
constexpr std::chrono::milliseconds windowBudget{1000};

constexpr GrainRule grainRules[] = {GrainRule::Any, GrainRule::Along, GrainRule::Across};

QString lines(const std::vector<std::string> &text) {
    QStringList list;
    for (const std::string &line : text)
        list << QString::fromStdString(line);
    return list.join(QLatin1Char('\n'));
}

int grainIndex(const QString &text) {
    const auto rule = grainFromText(text.trimmed().toLower().toStdString());
    for (int i = 0; i < 3; ++i)
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
    : QWidget(parent, Qt::Window), m_main(main), m_messages(messages), m_worker(windowBudget),
      m_saved(readCutPlanSettings()) {
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    // Most of a modern screen, and never more than it has.
    QSize size(1180, 860);
    if (const QScreen *screen = main.screen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.92);
    resize(size);

    connect(&m_worker, &BestLayoutWorker::started, this,
            [this] { lblStatus->setText(computingText); });
    connect(&m_worker, &BestLayoutWorker::computed, this, &frmBestLayout::showResult);
    connect(&main, &frmLayOut::layoutsRedrawn, this, &frmBestLayout::follow);
}

frmBestLayout::~frmBestLayout() {
    saveSettings();
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
        auto *group = new QGroupBox(QString::fromLatin1(headings[i]), this);
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
        w.grain->addItems(
            {QStringLiteral("any"), QStringLiteral("along"), QStringLiteral("across")});
        w.grain->setCurrentIndex(grainIndex(grains[i]));
        w.grain->setToolTip(tr("How the pieces may lie: turned either way, with their long side "
                               "along the sheet's long side, or across it"));
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
        choices->addStretch();
        side->addLayout(choices);
        side->addWidget(w.frame);
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
    top->addWidget(order);
    gainPanel = new GainPanel(
        m_main, [this] { return grainRules[std::max(0, stages[0].grain->currentIndex())]; }, this);
    top->addWidget(gainPanel);

    auto *buttons = new QHBoxLayout;
    lblStatus = new QLabel(this);
    cmdPrint = new QPushButton(printCaption, this);
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
    BestLayoutRequest request;
    for (std::size_t i = 0; i < 2; ++i)
        request.grains[i] = grainRules[std::max(0, stages[i].grain->currentIndex())];
    const LayoutSession &session = m_main.session;
    if (session.hasDrawn()) {
        request.diagrams = {session.finished(), session.press()};
    } else {
        // Nothing drawn yet: the sizes typed in the main window, on frame 1,
        // worked out as the arrows would without drawing anything there.
        m_main.pullCells();
        // What the scratch session would say is not shown: the main window
        // says it when the user acts there.
        LayoutSession scratch;
        scratch.cells = session.cells;
        bool refused = false;
        for (int i = 0; i < 3; ++i)
            refused |= !scratch.txtSize_LostFocus(i).saysNothing();
        if (!refused) {
            (void)scratch.cmdNext_Click();
            if (scratch.lastOutcome() == RedrawOutcome::Drawn)
                (void)scratch.cmdNextPSS_Click();
            request.diagrams = {scratch.finished(), scratch.press()};
        }
    }
    m_worker.request(request);
    if (!m_worker.busy())
        showResult();
}

void frmBestLayout::showResult() {
    lblStatus->setText(m_worker.busy() ? computingText : QString());
    for (std::size_t i = 0; i < 2; ++i)
        showStage(i);
    updateOrder();
    emit shown();
}

void frmBestLayout::showStage(std::size_t i) {
    StageWidgets &w = stages[i];
    const auto &result = m_worker.result();
    const StagePlan *stage = result && result->stages[i] ? &*result->stages[i] : nullptr;
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
    const Layout &layout = frame ? stage->frameLayout : stage->best.layout;
    const CutPlan &plan = frame ? stage->framePlan : stage->plan;
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
    const auto &result = m_worker.result();
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
        lblOrder->setText(m_worker.busy() ? QString()
                                          : tr("Needs both layouts: finished sheets on the press "
                                               "sheet and press sheets on the parent sheet."));
        return;
    }
    const StagePlan &fss = *result->stages[0];
    const StagePlan &pss = *result->stages[1];
    m_order = orderQuantities(quantity, spoilage, makeReady, fss.best.layout.count,
                              pss.best.layout.count);
    m_framesOrder =
        orderQuantities(quantity, spoilage, makeReady, fss.framesMaximum, pss.framesMaximum);
    lblOrder->setText(m_order ? lines(orderLines(*m_order, m_framesOrder))
                              : tr("These figures are too large to work out."));
}

std::optional<CutPlanDocument> frmBestLayout::document() const {
    const auto &result = m_worker.result();
    if (!result)
        return std::nullopt;
    CutPlanDocument doc;
    for (const auto &stage : result->stages)
        if (stage)
            doc.stages.push_back(*stage);
    if (doc.stages.empty())
        return std::nullopt;
    doc.order = m_order;
    doc.framesOrder = m_framesOrder;
    return doc;
}

void frmBestLayout::cmdPrint_Click() {
    // Paper shows the latest answer: a search under way is waited for (it
    // ends within its budget), with the window still painting.
    while (m_worker.busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    const std::optional<CutPlanDocument> doc = document();
    if (!doc) {
        m_messages.message("There is no layout to print: the pieces do not fit their sheets.");
        return;
    }
    cmdPrint->setText(QStringLiteral("Printing..."));
    cmdPrint->repaint();
    m_main.reportPrinter().printCutPlan(*doc, this);
    cmdPrint->setText(printCaption);
}

CutPlanSettings frmBestLayout::currentSettings() const {
    CutPlanSettings s;
    s.quantity = txtQuantity->text();
    s.spoilage = txtSpoilage->text();
    s.makeReady = txtMakeReady->text();
    s.finishedGrain = stages[0].grain->currentText();
    s.pressGrain = stages[1].grain->currentText();
    return s;
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
