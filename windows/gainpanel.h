#pragma once

#include "papergain.h"

#include <QObject>
#include <QWidget>

#include <functional>
#include <optional>
#include <thread>

class QLabel;
class QLineEdit;

namespace sheetcraft {

class frmLayOut;

// The question for the main window's press sheet as drawn; nothing before a
// drawing where the finished sheets fit.
std::optional<GainQuestion> gainQuestion(const frmLayOut &main, GrainRule grain, double trimLimit);

// The status line's mention: "One more piece: 30 up with ..." or nothing.
QString gainStatusText(const GainAnswer &answer);

// Works out what would gain a piece on one thread of its own, so no window
// waits for it. `ask` gives the question on the GUI thread (nothing: no
// answer); `show` gets the answer there (null for no question). A request
// while busy is asked next, and one in between is skipped.
class GainWorker : public QObject {
    Q_OBJECT
public:
    GainWorker(QObject *parent, std::function<std::optional<GainQuestion>()> ask,
               std::function<void(const GainAnswer *)> show);
    ~GainWorker() override;
    bool busy() const { return m_busy; }
    void request();

private:
    void start(const GainQuestion &question);
    void finished(const GainAnswer &answer);

    std::function<std::optional<GainQuestion>()> m_ask;
    std::function<void(const GainAnswer *)> m_show;
    std::thread m_thread;
    bool m_busy = false;
    std::optional<std::optional<GainQuestion>> m_next;
};

// "What would gain one more piece" for the main window's press sheet: one
// line per kind of change, each checked by the search. The best-layout window
// asks again whenever it follows the main window.
class GainPanel : public QWidget {
    Q_OBJECT
public:
    GainPanel(frmLayOut &main, std::function<GrainRule()> grain, QWidget *parent = nullptr);
    void follow();
    bool busy() const { return m_worker->busy(); }
    const GainAnswer &answer() const { return m_answer; }
    QLabel *lblGains = nullptr;
    QLineEdit *txtTrimLimit = nullptr;

private:
    void showAnswer(const GainAnswer *answer);
    frmLayOut &m_main;
    std::function<GrainRule()> m_grain;
    GainAnswer m_answer;
    GainWorker *m_worker = nullptr;
};

// Keeps `label` on the main window's status line saying what would gain a piece.
void followGainStatus(frmLayOut &main, QLabel *label);

} // namespace sheetcraft
