#include "mdbdescription.h"
#include "mdbreader.h"
#include "mdbwriter.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

using namespace sheetcraft;
using sheetcraft::test::TempFolder;

namespace {

struct ProcessRun {
    int status = -1;
    std::string out;
};

ProcessRun run(const std::string &command) {
    ProcessRun r;
    FILE *p = ::popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string shellQuoted(const std::string &s) {
    return "'" + s + "'";
}

// One CSV record per line as mdb-export writes it: texts in double quotes
// (a quote doubled inside), numbers bare, nulls empty.
struct CsvCell {
    bool quoted = false;
    std::string text;
};

std::vector<std::vector<CsvCell>> parseCsv(const std::string &csv) {
    std::vector<std::vector<CsvCell>> rows;
    std::vector<CsvCell> row;
    CsvCell cell;
    bool inQuotes = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        char c = csv[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
                cell.text.push_back('"');
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                cell.text.push_back(c);
            }
        } else if (c == '"') {
            inQuotes = true;
            cell.quoted = true;
        } else if (c == ',') {
            row.push_back(cell);
            cell = {};
        } else if (c == '\n') {
            row.push_back(cell);
            rows.push_back(row);
            row.clear();
            cell = {};
        } else {
            cell.text.push_back(c);
        }
    }
    return rows;
}

std::string schemaTypeName(const MdbColumnDef &c) {
    static const char *names[] = {"Text",   "Long Integer", "Integer", "Byte",
                                  "Single", "Double",       "Currency"};
    std::string name = names[static_cast<int>(c.type)];
    return c.type == MdbColumnType::Text ? name + " (" + std::to_string(c.textLength) + ")" : name;
}

// Column name -> type text, from mdb-schema's CREATE TABLE block of a table.
std::vector<std::pair<std::string, std::string>> schemaColumns(const std::string &schema,
                                                               const std::string &table) {
    std::vector<std::pair<std::string, std::string>> cols;
    std::size_t at = schema.find("CREATE TABLE [" + table + "]");
    if (at == std::string::npos)
        return cols;
    std::size_t end = schema.find(");", at);
    std::istringstream block(schema.substr(at, end - at));
    std::string line;
    std::getline(block, line); // CREATE TABLE
    while (std::getline(block, line)) {
        std::size_t open = line.find('[');
        std::size_t close = line.find(']');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        std::string type = line.substr(close + 1);
        type.erase(0, type.find_first_not_of(" \t"));
        while (!type.empty() && (type.back() == ',' || type.back() == ' ' || type.back() == '\r'))
            type.pop_back();
        cols.emplace_back(line.substr(open + 1, close - open - 1), type);
    }
    return cols;
}

// Checks a generated file against its description with the mdbtools
// command-line readers and with MdbReader.
void expectReadsBack(const std::string &path, const std::vector<MdbTableData> &tables) {
    ProcessRun listing = run("mdb-tables -1 " + shellQuoted(path));
    ASSERT_EQ(listing.status, 0);
    std::string expectedListing;
    for (const auto &t : tables)
        expectedListing += t.name + "\n";
    EXPECT_EQ(listing.out, expectedListing);

    ProcessRun schema = run("mdb-schema " + shellQuoted(path) + " 2>/dev/null");
    ASSERT_EQ(schema.status, 0);
    MdbReader reader(path);
    for (const auto &t : tables) {
        SCOPED_TRACE(t.name);
        std::vector<std::pair<std::string, std::string>> expectedColumns;
        for (const auto &c : t.columns)
            expectedColumns.emplace_back(c.name, schemaTypeName(c));
        EXPECT_EQ(schemaColumns(schema.out, t.name), expectedColumns);

        ProcessRun exported = run("mdb-export " + shellQuoted(path) + " " + shellQuoted(t.name));
        ASSERT_EQ(exported.status, 0);
        auto csv = parseCsv(exported.out);
        ASSERT_EQ(csv.size(), t.rows.size() + 1);
        MdbTable table = reader.table(t.name);
        for (std::size_t r = 0; r < t.rows.size(); ++r, table.moveNext()) {
            ASSERT_FALSE(table.eof());
            const auto &cells = csv[r + 1];
            ASSERT_EQ(cells.size(), t.columns.size()) << "row " << r;
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                const MdbCell &want = t.rows[r][c];
                const CsvCell &got = cells[c];
                MdbValue value = table.field(t.columns[c].name);
                std::string where = "row " + std::to_string(r) + " " + t.columns[c].name;
                if (!want) {
                    EXPECT_TRUE(got.text.empty() && !got.quoted) << where;
                    EXPECT_TRUE(value.isNull()) << where;
                } else if (t.columns[c].type == MdbColumnType::Text) {
                    EXPECT_EQ(got.text, *want) << where;
                    EXPECT_EQ(value.asText(), *want) << where;
                } else {
                    double expected = std::stod(*want);
                    double exported = std::stod(got.text);
                    if (t.columns[c].type == MdbColumnType::Single) {
                        expected = static_cast<float>(expected);
                        exported = static_cast<float>(exported);
                    }
                    EXPECT_DOUBLE_EQ(exported, expected) << where;
                    EXPECT_EQ(value.numberValue(), expected) << where;
                }
            }
        }
        EXPECT_TRUE(table.eof());
    }
}

