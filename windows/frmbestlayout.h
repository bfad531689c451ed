#pragma once

#include "bestlayoutworker.h"
#include "cutplanprint.h"
#include "cutplansettings.h"
#include "messagesink.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sheetcraft {

class CutLayoutView;
class MachineBox;
class TradeoffView;
class GainPanel;
class frmLayOut;

// "Best Layout and Cut Plan": for each stage the best guillotine layout (or
// the frame the main window shows) drawn with its numbered cuts, the counts
// compared, the grain rule and the cut list; the sheets to order for a job;
// and the printed cut plan. It follows the main window: each redraw there
// asks again, worked out off the GUI thread.
class frmBestLayout : public QWidget {
    Q_OBJECT
public:
    static QString caption() { return tr("Best Layout and Cut Plan"); }
    static QString computingText() { return tr("computing\u2026"); }
    static QString printCaption() { return tr("Print Cut Plan"); }

    frmBestLayout(frmLayOut &main, MessageSink &messages, QWidget *parent = nullptr);
    ~frmBestLayout() override;

    // Opens the one window of the main window (or raises it) and asks again.
    static frmBestLayout *showWindow(frmLayOut &main, MessageSink &messages);

    // Asks again from what the main window drew (when the cells there have
    // changed since, or nothing is drawn yet, from the sizes typed), with this
    // window's grains and gutter. The main window runs the one search.
    void follow();
    bool computing() const;
    const BestLayoutWorker &worker() const;
    // The sheets to order as shown, or nothing when they cannot be worked out.
    const std::optional<OrderQuantities> &order() const { return m_order; }
    const std::optional<OrderQuantities> &framesOrder() const { return m_framesOrder; }
    // The printed document for what the window shows.
    std::optional<CutPlanDocument> document() const;

    struct StageWidgets {
        CutLayoutView *view = nullptr;
        QLabel *sizes = nullptr;
        QLabel *comparison = nullptr;
        QLabel *proof = nullptr;
        QComboBox *grain = nullptr;
        QComboBox *show = nullptr; // "Best layout" or "Frame shown"
        QLabel *frame = nullptr;
        QPlainTextEdit *cutList = nullptr;
        TradeoffView *tradeoff = nullptr; // the line picked is shown and printed
    };
    std::array<StageWidgets, 2> stages; // finished sheets, press sheets
    QLineEdit *txtGutter = nullptr;     // between finished sheets; the press's gutter until typed
    QLineEdit *txtQuantity = nullptr;
    QLineEdit *txtSpoilage = nullptr;
    QLineEdit *txtMakeReady = nullptr;
    QLabel *lblOrder = nullptr;
    MachineBox *machine = nullptr;
    QLabel *lblStatus = nullptr;
    GainPanel *gainPanel = nullptr; // what would gain one more piece
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdClose = nullptr;

signals:
    void shown(); // the latest answer is on screen

public slots:
    void cmdPrint_Click();

private:
    void buildControls();
    void showResult();
    void showStage(std::size_t i);
    void updateOrder();
    void saveSettings();
    CutPlanSettings currentSettings() const;
    void print();
    // A stage as shown: its best layout replaced by the trade-off line picked.
    std::optional<StagePlan> shownStage(std::size_t i) const;

    frmLayOut &m_main;
    MessageSink &m_messages;
    bool m_gutterTyped = false;
    bool m_printWhenShown = false; // Print Cut Plan waits for the answer under way
    CutPlanSettings m_saved;
    bool m_saveFailed = false; // said once a run
    std::optional<OrderQuantities> m_order, m_framesOrder;
    std::array<std::optional<StagePlan>, 2> m_shown; // what each view draws
};

} // namespace sheetcraft
