#pragma once

#include "messagesink.h"
#include "paperprint.h"
#include "stockrank.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace sheetcraft {

class frmLayOut;

// "Choose Paper": every stock sheet ranked for the job in the main window,
// one row per stock sheet (its best press sheet), the other press sheets of
// that stock below it. A double-click puts the row's press and parent sizes
// into the main window and redraws there.
class frmChoosePaper : public QWidget {
    Q_OBJECT
public:
    inline static const QString caption = QStringLiteral("Choose Paper");

    frmChoosePaper(frmLayOut &main, MessageSink &messages, QWidget *parent = nullptr);
    ~frmChoosePaper() override;
    static frmChoosePaper *showWindow(frmLayOut &main, MessageSink &messages);

    // Ranks again from the fields and the main window's finished size and gripper.
    void rank();
    const std::vector<StockRanking> &ranking() const { return m_ranking; }
    const std::vector<StockSheet> &stock() const { return m_stock; }
    PaperPage page() const;

    QLabel *lblJob = nullptr;
    QLineEdit *txtQuantity = nullptr;
    QLineEdit *txtSpoilage = nullptr;
    QLineEdit *txtMakeReady = nullptr;
    QComboBox *cboGrain = nullptr;
    QLineEdit *txtPressMax = nullptr;
    QLineEdit *txtPressMin = nullptr;
    QTreeWidget *tree = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *cmdEditStock = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdClose = nullptr;

public slots:
    void cmdEditStock_Click();
    void cmdPrint_Click();
    void tree_DoubleClick(QTreeWidgetItem *item);

protected:
    bool event(QEvent *e) override;

private:
    void loadStock();
    void saveFields();
    bool readJob(PaperJob &job, PressLimits &press, QString &why) const;

    frmLayOut &m_main;
    MessageSink &m_messages;
    std::vector<StockSheet> m_stock;
    std::vector<StockRanking> m_ranking;
    PaperJob m_job;
    PressLimits m_press;
};

} // namespace sheetcraft
