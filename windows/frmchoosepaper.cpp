#include "frmchoosepaper.h"

#include "asciicase.h"
#include "cutplansettings.h"
#include "frmbestlayout.h"
#include "frmlayout.h"
#include "frmstocklist.h"
#include "sheetsize.h"
#include "stockfile.h"
#include "val.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace sheetcraft {

namespace {

constexpr GrainRule grainRules[] = {GrainRule::Any, GrainRule::Along, GrainRule::Across};
constexpr int sizesRole = Qt::UserRole;

QPointer<frmChoosePaper> &openWindow() {
    static QPointer<frmChoosePaper> window;
    return window;
}

QString number(std::int64_t n) {
    return QLocale::system().toString(static_cast<qlonglong>(n));
}

QStringList columns() {
    return {QObject::tr("Stock"),        QObject::tr("Press sheet"), QObject::tr("Up"),
            QObject::tr("Count"),        QObject::tr("Out"),         QObject::tr("Press sheets"),
            QObject::tr("Stock sheets"), QObject::tr("Waste %"),     QObject::tr("Cost"),
            QObject::tr("Grain")};
}

QStringList rowTexts(const StockSheet &s, const PressChoice &c, GrainRule job, bool child) {
    const QString division = c.across * c.down == 1
                                 ? QObject::tr("%1 whole").arg(QString::fromStdString(c.pressSize))
                                 : QObject::tr("%1 (cut %2 x %3)")
                                       .arg(QString::fromStdString(c.pressSize))
                                       .arg(c.across)
                                       .arg(c.down);
    return {child ? QString() : QString::fromStdString(s.name + "  " + s.size),
            division,
            number(c.up.count),
            QLatin1String(countLabel(c.up)),
            number(c.out),
            c.order ? number(c.order->pressSheets) : QString(),
            c.order ? number(c.order->parentSheets) : QString(),
            QString::number(c.wastePercent, 'f', 1),
            c.cost ? QLocale::system().toString(*c.cost, 'f', 2) : QObject::tr("no price"),
            QString::fromStdString(grainNote(c, job, s.grain))};
}

} // namespace

frmChoosePaper::frmChoosePaper(frmLayOut &main, MessageSink &messages, QWidget *parent)
    : QWidget(parent, Qt::Window), m_main(main), m_messages(messages) {
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *top = new QVBoxLayout(this);
    lblJob = new QLabel(this);
    top->addWidget(lblJob);

    auto *fields = new QGroupBox(tr("Job and press"), this);
    auto *grid = new QGridLayout(fields);
    const CutPlanSettings saved = readCutPlanSettings();
    m_press = readPressLimits(main.metricUnits());
    int column = 0;
    auto field = [&](const QString &label, const QString &value, const QString &pattern) {
        auto *l = new QLabel(label, fields);
        auto *edit = new QLineEdit(value, fields);
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
        edit->setMaximumWidth(110);
        l->setBuddy(edit);
        grid->addWidget(l, 0, column);
        grid->addWidget(edit, 1, column++);
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            saveFields();
            rank();
        });
        return edit;
    };
    const QString whole = QStringLiteral("\\d{0,15}");
    const QString size = QStringLiteral("[0-9.]*\\s*[xX]?\\s*[0-9.]*");
    txtQuantity = field(tr("Job quantity"), saved.quantity, whole);
    txtSpoilage =
        field(tr("Spoilage %"), saved.spoilage, QStringLiteral("\\d{0,6}([.,]\\d{0,4})?"));
    txtMakeReady = field(tr("Make-ready sheets"), saved.makeReady, whole);
    txtPressMax =
        field(tr("Press: largest sheet"), pressSizeText(m_press.maxWidth, m_press.maxDepth), size);
    txtPressMin =
        field(tr("Press: smallest sheet"), pressSizeText(m_press.minWidth, m_press.minDepth), size);
    auto *grainLabel = new QLabel(tr("Grain"), fields);
    cboGrain = new QComboBox(fields);
    cboGrain->addItems(
        {tr("any"), tr("along the piece's long side"), tr("across the piece's long side")});
    cboGrain->setToolTip(tr("Which way the paper's grain must run through each piece; with the "
                            "stock's grain this decides how the pieces may lie"));
    grainLabel->setBuddy(cboGrain);
    grid->addWidget(grainLabel, 0, column);
    grid->addWidget(cboGrain, 1, column++);
    grid->setColumnStretch(column, 1);
    connect(cboGrain, &QComboBox::currentIndexChanged, this, &frmChoosePaper::rank);
    top->addWidget(fields);

    tree = new QTreeWidget(this);
    tree->setHeaderLabels(columns());
    tree->setRootIsDecorated(true);
    tree->setAlternatingRowColors(true);
    tree->setToolTip(tr("Double-click a row to put its press and parent sheet into the main "
                        "window"));
    top->addWidget(tree, 1);
    connect(tree, &QTreeWidget::itemDoubleClicked, this, &frmChoosePaper::tree_DoubleClick);

    auto *buttons = new QHBoxLayout;
    lblStatus = new QLabel(this);
    lblStatus->setWordWrap(true);
    cmdEditStock = new QPushButton(tr("Edit Stock List..."), this);
    cmdPrint = new QPushButton(tr("Print"), this);
    cmdClose = new QPushButton(tr("Close"), this);
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(cmdEditStock);
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdClose);
    top->addLayout(buttons);
    connect(cmdEditStock, &QPushButton::clicked, this, &frmChoosePaper::cmdEditStock_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmChoosePaper::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(&main, &frmLayOut::layoutsRedrawn, this, &frmChoosePaper::rank);
    resize(1100, 560);
    loadStock();
}

