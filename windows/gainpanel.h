#pragma once

#include "papergain.h"

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

// "What would gain one more piece" for the main window's press sheet: one
// line per kind of change, each checked by the search. The best-layout window
// asks again whenever it follows the main window.
class GainPanel : public QWidget {
    Q_OBJECT
public:
    GainPanel(frmLayOut &main, std::function<GrainRule()> grain, QWidget *parent = nullptr);
    void follow();
    QLabel *lblGains = nullptr;
    QLineEdit *txtTrimLimit = nullptr;
    const GainAnswer &answer() const { return m_answer; }

private:
    frmLayOut &m_main;
    std::function<GrainRule()> m_grain;
    GainAnswer m_answer;
};

} // namespace sheetcraft

namespace sheetcraft {

// Keeps a label on the main window's status line saying what would gain a
// piece. Worked out on one thread of its own, so a redraw never waits for it;
// a redraw meanwhile is asked next, and the one in between is skipped.
class GainStatus : public QObject {
    Q_OBJECT
public:
    GainStatus(frmLayOut &main, QLabel *label);
    ~GainStatus() override;
    bool busy() const { return m_busy; }

private:
    void request();
    void start(const GainQuestion &question);
    void finished(const GainAnswer &answer);

    frmLayOut &m_main;
    QLabel *m_label;
    std::thread m_thread;
    bool m_busy = false;
    std::optional<std::optional<GainQuestion>> m_next; // a redraw while busy
};

} // namespace sheetcraft
