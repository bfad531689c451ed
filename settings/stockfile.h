#pragma once

#include "outcome.h"
#include "stocklist.h"

#include <QString>
#include <QStringList>

namespace sheetcraft {

inline constexpr const char *pressLimitsFileName = "Press.txt";

// The shop's stock list as kept in the settings folder.
struct StockFile {
    StockList list;
    bool exists = false;  // false: the list is the first-start one
    bool readable = true; // false: the file is there but could not be read
};

// Reads StockList.csv; without one, the list a new user starts with.
StockFile readStockFile(bool metricFirst);

// The bad lines as messages: "StockList.csv, line 4: the price "x" is not a number".
QStringList stockProblems(const StockList &list);

// Writes the list safely; on failure says why.
[[nodiscard]] Outcome writeStockFile(const std::vector<StockSheet> &sheets);

// The press's largest and smallest sheet, kept beside the stock list as
// "press-max=28x40" and "press-min=8.5x11"; where missing or unreadable, the
// defaults of the units in use.
PressLimits readPressLimits(bool metric);
[[nodiscard]] Outcome writePressLimits(const PressLimits &press);

// "28x40" and back; nothing when the text is not a usable sheet size.
QString pressSizeText(double width, double depth);
bool readPressSize(const QString &text, double &width, double &depth);

} // namespace sheetcraft
