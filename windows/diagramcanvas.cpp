#include "diagramcanvas.h"

#include "painterreplay.h"
#include "recordingsurface.h"

#include <QPaintEvent>
#include <QPainter>

namespace sheetcraft {

DiagramCanvas::DiagramCanvas(const RecordingSurface &recording, double pixelsPerTwip,
                             QWidget *parent)
    : QWidget(parent), m_recording(recording), m_pixelsPerTwip(pixelsPerTwip) {
    setAutoFillBackground(true);
}

void DiagramCanvas::setPixelsPerTwip(double pixelsPerTwip) {
    m_pixelsPerTwip = pixelsPerTwip;
    update();
}

void DiagramCanvas::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    ReplayOptions options;
    options.pixelsPerTwip = m_pixelsPerTwip;
    options.clip = event->rect();
    replayRecording(m_recording, painter, options);
}

} // namespace sheetcraft
