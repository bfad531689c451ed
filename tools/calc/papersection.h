#pragma once

#include "bestlayout.h"
#include "layoutsession.h"

#include <QCommandLineParser>

#include <optional>

namespace sheetcraft {

// --stock, --press-max, --press-min, --trim-limit, --rank and --gain.
void addPaperOptions(QCommandLineParser &parser);

struct PaperOrder {
    qint64 quantity = 0;
    double spoilagePct = 0;
    qint64 makeReady = 0;
};

// Answers --rank and/or --gain for the drawn session; nothing when neither is
// asked. Returns the exit status.
std::optional<int> runPaper(const QCommandLineParser &parser, const LayoutSession &session,
                            GrainRule grain, const PaperOrder &order);

} // namespace sheetcraft