frmChoosePaper::~frmChoosePaper() = default;

frmChoosePaper *frmChoosePaper::showWindow(frmLayOut &main, MessageSink &messages) {
    QPointer<frmChoosePaper> &window = openWindow();
    if (!window)
        window = new frmChoosePaper(main, messages, &main);
    window->show();
    window->raise();
    window->activateWindow();
    window->rank();
    return window;
}

void frmChoosePaper::loadStock() {
    StockFile file = readStockFile(m_main.metricUnits());
    if (!file.readable)
        m_messages.message(tr("The stock list %1 could not be read; the list is empty.")
                               .arg(QLatin1String(stockListFileName))
                               .toStdString());
    const QStringList problems = stockProblems(file.list);
    if (!problems.isEmpty())
        m_messages.message(
            (problems.join(QLatin1Char('\n')) + tr("\nThese lines are left out; the others count."))
                .toStdString());
    // A new user's list is written at once, so it can be found and edited.
    if (!file.exists)
        showMessages(m_messages, writeStockFile(file.list.sheets));
    m_stock = std::move(file.list.sheets);
}

bool frmChoosePaper::readJob(PaperJob &job, PressLimits &press, QString &why) const {
    const Cells &cells = m_main.session.cells;
    const std::string finished = toLowerAscii(cells.txtSize[0]);
    if (!isUsableSize(finished, SizeRole::Finished)) {
        why = tr("Type a finished size in the main window.");
        return false;
    }
    const SheetDims piece = readDims(storageForm(finished));
    job.pieceWidth = piece.width;
    job.pieceDepth = piece.depth;
    job.gripper = Val(cells.txtGrip);
    job.gripperOnWidth = cells.optWidth;
    job.grain = grainRules[std::max(0, cboGrain->currentIndex())];
    bool qOk = false, sOk = true, mOk = true;
    job.quantity = txtQuantity->text().trimmed().toLongLong(&qOk);
    QString spoil = txtSpoilage->text().trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    job.spoilagePct = spoil.isEmpty() ? 0 : spoil.toDouble(&sOk);
    const QString mr = txtMakeReady->text().trimmed();
    job.makeReady = mr.isEmpty() ? 0 : mr.toLongLong(&mOk);
    if (!qOk || !sOk || !mOk || !std::isfinite(job.spoilagePct)) {
        why = tr("Type the job quantity, the spoilage in percent and the make-ready sheets as "
                 "numbers.");
        return false;
    }
    if (!readPressSize(txtPressMax->text(), press.maxWidth, press.maxDepth) ||
        !readPressSize(txtPressMin->text(), press.minWidth, press.minDepth)) {
        why = tr("Type the press's largest and smallest sheet as sizes such as 28x40.");
        return false;
    }
    return true;
}

