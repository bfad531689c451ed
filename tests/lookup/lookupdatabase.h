#pragma once

#include "mdbwriter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sheetcraft::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lookupXXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    std::string file(const std::string &name) const { return (m_path / name).string(); }
    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::vector<MdbColumnDef>
ordersColumns(MdbColumnType orderNoType = MdbColumnType::Text,
              MdbColumnType partNoType = MdbColumnType::LongInteger) {
    using T = MdbColumnType;
    return {{"QuoteorJob", T::Text, 1},         {"OrderNo", orderNoType, 10},
            {"PartNo", partNoType, 2},          {"AcctName", T::Text, 50},
            {"Description", T::Text, 100},      {"StockDesc", T::Text, 50},
            {"PressFinishedSize", T::Text, 20}, {"PressSize", T::Text, 20},
            {"StockParentSize", T::Text, 20},   {"PressID", T::LongInteger}};
}

inline MdbTableData pressesTable() {
    return {"Presses",
            {{"PressID", MdbColumnType::LongInteger},
             {"GripperWidth", MdbColumnType::Double},
             {"GutterWidth", MdbColumnType::Double}},
            {{"1", "0.5", "0.25"},
             {"2", "0.375", "0"},
             {"3", "0.3", "0.1"},
             {"3", "0.45", "0.2"}, // same key: this later record wins
             {"4", std::nullopt, std::nullopt}}};
}

// The shop's usual data, with the awkward records a real table gathers.
inline std::vector<MdbTableData> standardDatabase() {
    const std::nullopt_t null = std::nullopt;
    MdbTableData orders{"Orders", ordersColumns(), {}};
    orders.rows = {
        // A job with no number, ahead of the rest: passed over, never fatal.
        {"J", null, "1", "Nobody", "Unnumbered", "Bond", "1x1", "2x2", "3x3", "1"},
        {"Q", "00000123", "1", "Quote Co", "Flyer", "Offset", "5x7", "19x25", "23x35", "1"},
        {"J", "00000123", "1", "Acme Print", "Brochure", "Gloss", "8.5x11", "23x35", "25x38", "1"},
        {"J", "00000123", "2", "Acme Print", "Insert", "Matte", "4x6", "12x18", null, "2"},
        {"J", "456", "1", "Bare Digits Ltd", "Cards", "Cover", "2x3.5", "12x18", "23x35", "1"},
        {"J", "123456789", "1", "Nine Digit Inc", "Poster", "Gloss", "18x24", "19x25", "25x38",
         "2"},
        {"J", "00000777", "1", null, null, null, "3x5", "11x17", "23x35", "99"},
        {"J", "00000888", "1", "Two Press Co", "Labels", "Label", "2x2", "13x19", "26x40", "3"},
        {"J", "00000555", "1", "Null Press Co", "Tags", "Tag", "2x4", "12x18", "24x36", "4"},
        {"J", "00000666", "1", "Half Done", "No press size", "Bond", "8.5x11", null, "23x35", "1"},
        {"J", "00000123", "1", "Second Acme", "Never reached", "Bond", "1x1", "2x2", "3x3", "1"},
    };
    return {orders, pressesTable()};
}

} // namespace sheetcraft::test
