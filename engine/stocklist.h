#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheetcraft {

inline constexpr const char *stockListFileName = "StockList.csv";
inline constexpr const char *stockListHeader = "name,size,price,grain";

// Which way the paper's fibres run: along the sheet's long side or its short side.
enum class StockGrain { Unknown, Long, Short };

const char *stockGrainText(StockGrain grain); // "", "long", "short"

// One sheet the shop buys. The size is kept as typed; width is the larger number.
struct StockSheet {
    std::string name;
    std::string size;
    double width = 0, depth = 0;
    std::optional<double> price; // per 1,000 sheets
    StockGrain grain = StockGrain::Unknown;
    friend bool operator==(const StockSheet &, const StockSheet &) = default;
};

struct StockListProblem {
    int line = 0; // 1-based, in the file
    std::string text;
};

struct StockList {
    std::vector<StockSheet> sheets;
    std::vector<StockListProblem> problems; // the bad lines; the good ones still count
};

// Reads the CSV: a header line, then one sheet a line; blank lines and lines
// starting with '#' are skipped. A field may be quoted ("a, b" or "a ""b""").
StockList parseStockList(std::string_view text);

// One line of the file, fields as parseStockList reads them back.
std::optional<StockSheet> parseStockLine(std::string_view line, std::string &why);

// The file's text: header, then the sheets in order.
std::string stockListText(const std::vector<StockSheet> &sheets);

// The list a new user starts with: the common North American and metric
// sheets, the metric ones first in metric mode.
std::vector<StockSheet> defaultStockList(bool metricFirst);

// A size number as the cells show it: at most four decimals, no trailing zeros.
std::string sizeNumber(double value);

// A press sheet size as typed in a size cell, larger side first; false when
// the size cell would refuse it.
bool readPressSize(std::string_view text, double &width, double &depth);

// The press's largest and smallest sheet (width the larger number).
struct PressLimits {
    double maxWidth = 40, maxDepth = 28;
    double minWidth = 11, minDepth = 8.5;
    // A press of the same class in millimetres.
    static PressLimits metric() { return {1020, 720, 297, 210}; }
    // Whether a sheet of these sides (either way round) goes through the press.
    bool fits(double width, double depth) const;
};

} // namespace sheetcraft
