#include "lookupdatabase.h"
#include "mdbdescription.h"
#include "mdbreader.h"
#include "mdbwriter.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <sstream>

using namespace sheetcraft;
using sheetcraft::test::TempFolder;

namespace {

// Runs a shell command; its exit status and standard output.
std::pair<int, std::string> run(const std::string &command) {
    std::string out;
    FILE *p = ::popen(command.c_str(), "r");
    if (!p)
        return {-1, out};
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::vector<std::string> split(const std::string &text, char by) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, by);)
        parts.push_back(part);
    return parts;
}

// A table's CREATE TABLE block as mdb-schema prints it, whitespace runs collapsed.
std::string expectedSchema(const MdbTableData &t) {
    static const char *names[] = {"Text",   "Long Integer", "Integer", "Byte",
                                  "Single", "Double",       "Currency"};
    std::string s = "CREATE TABLE [" + t.name + "] (";
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
        const MdbColumnDef &c = t.columns[i];
        s += std::string(i ? ", " : " ") + "[" + c.name + "] " + names[static_cast<int>(c.type)];
        if (c.type == MdbColumnType::Text)
            s += " (" + std::to_string(c.textLength) + ")";
    }
    return s + " );";
}

// Every table, column type and value of the description must come back
// through mdb-tables, mdb-schema and mdb-export, and through MdbReader, whose
// text of a number is its shortest decimal form as the description writes it.
void expectReadsBack(const std::string &path, const std::vector<MdbTableData> &tables) {
    const std::string quoted = "'" + path + "'";
    std::string names;
    for (const auto &t : tables)
        names += t.name + "\n";
    EXPECT_EQ(run("mdb-tables -1 " + quoted), std::make_pair(0, names));
    const auto [schemaStatus, schema] = run("mdb-schema " + quoted + " 2>/dev/null");
    ASSERT_EQ(schemaStatus, 0);
    const std::string collapsed = std::regex_replace(schema, std::regex("\\s+"), " ");

    MdbReader reader(path);
    for (const auto &t : tables) {
        SCOPED_TRACE(t.name);
        EXPECT_NE(collapsed.find(expectedSchema(t)), std::string::npos) << collapsed;
        // Tab-separated, no quotes; mdb-export shows an empty text as a null too.
        const auto [status, exported] =
            run("mdb-export -H -Q -d '\t' -0 '<null>' " + quoted + " '" + t.name + "'");
        ASSERT_EQ(status, 0);
        const auto lines = split(exported, '\n');
        ASSERT_EQ(lines.size(), t.rows.size());
        MdbTable table = reader.table(t.name);
        for (std::size_t r = 0; r < t.rows.size(); ++r, table.moveNext()) {
            ASSERT_FALSE(table.eof());
            const auto cells = split(lines[r], '\t');
            ASSERT_EQ(cells.size(), t.columns.size()) << "row " << r;
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                SCOPED_TRACE("row " + std::to_string(r) + " " + t.columns[c].name);
                const MdbCell &want = t.rows[r][c];
                const MdbColumnType type = t.columns[c].type;
                MdbValue value = table.field(t.columns[c].name);
                EXPECT_EQ(value.isNull(), !want);
                if (want) {
                    EXPECT_EQ(value.asText(), *want);
                }
                if (!want || type == MdbColumnType::Text) {
                    EXPECT_EQ(cells[c], want && !want->empty() ? *want : "<null>");
                } else {
                    double expected = std::stod(*want), exported = std::stod(cells[c]);
                    if (type == MdbColumnType::Single) {
                        expected = static_cast<float>(expected);
                        exported = static_cast<float>(exported);
                    }
                    EXPECT_DOUBLE_EQ(exported, expected);
                    EXPECT_TRUE(value.isNumber());
                    EXPECT_EQ(value.numberValue(), expected);
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
row Q | 456 | 2 | -32768 | 0 | 1e-07 | -0.0001 | 2.5 | "  padded | with a bar  "
row J | NULL | NULL | NULL | NULL | NULL | NULL | NULL | NULL
row J | "NULL" | 2147483647 | 32767 | 255 | 12345678.25 | 92233720368.5477 | -3 | "She said ""yes"""
row Q | 7 | -2147483648 | 0 | 1 | 100000 | 3 | 0 | Zoë's café ✓

table Presses
column PressID      Long Integer
column Name         Text(40)
column GripperWidth Double
row 1 | Two-colour 40 | 0.5
row 2 | "" | 0.25

table Empty
column Anything Text(5)
)";

// The sample tables, then 100,000 rows spanning thousands of data pages and
// a long usage map, written by the fixture program itself.
TEST(MdbFixture, WrittenFileReadsBackWithMdbtoolsAndReader) {
    std::ostringstream text;
    text << sampleDescription
         << "table Big\ncolumn OrderNo Long Integer\ncolumn Name Text(30)\ncolumn Width Double\n";
    for (int i = 0; i < 100000; ++i)
        text << "row " << i << " | " << (i % 97 ? "Customer " + std::to_string(i) : "NULL") << " | "
             << (i % 40) * 0.25 << "\n";
    TempFolder dir;
    test::writeFile(dir.file("sample.txt"), text.str());
    ASSERT_EQ(run(std::string(MDBFIXTURE_PATH) + " '" + dir.file("sample.txt") + "' '" +
                  dir.file("sample.mdb") + "'")
                  .first,
              0);
    std::istringstream in(text.str());
    expectReadsBack(dir.file("sample.mdb"), parseMdbDescription(in));
}

// Rows of many lengths, some in two-byte text, fill pages unevenly (the
// writer once overflowed a page here); two tables walked side by side must
// not disturb each other.
TEST(MdbReader, WalksLargeTablesInStoredOrderSideBySide) {
    TempFolder dir;
    MdbTableData a{"A", {{"N", MdbColumnType::LongInteger}, {"S", MdbColumnType::Text, 255}}, {}};
    MdbTableData b{"B", {{"N", MdbColumnType::LongInteger}}, {}};
    const int rows = 5000;
    auto text = [](int i) {
        return std::to_string(i) + (i % 2 ? "✓" : "") + std::string(i * 37 % 240, 'x');
    };
    for (int i = 0; i < rows; ++i) {
        a.rows.push_back({std::to_string(i), text(i)});
        b.rows.push_back({std::to_string(rows - i)});
    }
    writeMdbFile(dir.file("big.mdb"), {a, b});

    MdbReader db(dir.file("big.mdb"));
    MdbTable ta = db.table("A");
    MdbTable tb = db.table("B");
    int seen = 0;
    for (; !ta.eof(); ta.moveNext(), tb.moveNext(), ++seen) {
        ASSERT_FALSE(tb.eof());
        ASSERT_EQ(ta.field("N").numberValue(), seen);
        ASSERT_EQ(tb.field("N").numberValue(), rows - seen);
        ASSERT_EQ(ta.field("s").asText(), text(seen)); // field names ignore letter case
    }
    EXPECT_EQ(seen, rows);
    EXPECT_TRUE(tb.eof());
    EXPECT_EQ(db.tableNames(), (std::vector<std::string>{"A", "B"}));
}

} // namespace
