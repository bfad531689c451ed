#include "frmstocklist.h"

#include "stockfile.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sheetcraft {

namespace {

QString csvQuoted(const QString &field) {
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')))
        return field;
    QString quoted = field;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

frmStockList::frmStockList(const std::vector<StockSheet> &sheets, MessageSink &messages,
                           QWidget *parent)
    : QDialog(parent), m_messages(messages) {
    setWindowTitle(tr("Stock List"));
    auto *top = new QVBoxLayout(this);
    table = new QTableWidget(static_cast<int>(sheets.size()), 4, this);
    table->setHorizontalHeaderLabels(
        {tr("Name"), tr("Size"), tr("Price per 1,000"), tr("Grain (long or short)")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    fill(sheets);
    top->addWidget(table, 1);
    auto *row = new QHBoxLayout;
    cmdAdd = new QPushButton(tr("Add"), this);
    cmdRemove = new QPushButton(tr("Remove"), this);
    cmdSort = new QPushButton(tr("Sort by Size"), this);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    row->addWidget(cmdAdd);
    row->addWidget(cmdRemove);
    row->addWidget(cmdSort);
    row->addStretch();
    row->addWidget(box);
    top->addLayout(row);
    resize(640, 480);

    connect(cmdAdd, &QPushButton::clicked, this, [this] {
        const int r = table->rowCount();
        table->insertRow(r);
        for (int c = 0; c < 4; ++c)
            table->setItem(r, c, new QTableWidgetItem);
        table->setCurrentCell(r, 0);
        table->editItem(table->item(r, 0));
    });
    connect(cmdRemove, &QPushButton::clicked, this, [this] {
        if (table->currentRow() >= 0)
            table->removeRow(table->currentRow());
    });
    connect(cmdSort, &QPushButton::clicked, this, [this] {
        // By area, so the list reads from the smallest sheet up; bad rows last.
        if (auto list = this->sheets()) {
            std::stable_sort(list->begin(), list->end(), [](const auto &a, const auto &b) {
                return a.width * a.depth < b.width * b.depth;
            });
            fill(*list);
        }
    });
    connect(box, &QDialogButtonBox::accepted, this, &frmStockList::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void frmStockList::fill(const std::vector<StockSheet> &sheets) {
    table->setRowCount(static_cast<int>(sheets.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const StockSheet &s = sheets[static_cast<std::size_t>(r)];
        const QString cells[] = {QString::fromStdString(s.name), QString::fromStdString(s.size),
                                 s.price ? QString::fromStdString(sizeNumber(*s.price)) : QString(),
                                 QLatin1String(stockGrainText(s.grain))};
        for (int c = 0; c < 4; ++c)
            table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}

std::optional<std::vector<StockSheet>> frmStockList::sheets() const {
    std::vector<StockSheet> list;
    QStringList problems;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < 4; ++c)
            fields << csvQuoted(table->item(r, c) ? table->item(r, c)->text().trimmed()
                                                  : QString());
        if (fields.join(QString()).isEmpty())
            continue; // an added row left blank
        std::string why;
        if (auto s = parseStockLine(fields.join(QLatin1Char(',')).toStdString(), why))
            list.push_back(*s);
        else
            problems << tr("Row %1: %2").arg(r + 1).arg(QString::fromStdString(why));
    }
    if (!problems.isEmpty()) {
        m_messages.message(problems.join(QLatin1Char('\n')).toStdString());
        return std::nullopt;
    }
    return list;
}

void frmStockList::accept() {
    const auto list = sheets();
    if (!list)
        return;
    const Outcome written = writeStockFile(*list);
    if (!written.saysNothing()) {
        showMessages(m_messages, written);
        return;
    }
    QDialog::accept();
}

} // namespace sheetcraft