const char *sampleDescription = R"(# Every column type, nulls, quoting and an empty table.
table Orders
column QuoteorJob   Text(1)
column OrderNo      Text(10)
column PartNo       Long  Integer
column Copies       Integer
column Colours      Byte
column Gripper      Double
column Price        Currency
column Ratio        Single
column Description  Text(120)

row J | 00000123 | 1 | 500 | 4 | 0.375 | 1250.5 | 0.1 | Brochure, 8 pages
row Q | 456 | 2 | -32768 | 0 | 1e-3 | -0.0001 | 2.5 | "  padded | with a bar  "
row J | NULL | NULL | NULL | NULL | NULL | NULL | NULL | NULL
row J | "NULL" | 2147483647 | 32767 | 255 | 12345678.25 | 92233720368.5477 | -3 | "She said ""yes"""
row Q | 7 | -2147483648 | 0 | 1 | 0 | 0 | 0 | Zoë's café ✓

table Presses
column PressID      Long Integer
column Name         Text(40)
column GripperWidth Double
row 1 | Heidelberg 40 | 0.5
row 2 | "" | 0.25

table Empty
column Anything Text(5)
)";

TEST(MdbFixture, WrittenFileReadsBackWithMdbtoolsAndReader) {
    TempFolder dir;
    std::string description = dir.file("sample.txt");
    std::string database = dir.file("sample.mdb");
    test::writeFile(description, sampleDescription);
    ProcessRun made = run(std::string(MDBFIXTURE_PATH) + " " + shellQuoted(description) + " " +
                          shellQuoted(database));
    ASSERT_EQ(made.status, 0);

    std::istringstream in(sampleDescription);
    expectReadsBack(database, parseMdbDescription(in));
}

// 100,000 rows span thousands of data pages and a long usage map.
TEST(MdbFixture, HundredThousandRowsReadBack) {
    TempFolder dir;
    std::string description = dir.file("big.txt");
    std::string database = dir.file("big.mdb");
    {
        std::ofstream out(description);
        out << "table Orders\ncolumn OrderNo Long Integer\ncolumn Name Text(30)\n"
               "column Width Double\n";
        for (int i = 0; i < 100000; ++i) {
            out << "row " << i << " | ";
            if (i % 97 == 0)
                out << "NULL";
            else
                out << "Customer " << i;
            out << " | " << (i % 40) * 0.25 << "\n";
        }
    }
    ProcessRun made = run(std::string(MDBFIXTURE_PATH) + " " + shellQuoted(description) + " " +
                          shellQuoted(database));
    ASSERT_EQ(made.status, 0);
    std::ifstream in(description);
    expectReadsBack(database, parseMdbDescription(in));
}

TEST(MdbFixture, DescriptionMistakesNameTheLine) {
    struct Case {
        const char *name;
        const char *text;
        const char *line;
    } cases[] = {
        {"unknown type", "table T\ncolumn A Money\n", "line 2"},
        {"row before columns", "table T\nrow 1\n", "line 2"},
        {"too few values", "table T\ncolumn A Byte\ncolumn B Byte\nrow 1\n", "line 4"},
        {"unclosed quote", "table T\ncolumn A Text(5)\n\nrow \"abc\n", "line 4"},
        {"length on a number", "table T\ncolumn A Double(4)\n", "line 2"},
        {"unknown keyword", "# fine\ntables T\n", "line 2"},
    };
    for (const Case &c : cases) {
        std::istringstream in(c.text);
        try {
            parseMdbDescription(in);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const MdbWriteError &e) {
            EXPECT_NE(std::string(e.what()).find(c.line), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

} // namespace
