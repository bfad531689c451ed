#pragma once

#include "diagram.h"
#include "stageplan.h"

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace sheetcraft {

// The question for both stages: the diagrams as the main window drew them
// (a stage is left out when its diagram is missing or does not fit) and each
// stage's grain rule. Index 0 is the finished sheets, 1 the press sheets.
struct BestLayoutRequest {
    std::array<std::optional<DiagramValues>, 2> diagrams;
    std::array<GrainRule, 2> grains{GrainRule::Any, GrainRule::OneWay};
    double gutter = 0;    // between finished sheets on the press sheet
    MachineRules machine; // the cutter the plans are made for
};

// A gutter as typed ("0.125", "0,125"); empty, unreadable or negative: none.
double gutterText(const std::string &text);

// True when both ask the same: same sheets, pieces, gripper, frame, grains and gutter.
bool sameQuestion(const BestLayoutRequest &a, const BestLayoutRequest &b);

struct BestLayoutResult {
    std::array<std::optional<StagePlan>, 2> stages;
};

// One unobtrusive line for the main window when a guillotine layout takes
// more than the frames, e.g. "Best guillotine layout: 30 up (frames: 29); see Tools";
// empty otherwise.
QString bestGainText(const BestLayoutResult &result);

// Works out both stages' best layouts off the GUI thread, on at most one
// thread at a time: a newer request cancels the running one, whose answer is
// dropped, and starts when it has stopped (only the newest waiting request is
// kept). The answer arrives on the GUI thread through `computed`.
class BestLayoutWorker : public QObject {
    Q_OBJECT
public:
    explicit BestLayoutWorker(std::chrono::milliseconds budget, QObject *parent = nullptr);
    ~BestLayoutWorker() override; // cancels and waits for the thread

    // Starts on `request` unless it asks what the last one asked.
    void request(const BestLayoutRequest &request);
    bool busy() const { return m_running || m_waiting.has_value(); }
    bool threadRunning() const { return m_running; }
    const BestLayoutRequest &lastRequest() const { return m_last; }
    const std::shared_ptr<const BestLayoutResult> &result() const { return m_result; }

signals:
    void started();
    void computed();

private:
    void start(const BestLayoutRequest &request);
    void finished(bool cancelled, std::shared_ptr<const BestLayoutResult> result);

    std::chrono::milliseconds m_budget;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    std::optional<BestLayoutRequest> m_waiting;
    bool m_asked = false;
    BestLayoutRequest m_last;
    std::shared_ptr<const BestLayoutResult> m_result;
};

} // namespace sheetcraft
