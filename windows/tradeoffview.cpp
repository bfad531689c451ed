#include "tradeoffview.h"

namespace sheetcraft {

TradeoffView::TradeoffView(QWidget *parent) : QListWidget(parent) {
    setToolTip(tr("Fewest knife strokes found for each count: pick a line to show and print it"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this] { emit pickedChanged(); });
}

void TradeoffView::showRows(const std::vector<TradeoffRow> &rows) {
    const std::int64_t was =
        m_counts.empty() ? -1 : m_counts[std::min(picked(), m_counts.size() - 1)];
    QSignalBlocker quiet(this);
    clear();
    m_counts.clear();
    int keep = 0;
    for (const TradeoffRow &row : rows) {
        if (row.count == was)
            keep = count();
        addItem(QString::fromStdString(tradeoffText(row)));
        m_counts.push_back(row.count);
    }
    if (!rows.empty())
        setCurrentRow(keep);
    // Only as tall as its lines: a short table leaves room for the cut list.
    setMaximumHeight(std::max(1, count()) * sizeHintForRow(0) + 2 * frameWidth() + 2);
}

std::size_t TradeoffView::picked() const {
    return currentRow() < 0 ? 0 : static_cast<std::size_t>(currentRow());
}

} // namespace sheetcraft
