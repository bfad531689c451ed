#include "stockfile.h"

#include "settingsfiles.h"
#include "sheetsize.h"

#include <algorithm>

namespace sheetcraft {

namespace {

QString pathOf(const char *name) {
    return settingsFolder() + QLatin1Char('/') + QLatin1String(name);
}

} // namespace

StockFile readStockFile(bool metricFirst) {
    StockFile file;
    const SettingsBytes read = readSettingsBytes(pathOf(stockListFileName));
    if (read.error == errFileNotFound) {
        file.list.sheets = defaultStockList(metricFirst);
        return file;
    }
    file.exists = true;
    if (read.error != 0) {
        file.readable = false;
        return file;
    }
    file.list = parseStockList(read.bytes.toStdString());
    return file;
}

QStringList stockProblems(const StockList &list) {
    QStringList out;
    for (const StockListProblem &p : list.problems)
        out << QStringLiteral("%1, line %2: %3")
                   .arg(QLatin1String(stockListFileName))
                   .arg(p.line)
                   .arg(QString::fromStdString(p.text));
    return out;
}

Outcome writeStockFile(const std::vector<StockSheet> &sheets) {
    return writeSettingsFile(QLatin1String(stockListFileName),
                             QByteArray::fromStdString(stockListText(sheets)));
}

QString pressSizeText(double width, double depth) {
    return QString::fromStdString(sizeNumber(std::min(width, depth)) + "x" +
                                  sizeNumber(std::max(width, depth)));
}

bool readPressSize(const QString &text, double &width, double &depth) {
    return readPressSize(text.toStdString(), width, depth);
}

PressLimits readPressLimits(bool metric) {
    PressLimits press = metric ? PressLimits::metric() : PressLimits{};
    const SettingsBytes read = readSettingsBytes(pathOf(pressLimitsFileName));
    if (read.error != 0)
        return press;
    for (const QString &line : QString::fromUtf8(read.bytes).split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = line.left(eq).trimmed();
        double w = 0, d = 0;
        if (eq < 0 || !readPressSize(line.mid(eq + 1), w, d))
            continue;
        if (name == QLatin1String("press-max")) {
            press.maxWidth = w;
            press.maxDepth = d;
        } else if (name == QLatin1String("press-min")) {
            press.minWidth = w;
            press.minDepth = d;
        }
    }
    return press;
}

Outcome writePressLimits(const PressLimits &press) {
    const QString text = QStringLiteral("press-max=%1\npress-min=%2\n")
                             .arg(pressSizeText(press.maxWidth, press.maxDepth),
                                  pressSizeText(press.minWidth, press.minDepth));
    return writeSettingsFile(QLatin1String(pressLimitsFileName), text.toUtf8());
}

} // namespace sheetcraft
