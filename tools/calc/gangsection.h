#pragma once

#include "bestlayout.h"

#include <QCommandLineParser>
#include <QString>

namespace sheetcraft {

// --gang FILE.csv and --templates N.
void addGangOptions(QCommandLineParser &parser);
bool wantsGang(const QCommandLineParser &parser);

// What main has read and checked of the shared options.
struct GangCalcSettings {
    QString press;
    QString gripper;
    bool gripperOnWidth = true;
    double spoilagePct = 0;
    qint64 makeReady = 0;
    bool json = false;
};

// Plans the gang run and prints it; the exit status (0, 2 bad input, 3 no plan).
int runGang(const QCommandLineParser &parser, const GangCalcSettings &settings);

} // namespace sheetcraft
