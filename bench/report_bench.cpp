#include "reportcontent.h"
#include "reportoutput.h"

#include "guimain.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace sheetcraft;

Cells cellsFor(const char *finished) {
    Cells cells;
    cells.txtFSS = finished;
    cells.txtPSS = "17x11";
    cells.txtPARS = "35x23";
    cells.txtName = "Benchmark Printing Co.";
    cells.txtJob = "12345";
    cells.txtDesc = "Business cards";
    cells.txtStockDesc = "80# Cover";
    return cells;
}

FrameState framesFor() {
    FrameState frames;
    frames.fssFrame = 2;
    frames.pssFrame = 1;
    return frames;
}

// The whole report to a file: check, layout, PDF, write.
void writeFile(benchmark::State &state, const char *finished) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    const Cells cells = cellsFor(finished);
    const FrameState frames = framesFor();
    for (auto _ : state) {
        const Outcome said = writeReportPdf(cells, frames, path);
        for (const std::string &text : messageTexts(said))
            std::fprintf(stderr, "%s\n", text.c_str());
        if (!said.saysNothing())
            state.SkipWithError("report refused");
    }
    Outcome said;
    const auto content = prepareReport(cells, frames, said);
    if (content)
        state.counters["pdf_bytes"] =
            static_cast<double>(renderReportPdf(cells, frames, *content).size());
}

void BM_ReportPdfDefaults(benchmark::State &state) {
    writeFile(state, "3x2");
}
void BM_ReportPdfTinyPieces(benchmark::State &state) {
    writeFile(state, "0.002x0.002");
}

BENCHMARK(BM_ReportPdfDefaults)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportPdfTinyPieces)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    return runGuiBenchmarks(argc, argv);
}
