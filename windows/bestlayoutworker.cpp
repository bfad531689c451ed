#include "bestlayoutworker.h"

#include <QMetaObject>
#include <QStringList>

namespace sheetcraft {

namespace {

bool sameDiagram(const std::optional<DiagramValues> &a, const std::optional<DiagramValues> &b) {
    if (a.has_value() != b.has_value())
        return false;
    if (!a)
        return true;
    return a->diagram == b->diagram && a->frame == b->frame && a->pieceWidth == b->pieceWidth &&
           a->pieceDepth == b->pieceDepth && a->fullSheetWidth == b->fullSheetWidth &&
           a->fullSheetDepth == b->fullSheetDepth && a->gripper == b->gripper &&
           a->gripperOnWidth == b->gripperOnWidth && a->fitStatus == b->fitStatus &&
           a->maximumOut() == b->maximumOut();
}

} // namespace

bool sameQuestion(const BestLayoutRequest &a, const BestLayoutRequest &b) {
    return a.grains == b.grains && a.machine.knifeLength == b.machine.knifeLength &&
           a.machine.smallestGauge == b.machine.smallestGauge && a.machine.lift == b.machine.lift &&
           sameDiagram(a.diagrams[0], b.diagrams[0]) && sameDiagram(a.diagrams[1], b.diagrams[1]);
}

QString bestGainText(const BestLayoutResult &result) {
    QStringList gains;
    const char *what[2] = {"up", "out"};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto &stage = result.stages[i];
        if (stage && stage->best.layout.count > stage->framesMaximum)
            gains << QStringLiteral("%1 %2 (frames: %3)")
                         .arg(stage->best.layout.count)
                         .arg(QLatin1String(what[i]))
                         .arg(stage->framesMaximum);
    }
    if (gains.isEmpty())
        return {};
    return QStringLiteral("Best guillotine layout: ") + gains.join(QStringLiteral(", ")) +
           QStringLiteral("; see Tools");
}

BestLayoutWorker::BestLayoutWorker(std::chrono::milliseconds budget, QObject *parent)
    : QObject(parent), m_budget(budget) {}

BestLayoutWorker::~BestLayoutWorker() {
    reap(true);
}

void BestLayoutWorker::reap(bool all) {
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        if (all)
            it->cancel->store(true);
        if (all || it->done->load()) {
            it->thread.join();
            it = m_jobs.erase(it);
        } else {
            ++it;
        }
    }
}

void BestLayoutWorker::request(const BestLayoutRequest &request) {
    if (m_asked && sameQuestion(request, m_last))
        return;
    m_asked = true;
    m_last = request;
    for (Job &job : m_jobs)
        job.cancel->store(true);
    reap(false);

    const std::uint64_t generation = ++m_generation;
    Job job{
        {}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    BestLayoutOptions options;
    options.budget = m_budget;
    options.cancel = job.cancel.get();
    m_busy = true;
    emit started();
    // The thread owns copies of everything it reads; the worker outlives it
    // (the destructor joins), so the queued answer always has a receiver.
    job.thread =
        std::thread([this, request, options, generation, cancel = job.cancel, done = job.done] {
            auto result = std::make_shared<BestLayoutResult>();
            for (std::size_t i = 0; i < 2 && !cancel->load(); ++i) {
                const auto &diagram = request.diagrams[i];
                if (diagram && diagram->fits())
                    result->stages[i] =
                        computeStagePlan(*diagram, request.grains[i], options, request.machine);
            }
            if (!cancel->load())
                QMetaObject::invokeMethod(
                    this, [this, generation, result] { deliver(generation, result); },
                    Qt::QueuedConnection);
            done->store(true);
        });
    m_jobs.push_back(std::move(job));
}

void BestLayoutWorker::deliver(std::uint64_t generation,
                               std::shared_ptr<const BestLayoutResult> result) {
    if (generation != m_generation)
        return; // a newer request is on its way
    m_result = std::move(result);
    m_busy = false;
    reap(false);
    emit computed();
}

} // namespace sheetcraft
