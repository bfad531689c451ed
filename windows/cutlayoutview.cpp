#include "cutlayoutview.h"

#include "cutlayoutpainter.h"
#include "painterreplay.h"

#include <QPaintEvent>
#include <QPainter>

namespace sheetcraft {

CutLayoutView::CutLayoutView(QWidget *parent) : QWidget(parent) {
    setMinimumSize(240, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CutLayoutView::showLayout(const Layout *layout, const CutPlan *plan, double sheetWidth,
                               double sheetDepth) {
    m_layout = layout;
    m_plan = plan;
    m_sheetWidth = sheetWidth;
    m_sheetDepth = sheetDepth;
    m_recording.reset();
    update();
}

double CutLayoutView::pixelsPerTwip() const {
    return logicalDpiX() / 1440.0;
}

const RecordingSurface &CutLayoutView::recording() {
    if (!m_recording) {
        m_recording = std::make_unique<RecordingSurface>(font(), logicalDpiX());
        if (m_layout && m_plan) {
            const double k = pixelsPerTwip();
            constexpr int margin = 6; // pixels, so the outline is not lost at the edge
            CutLayoutBox box;
            box.left = margin / k;
            box.top = margin / k;
            box.width = (width() - 2 * margin) / k;
            box.depth = (height() - 2 * margin) / k;
            box.minDetail = 4 / k; // below four pixels the pieces cannot be told apart
            box.labelFont.points = 7;
            box.itemColours = m_itemColours;
            drawCutLayout(*m_recording, *m_layout, *m_plan, m_sheetWidth, m_sheetDepth, box);
        }
    }
    return *m_recording;
}

void CutLayoutView::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    ReplayOptions options;
    options.pixelsPerTwip = pixelsPerTwip();
    options.clip = event->rect();
    replayRecording(recording(), painter, options);
}

void CutLayoutView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    m_recording.reset();
}

} // namespace sheetcraft

namespace sheetcraft {

void CutLayoutView::setItemColours(std::vector<Rgb> colours) {
    m_itemColours = std::move(colours);
    m_recording.reset();
    update();
}

} // namespace sheetcraft
