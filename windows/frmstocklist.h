#pragma once

#include "messagesink.h"
#include "stocklist.h"

#include <QDialog>

class QTableWidget;
class QPushButton;

namespace sheetcraft {

// Edits the shop's stock list: add, remove, change and sort the sheets. OK
// saves the list safely; a bad row is named and the dialog stays open.
class frmStockList : public QDialog {
    Q_OBJECT
public:
    frmStockList(const std::vector<StockSheet> &sheets, MessageSink &messages,
                 QWidget *parent = nullptr);
    // The rows as sheets; the bad ones are said through the sink.
    std::optional<std::vector<StockSheet>> sheets() const;

    QTableWidget *table = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdSort = nullptr;

public slots:
    void accept() override;

private:
    void fill(const std::vector<StockSheet> &sheets);
    MessageSink &m_messages;
};

} // namespace sheetcraft
