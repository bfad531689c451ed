#include "bestlayoutworker.h"

#include <QMetaObject>
#include <QStringList>

#include <cmath>

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

double gutterText(const std::string &text) {
    QString typed = QString::fromStdString(text).trimmed();
    typed.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double gutter = typed.toDouble(&ok);
    return ok && std::isfinite(gutter) && gutter > 0 ? gutter : 0;
}

bool sameQuestion(const BestLayoutRequest &a, const BestLayoutRequest &b) {
    return a.grains == b.grains && a.gutter == b.gutter &&
           a.machine.knifeLength == b.machine.knifeLength &&
           a.machine.smallestGauge == b.machine.smallestGauge && a.machine.lift == b.machine.lift &&
           sameDiagram(a.diagrams[0], b.diagrams[0]) && sameDiagram(a.diagrams[1], b.diagrams[1]);
}

QString bestGainText(const BestLayoutResult &result) {
    QStringList gains;
    const char *what[2] = {"up", "out"};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto &stage = result.stages[i];
        // The frames the stage's grain allows: the window compares the same way.
        if (stage && stage->best.workedOut && stage->best.layout.count > stage->framesAllowed)
            gains << QStringLiteral("%1 %2 (frames: %3)")
                         .arg(stage->best.layout.count)
                         .arg(QLatin1String(what[i]))
                         .arg(stage->framesAllowed);
    }
    if (gains.isEmpty())
        return {};
    return QObject::tr("Best guillotine layout: %1; see Tools")
        .arg(gains.join(QStringLiteral(", ")));
}

BestLayoutWorker::BestLayoutWorker(std::chrono::milliseconds budget, QObject *parent)
    : QObject(parent), m_budget(budget) {}

BestLayoutWorker::~BestLayoutWorker() {
    // Every loop of the search looks at the flag, so this returns promptly.
    m_cancel.store(true);
    if (m_thread.joinable())
        m_thread.join();
}

void BestLayoutWorker::request(const BestLayoutRequest &request) {
    if (m_asked && sameQuestion(request, m_last))
        return;
    m_asked = true;
    m_last = request;
    if (m_running) {
        m_cancel.store(true);
        m_waiting = request;
        return;
    }
    start(request);
}

void BestLayoutWorker::start(const BestLayoutRequest &request) {
    if (m_thread.joinable())
        m_thread.join(); // it has posted its answer and is returning
    m_cancel.store(false);
    m_running = true;
    BestLayoutOptions options;
    options.budget = m_budget;
    options.cancel = &m_cancel;
    emit started();
    // The thread owns copies of what it reads; the worker outlives it (the
    // destructor joins), and Qt drops the queued answer of a deleted receiver.
    m_thread = std::thread([this, request, options] {
        auto result = std::make_shared<BestLayoutResult>();
        for (std::size_t i = 0; i < 2 && !m_cancel.load(); ++i) {
            const auto &diagram = request.diagrams[i];
            if (diagram && diagram->fits())
                result->stages[i] =
                    computeStagePlan(*diagram, request.grains[i], options,
                                     i == 0 ? request.gutter : 0.0, request.machine);
        }
        const bool cancelled = m_cancel.load();
        QMetaObject::invokeMethod(
            this, [this, cancelled, result] { finished(cancelled, result); }, Qt::QueuedConnection);
    });
}

void BestLayoutWorker::finished(bool cancelled, std::shared_ptr<const BestLayoutResult> result) {
    m_running = false;
    if (m_waiting) {
        const BestLayoutRequest next = *m_waiting;
        m_waiting.reset();
        start(next);
        return;
    }
    if (cancelled)
        return;
    m_result = std::move(result);
    emit computed();
}

} // namespace sheetcraft
