#include "mdbdescription.h"

#include <cctype>
#include <string>

namespace sheetcraft {

namespace {

std::string trim(const std::string &s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

// Splits "keyword rest" at the first blank.
std::pair<std::string, std::string> splitWord(const std::string &line) {
    std::size_t i = 0;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
        ++i;
    return {line.substr(0, i), trim(line.substr(i))};
}

// Values separated by "|": blanks around a value are dropped; NULL alone is a
// null; a value in double quotes is taken as written ("" for a quote), so it
// may hold blanks, "|" or the word NULL.
std::vector<MdbCell> splitRow(const std::string &text, const std::string &where) {
    std::vector<MdbCell> cells;
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        MdbCell cell;
        if (i < text.size() && text[i] == '"') {
            std::string value;
            ++i;
            for (;;) {
                if (i >= text.size())
                    throw MdbWriteError(where + ": quoted value is not closed");
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        value.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value.push_back(text[i++]);
            }
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
                ++i;
            if (i < text.size() && text[i] != '|')
                throw MdbWriteError(where + ": text after a quoted value");
            cell = value;
        } else {
            std::size_t bar = text.find('|', i);
            std::string raw =
                trim(text.substr(i, bar == std::string::npos ? std::string::npos : bar - i));
            if (raw != "NULL")
                cell = raw;
            i = bar == std::string::npos ? text.size() : bar;
        }
        cells.push_back(cell);
        if (i >= text.size())
            break;
        ++i; // past the "|"
    }
    return cells;
}

MdbColumnDef parseColumn(const std::string &rest, const std::string &where) {
    auto [name, typeText] = splitWord(rest);
    if (name.empty() || typeText.empty())
        throw MdbWriteError(where + ": expected \"column NAME TYPE\"");
    MdbColumnDef def;
    def.name = name;
    std::string typeName = typeText;
    std::size_t paren = typeText.find('(');
    if (paren != std::string::npos) {
        std::size_t close = typeText.find(')', paren);
        if (close == std::string::npos || trim(typeText.substr(close + 1)) != "")
            throw MdbWriteError(where + ": bad length in \"" + typeText + "\"");
        std::string len = trim(typeText.substr(paren + 1, close - paren - 1));
        typeName = trim(typeText.substr(0, paren));
        try {
            std::size_t used = 0;
            def.textLength = std::stoi(len, &used);
            if (used != len.size())
                throw std::invalid_argument(len);
        } catch (const std::exception &) {
            throw MdbWriteError(where + ": bad length in \"" + typeText + "\"");
        }
    }
    // Collapse runs of blanks so "Long  Integer" is accepted.
    std::string collapsed;
    for (char c : typeName) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!collapsed.empty() && collapsed.back() != ' ')
                collapsed.push_back(' ');
        } else {
            collapsed.push_back(c);
        }
    }
    auto type = mdbColumnTypeFromName(collapsed);
    if (!type)
        throw MdbWriteError(where + ": unknown column type \"" + typeName + "\"");
    if (paren != std::string::npos && *type != MdbColumnType::Text)
        throw MdbWriteError(where + ": only Text takes a length");
    def.type = *type;
    return def;
}

} // namespace

std::vector<MdbTableData> parseMdbDescription(std::istream &in) {
    std::vector<MdbTableData> tables;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::string where = "line " + std::to_string(lineNumber);
        std::string t = trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        auto [keyword, rest] = splitWord(t);
        if (keyword == "table") {
            if (rest.empty() || rest.find_first_of(" \t") != std::string::npos)
                throw MdbWriteError(where + ": expected \"table NAME\"");
            tables.push_back({rest, {}, {}});
        } else if (keyword == "column") {
            if (tables.empty())
                throw MdbWriteError(where + ": column before any table");
            if (!tables.back().rows.empty())
                throw MdbWriteError(where + ": column after the table's rows");
            tables.back().columns.push_back(parseColumn(rest, where));
        } else if (keyword == "row") {
            if (tables.empty() || tables.back().columns.empty())
                throw MdbWriteError(where + ": row before the table's columns");
            auto cells = splitRow(rest, where);
            if (cells.size() != tables.back().columns.size())
                throw MdbWriteError(where + ": " + std::to_string(cells.size()) + " values for " +
                                    std::to_string(tables.back().columns.size()) + " columns");
            tables.back().rows.push_back(std::move(cells));
        } else {
            throw MdbWriteError(where + ": unknown keyword \"" + keyword + "\"");
        }
    }
    return tables;
}

} // namespace sheetcraft
