#include "stocklist.h"

#include "csv.h"
#include "sheetsize.h"
#include "val.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sheetcraft {

namespace {

// A whole decimal number only: Val would read "12abc" as 12.
bool readNumber(const std::string &text, double &value) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || text == ".")
        return false;
    value = Val(text);
    return std::isfinite(value);
}

StockSheet sheet(const char *name, const char *size, StockGrain grain = StockGrain::Long) {
    std::string why;
    StockSheet s = *parseStockLine(std::string(name) + "," + size, why);
    s.grain = grain;
    return s;
}

} // namespace

const char *stockGrainText(StockGrain grain) {
    switch (grain) {
    case StockGrain::Long:
        return "long";
    case StockGrain::Short:
        return "short";
    case StockGrain::Unknown:
        break;
    }
    return "";
}

std::optional<StockSheet> parseStockLine(std::string_view line, std::string &why) {
    const auto fields = csvFields(line);
    if (!fields) {
        why = "a quote is not closed";
        return std::nullopt;
    }
    if (fields->size() < 2 || fields->size() > 4) {
        why = "expected name,size,price,grain";
        return std::nullopt;
    }
    StockSheet s;
    s.name = (*fields)[0];
    s.size = lowerCase((*fields)[1]);
    if (s.name.empty()) {
        why = "the name is empty";
        return std::nullopt;
    }
    const auto parts = splitSize(s.size);
    double a = 0, b = 0;
    if (!parts || !readNumber(trimmed(parts->first), a) || !readNumber(trimmed(parts->second), b) ||
        !isUsableSize(s.size, SizeRole::Parent)) {
        why = "the size \"" + (*fields)[1] + "\" is not a size such as 23x35";
        return std::nullopt;
    }
    s.width = std::max(a, b);
    s.depth = std::min(a, b);
    const std::string price = fields->size() > 2 ? (*fields)[2] : std::string();
    double p = 0;
    if (!price.empty()) {
        if (!readNumber(price, p)) {
            why = "the price \"" + price + "\" is not a number";
            return std::nullopt;
        }
        s.price = p;
    }
    const std::string grain = fields->size() > 3 ? lowerCase((*fields)[3]) : std::string();
    if (grain == "long")
        s.grain = StockGrain::Long;
    else if (grain == "short")
        s.grain = StockGrain::Short;
    else if (!grain.empty()) {
        why = "the grain \"" + (*fields)[3] + "\" is not long or short";
        return std::nullopt;
    }
    return s;
}

StockList parseStockList(std::string_view text) {
    StockList list;
    bool headerSeen = false;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        if (!headerSeen) {
            headerSeen = true;
            std::string compact;
            for (char c : lowerCase(line))
                if (c != ' ')
                    compact += c;
            if (compact == stockListHeader)
                continue;
            list.problems.push_back(
                {number, "the first line is not the header name,size,price,grain"});
        }
        std::string why;
        if (auto s = parseStockLine(line, why))
            list.sheets.push_back(std::move(*s));
        else
            list.problems.push_back({number, why});
    }
    return list;
}

std::string stockListText(const std::vector<StockSheet> &sheets) {
    std::string out = std::string(stockListHeader) + "\n";
    for (const StockSheet &s : sheets)
        out += csvField(s.name) + "," + csvField(s.size) + "," +
               (s.price ? sizeNumber(*s.price) : std::string()) + "," + stockGrainText(s.grain) +
               "\n";
    return out;
}

std::vector<StockSheet> defaultStockList(bool metricFirst) {
    std::vector<StockSheet> inch = {
        sheet("17.5 x 22.5", "17.5x22.5"), sheet("19 x 25", "19x25"), sheet("23 x 29", "23x29"),
        sheet("23 x 35", "23x35"),         sheet("25 x 38", "25x38"), sheet("26 x 40", "26x40"),
        sheet("28 x 40", "28x40"),
    };
    std::vector<StockSheet> metric = {
        sheet("SRA3", "320x450"), sheet("SRA2", "450x640"), sheet("B2", "500x707"),
        sheet("B1", "700x1000"),  sheet("RA1", "610x860"),  sheet("720 x 1020", "720x1020"),
    };
    auto &first = metricFirst ? metric : inch;
    auto &second = metricFirst ? inch : metric;
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::string sizeNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s = text;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

bool PressLimits::fits(double width, double depth) const {
    // Slack for sums of decimals that are not exact in binary.
    constexpr double slack = 1e-7;
    const double w = std::max(width, depth), d = std::min(width, depth);
    return w <= maxWidth + slack && d <= maxDepth + slack && w + slack >= minWidth &&
           d + slack >= minDepth;
}

bool readPressSize(std::string_view text, double &width, double &depth) {
    const std::string size = lowerCase(trimmed(text));
    if (!isUsableSize(size, SizeRole::Press))
        return false;
    const SheetDims dims = readDims(storageForm(size));
    width = std::max(dims.width, dims.depth);
    depth = std::min(dims.width, dims.depth);
    return true;
}

} // namespace sheetcraft