void frmChoosePaper::rank() {
    m_main.pullCells();
    tree->clear();
    m_ranking.clear();
    QString why;
    PaperJob job;
    PressLimits press;
    if (!readJob(job, press, why)) {
        lblStatus->setText(why);
        return;
    }
    m_job = job;
    m_press = press;
    lblJob->setText(tr("Finished %1, gripper %2 on the %3 edge; %4 pieces")
                        .arg(QString::fromStdString(m_main.session.cells.txtSize[0]),
                             QString::fromStdString(sizeNumber(job.gripper)),
                             job.gripperOnWidth ? tr("long") : tr("short"), number(job.quantity)));
    m_ranking = rankStock(m_stock, press, job);
    for (const StockRanking &r : m_ranking) {
        const StockSheet &s = m_stock[r.stock];
        auto *item = new QTreeWidgetItem(tree, rowTexts(s, r.best(), job.grain, false));
        item->setData(0, sizesRole,
                      QStringList{QString::fromStdString(r.best().pressSize),
                                  QString::fromStdString(entryForm(s.size))});
        for (std::size_t i = 1; i < r.choices.size(); ++i) {
            auto *child = new QTreeWidgetItem(item, rowTexts(s, r.choices[i], job.grain, true));
            child->setData(0, sizesRole,
                           QStringList{QString::fromStdString(r.choices[i].pressSize),
                                       QString::fromStdString(entryForm(s.size))});
        }
    }
    for (int c = 0; c < tree->columnCount(); ++c)
        tree->resizeColumnToContents(c);
    const std::size_t left = m_stock.size() - m_ranking.size();
    QStringList status;
    if (m_ranking.empty())
        status << tr("No stock sheet gives a press sheet that fits the press and holds a piece.");
    else if (left > 0)
        status << (left == 1 ? tr("1 stock sheet gives no press sheet that fits the press and "
                                  "holds a piece.")
                             : tr("%1 stock sheets give no press sheet that fits the press and "
                                  "hold a piece.")
                                   .arg(left));
    if (std::any_of(m_ranking.begin(), m_ranking.end(),
                    [](const StockRanking &r) { return !r.best().cost; }))
        status << tr("Sheets without a price are ranked by the stock sheets to order; add prices "
                     "per 1,000 sheets with Edit Stock List.");
    if (!m_ranking.empty())
        status << tr("Double-click a row to use it in the main window.");
    lblStatus->setText(status.join(QLatin1Char(' ')));
}

void frmChoosePaper::tree_DoubleClick(QTreeWidgetItem *item) {
    const QStringList sizes = item ? item->data(0, sizesRole).toStringList() : QStringList();
    if (sizes.size() == 2)
        m_main.putSheetSizes(sizes[0], sizes[1]);
}

void frmChoosePaper::cmdEditStock_Click() {
    frmStockList editor(m_stock, m_messages, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    loadStock();
    rank();
}

PaperPage frmChoosePaper::page() const {
    PaperPage p;
    p.title = caption;
    p.lines
        << lblJob->text()
        << tr("Spoilage %1%, make-ready %2 sheets").arg(txtSpoilage->text(), txtMakeReady->text())
        << tr("Press: largest sheet %1, smallest %2")
               .arg(pressSizeText(m_press.maxWidth, m_press.maxDepth),
                    pressSizeText(m_press.minWidth, m_press.minDepth));
    p.header = columns();
    for (const StockRanking &r : m_ranking)
        p.rows.push_back(rowTexts(m_stock[r.stock], r.best(), m_job.grain, false));
    return p;
}

void frmChoosePaper::cmdPrint_Click() {
    if (m_ranking.empty()) {
        m_messages.message(tr("There is no ranking to print.").toStdString());
        return;
    }
    m_main.reportPrinter().printPaperPage(page(), this);
}

bool frmChoosePaper::event(QEvent *e) {
    // The order fields are the best-layout window's too: coming back here
    // picks up what was typed there.
    if (e->type() == QEvent::WindowActivate) {
        const CutPlanSettings s = readCutPlanSettings();
        if (s.quantity != txtQuantity->text() || s.spoilage != txtSpoilage->text() ||
            s.makeReady != txtMakeReady->text()) {
            txtQuantity->setText(s.quantity);
            txtSpoilage->setText(s.spoilage);
            txtMakeReady->setText(s.makeReady);
            rank();
        }
    }
    return QWidget::event(e);
}

void frmChoosePaper::saveFields() {
    CutPlanSettings s = readCutPlanSettings();
    s.quantity = txtQuantity->text();
    s.spoilage = txtSpoilage->text();
    s.makeReady = txtMakeReady->text();
    PressLimits press;
    const bool pressOk = readPressSize(txtPressMax->text(), press.maxWidth, press.maxDepth) &&
                         readPressSize(txtPressMin->text(), press.minWidth, press.minDepth);
    if (s != readCutPlanSettings())
        showMessages(m_messages, writeCutPlanSettings(s));
    // An open best-layout window shows the same fields.
    for (auto *best : m_main.findChildren<frmBestLayout *>()) {
        best->txtQuantity->setText(s.quantity);
        best->txtSpoilage->setText(s.spoilage);
        best->txtMakeReady->setText(s.makeReady);
    }
    if (pressOk && !(press.maxWidth == m_press.maxWidth && press.maxDepth == m_press.maxDepth &&
                     press.minWidth == m_press.minWidth && press.minDepth == m_press.minDepth))
        showMessages(m_messages, writePressLimits(press));
}

} // namespace sheetcraft
