// A full redraw as the window does it: the layout flow, the recording of both
// diagrams and panels, and painting the recording onto a 96-DPI image.

#include "layoutsession.h"
#include "painterreplay.h"
#include "recordingsurface.h"
#include "screenview.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "guimain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

using namespace sheetcraft;

void fullRedraw(benchmark::State &state, const char *piece) {
    std::size_t messages = 0;
    RecordingSurface surface(QFont(), 96);
    ScreenView view(surface);
    LayoutSession session(&view);
    session.cells.txtSize[0] = piece;
    // The window's client area, 7335 x 7530 twips.
    QImage image(489, 502, QImage::Format_RGB32);
    ReplayOptions options;
    options.pixelsPerTwip = 96.0 / 1440.0;

    for (auto _ : state) {
        messages += session.Command1_Click().messages.size();
        image.fill(Qt::lightGray);
        QPainter painter(&image);
        replayRecording(surface, painter, options);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    if (messages > 0 || !session.press())
        state.SkipWithError("the redraw did not complete");
    else
        state.counters["pieces"] = session.finished()->frameOut();
}

void BM_RedrawDefaults(benchmark::State &state) {
    fullRedraw(state, "2x3");
}
void BM_RedrawHugeCount(benchmark::State &state) {
    fullRedraw(state, "0.002x0.002");
}

BENCHMARK(BM_RedrawDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawHugeCount)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    return runGuiBenchmarks(argc, argv);
}
