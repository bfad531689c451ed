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
#include <thread>
#include <vector>

namespace sheetcraft {

// The question for both stages: the diagrams as the main window drew them
// (a stage is left out when its diagram is missing or does not fit) and each
// stage's grain rule. Index 0 is the finished sheets, 1 the press sheets.
struct BestLayoutRequest {
    std::array<std::optional<DiagramValues>, 2> diagrams;
    std::array<GrainRule, 2> grains{GrainRule::Any, GrainRule::Any};
    MachineRules machine; // the cutter the plans are made for
};

// True when both ask the same: same sheets, pieces, gripper, frame and grains.
bool sameQuestion(const BestLayoutRequest &a, const BestLayoutRequest &b);

struct BestLayoutResult {
    std::array<std::optional<StagePlan>, 2> stages;
};

// One unobtrusive line for the main window when a guillotine layout takes
// more than the frames, e.g. "Best guillotine layout: 30 up (frames: 29); see Tools";
// empty otherwise.
QString bestGainText(const BestLayoutResult &result);

// Works out both stages' best layouts off the GUI thread, one request at a
// time: a newer request cancels the older one, whose answer is dropped. The
// answer arrives on the GUI thread through `computed`.
class BestLayoutWorker : public QObject {
    Q_OBJECT
public:
    explicit BestLayoutWorker(std::chrono::milliseconds budget, QObject *parent = nullptr);
    ~BestLayoutWorker() override; // cancels and waits for the threads

    // Starts on `request` unless it asks what the last one asked.
    void request(const BestLayoutRequest &request);
    bool busy() const { return m_busy; }
    const BestLayoutRequest &lastRequest() const { return m_last; }
    const std::shared_ptr<const BestLayoutResult> &result() const { return m_result; }

signals:
    void started();
    void computed();

private:
    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancel;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void reap(bool all);
    void deliver(std::uint64_t generation, std::shared_ptr<const BestLayoutResult> result);

    std::chrono::milliseconds m_budget;
    std::vector<Job> m_jobs;
    std::uint64_t m_generation = 0;
    bool m_busy = false;
    bool m_asked = false;
    BestLayoutRequest m_last;
    std::shared_ptr<const BestLayoutResult> m_result;
};

} // namespace sheetcraft
