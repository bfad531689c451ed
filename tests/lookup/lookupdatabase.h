#pragma once

#include "mdbwriter.h"

#include <vector>

namespace sheetcraft::test {

inline std::vector<MdbColumnDef>
ordersColumns(MdbColumnType orderNoType = MdbColumnType::Text,
              MdbColumnType partNoType = MdbColumnType::LongInteger) {
    return {{"QuoteorJob", MdbColumnType::Text, 1},
            {"OrderNo", orderNoType, 10},
            {"PartNo", partNoType, 2},
            {"AcctName", MdbColumnType::Text, 50},
            {"Description", MdbColumnType::Text, 100},
            {"StockDesc", MdbColumnType::Text, 50},
            {"PressFinishedSize", MdbColumnType::Text, 20},
            {"PressSize", MdbColumnType::Text, 20},
            {"StockParentSize", MdbColumnType::Text, 20},
            {"PressID", MdbColumnType::LongInteger}};
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
        {"Q", "00000123", "1", "Quote Co", "Quoted flyer", "70# Offset", "5x7", "19x25", "23x35",
         "1"},
        {"J", "00000123", "1", "Acme Print", "Brochure", "80# Gloss", "8.5x11", "23x35", "25x38",
         "1"},
        {"J", "00000123", "2", "Acme Print", "Brochure insert", "60# Matte", "4x6", "12x18", null,
         "2"},
        {"J", "456", "1", "Bare Digits Ltd", "Cards", "Cover", "2x3.5", "12x18", "23x35", "1"},
        {"J", "123456789", "1", "Nine Digit Inc", "Poster", "100# Gloss", "18x24", "19x25", "25x38",
         "2"},
        {"J", "00000777", "1", null, null, null, "3x5", "11x17", "23x35", "99"},
        {"J", "00000888", "1", "Two Press Co", "Labels", "Label stock", "2x2", "13x19", "26x40",
         "3"},
        {"J", "00000555", "1", "Null Press Co", "Tags", "Tag", "2x4", "12x18", "24x36", "4"},
        {"J", "00000666", "1", "Half Done", "No press size", "Bond", "8.5x11", null, "23x35", "1"},
        {"J", "00000123", "1", "Second Acme", "Duplicate, never reached", "Bond", "1x1", "2x2",
         "3x3", "1"},
    };
    return {orders, pressesTable()};
}

} // namespace sheetcraft::test
