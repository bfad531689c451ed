#include "gainpanel.h"

#include "frmlayout.h"
#include "stockfile.h"

#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace sheetcraft {

namespace {

// The status line asks without the window: a shorter wait per redraw.
constexpr std::chrono::milliseconds statusTotal{150};

} // namespace

std::optional<GainQuestion> gainQuestion(const frmLayOut &main, GrainRule grain, double trimLimit) {
    const auto &fss = main.session.finished();
    if (!main.session.hasDrawn() || !fss || !fss->fits())
        return std::nullopt;
    GainQuestion q;
    q.problem = layoutProblem(*fss, grain);
    q.trimLimit = trimLimit;
    q.press = readPressLimits(main.metricUnits());
    q.stock = readStockFile(main.metricUnits()).list.sheets;
    return q;
}

QString gainStatusText(const GainAnswer &answer) {
    if (answer.gains.empty())
        return {};
    const Gain *best = &answer.gains.front();
    for (const Gain &g : answer.gains)
        if (g.count.count > best->count.count)
            best = &g;
    return QObject::tr("One more piece: %1").arg(QString::fromStdString(gainLine(*best)));
}

GainPanel::GainPanel(frmLayOut &main, std::function<GrainRule()> grain, QWidget *parent)
    : QWidget(parent), m_main(main), m_grain(std::move(grain)) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    lblGains = new QLabel(this);
    lblGains->setWordWrap(true);
    lblGains->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *limitLabel = new QLabel(tr("Trim at most:"), this);
    txtTrimLimit = new QLineEdit(QStringLiteral("0.125"), this);
    txtTrimLimit->setMaximumWidth(70);
    txtTrimLimit->setValidator(new QDoubleValidator(0, 1e6, 4, txtTrimLimit));
    txtTrimLimit->setToolTip(tr("The most a finished piece may lose in width or depth (a bleed "
                                "or margin given up) to gain a piece"));
    limitLabel->setBuddy(txtTrimLimit);
    row->addWidget(lblGains, 1);
    row->addWidget(limitLabel);
    row->addWidget(txtTrimLimit);
    m_worker = new GainWorker(
        this,
        [this]() -> std::optional<GainQuestion> {
            bool ok = false;
            const double limit = txtTrimLimit->text().toDouble(&ok);
            return gainQuestion(m_main, m_grain(), ok ? limit : 0);
        },
        [this](const GainAnswer *answer) { showAnswer(answer); });
    connect(txtTrimLimit, &QLineEdit::editingFinished, this, &GainPanel::follow);
}

void GainPanel::follow() {
    m_worker->request();
}

void GainPanel::showAnswer(const GainAnswer *answer) {
    if (!answer) {
        m_answer = {};
        lblGains->setText(tr("One more piece: nothing drawn to work from."));
        return;
    }
    m_answer = *answer;
    QStringList lines;
    lines << tr("One more piece (now %1 up):").arg(m_answer.now.count);
    for (const Gain &g : m_answer.gains)
        lines << QStringLiteral("  ") + QString::fromStdString(gainLine(g));
    if (m_answer.gains.empty())
        lines << tr("  no change tried here gains a piece");
    lblGains->setText(lines.join(QLatin1Char('\n')));
}

GainWorker::GainWorker(QObject *parent, std::function<std::optional<GainQuestion>()> ask,
                       std::function<void(const GainAnswer *)> show)
    : QObject(parent), m_ask(std::move(ask)), m_show(std::move(show)) {}

GainWorker::~GainWorker() {
    // The search ends within its total; its answer is dropped with this object.
    if (m_thread.joinable())
        m_thread.join();
}

void GainWorker::request() {
    auto question = m_ask();
    if (m_busy) {
        m_next = std::move(question);
        return;
    }
    if (question)
        start(*question);
    else
        m_show(nullptr);
}

void GainWorker::start(const GainQuestion &question) {
    m_busy = true;
    if (m_thread.joinable())
        m_thread.join(); // already done: it posted its answer last
    m_thread = std::thread([this, question] {
        const GainAnswer answer = findGains(question);
        QMetaObject::invokeMethod(
            this, [this, answer] { finished(answer); }, Qt::QueuedConnection);
    });
}

void GainWorker::finished(const GainAnswer &answer) {
    m_busy = false;
    if (!m_next) {
        m_show(&answer);
        return;
    }
    const auto next = *m_next;
    m_next.reset();
    if (next)
        start(*next);
    else
        m_show(nullptr);
}

void followGainStatus(frmLayOut &main, QLabel *label) {
    auto *worker = new GainWorker(
        label,
        [&main] {
            // The finished sheets' grain the one best-layout search uses.
            auto q = gainQuestion(main, main.bestGrain(0), 0.125);
            if (q)
                q->total = statusTotal;
            return q;
        },
        [label](const GainAnswer *answer) {
            label->setText(answer ? gainStatusText(*answer) : QString());
        });
    QObject::connect(&main, &frmLayOut::layoutsRedrawn, worker, &GainWorker::request);
}

} // namespace sheetcraft
