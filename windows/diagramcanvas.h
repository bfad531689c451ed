#pragma once

#include <QWidget>

namespace sheetcraft {

class RecordingSurface;

// The main window's client area: its background shows the recorded diagrams,
// repainted from the recording whenever Qt asks, and the controls sit on it.
class DiagramCanvas : public QWidget {
    Q_OBJECT
public:
    DiagramCanvas(const RecordingSurface &recording, double pixelsPerTwip,
                  QWidget *parent = nullptr);

    // The window moved to a screen of another DPI: repaints at the new scale.
    void setPixelsPerTwip(double pixelsPerTwip);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const RecordingSurface &m_recording;
    double m_pixelsPerTwip;
};

} // namespace sheetcraft
