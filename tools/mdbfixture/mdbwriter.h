#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sheetcraft {

// Column types the fixture writer can store. Text is variable length; the
// others are fixed-size numbers.
enum class MdbColumnType { Text, LongInteger, Integer, Byte, Single, Double, Currency };

struct MdbColumnDef {
    std::string name;
    MdbColumnType type = MdbColumnType::Text;
    int textLength = 255; // Text only: the most characters a value may hold (1 to 255)
};

// One cell: empty for null, otherwise the value written as text ("12",
// "0.25", "23x35"); numbers are parsed by the column's type when written.
using MdbCell = std::optional<std::string>;

struct MdbTableData {
    std::string name;
    std::vector<MdbColumnDef> columns;
    std::vector<std::vector<MdbCell>> rows;
};

// A description the writer cannot store: bad number, text too long, a row
// with the wrong number of cells, duplicate names. The text says where.
class MdbWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Builds a Jet 4 (Access 2000 format) database file holding the given
// tables, each with its rows in the given order. Only what readers need is
// written: the header page, the catalog table with one entry per table and
// the table's properties (a long value on pages of its own, as real files
// keep them), table definition pages, data pages and page usage maps. No
// indexes; no memo or OLE values in user tables.
std::vector<unsigned char> buildMdb(const std::vector<MdbTableData> &tables);

// buildMdb, written to a file (created or replaced) with writeFileSafely, so a
// failed write leaves any old file as it was. Throws MdbWriteError.
void writeMdbFile(const std::string &path, const std::vector<MdbTableData> &tables);

// "Text", "Long Integer", ... as used in descriptions; nullopt when unknown.
std::optional<MdbColumnType> mdbColumnTypeFromName(const std::string &name);

} // namespace sheetcraft
