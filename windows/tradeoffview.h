#pragma once

#include "fewestcuts.h"

#include <QListWidget>

namespace sheetcraft {

// A stage's trade-off between pieces and knife strokes, one line per count
// ("30 up: 12 cuts"); the line picked is the layout shown and printed.
class TradeoffView : public QListWidget {
    Q_OBJECT
public:
    explicit TradeoffView(QWidget *parent = nullptr);

    // Lists the rows; the line of the same count stays picked, else the first.
    void showRows(const std::vector<TradeoffRow> &rows);
    // The picked line, 0 when none is.
    std::size_t picked() const;

signals:
    void pickedChanged();

private:
    std::vector<std::int64_t> m_counts;
};

} // namespace sheetcraft
