#include "mdbreader.h"
#include "mdbwriter.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>

using namespace sheetcraft;
using sheetcraft::test::TempFolder;

namespace {

int errorNumberOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const MdbError &e) {
        return e.number();
    }
    return 0;
}

struct TypedValue {
    const char *name;
    MdbColumnType type;
    const char *stored;
    double number;
    const char *text;
};

// Every numeric type comes back as a number, its text the shortest decimal.
const TypedValue typedValues[] = {
    {"byte", MdbColumnType::Byte, "255", 255, "255"},
    {"integer negative", MdbColumnType::Integer, "-32768", -32768, "-32768"},
    {"long integer", MdbColumnType::LongInteger, "2147483647", 2147483647, "2147483647"},
    {"single keeps its short form", MdbColumnType::Single, "0.1", 0.1f, "0.1"},
    {"double quarter", MdbColumnType::Double, "0.25", 0.25, "0.25"},
    {"double whole", MdbColumnType::Double, "3", 3, "3"},
    {"double large whole", MdbColumnType::Double, "100000", 100000, "100000"},
    {"double tiny", MdbColumnType::Double, "1e-7", 1e-7, "1e-07"},
    {"currency half", MdbColumnType::Currency, "12.5", 12.5, "12.5"},
    {"currency smallest unit", MdbColumnType::Currency, "-0.0001", -0.0001, "-0.0001"},
    {"currency whole", MdbColumnType::Currency, "3", 3, "3"},
};

class TypedValueTest : public ::testing::TestWithParam<TypedValue> {};

TEST_P(TypedValueTest, ReadsAsNumberWithShortestText)
{
    const TypedValue &v = GetParam();
    TempFolder dir;
    std::string path = dir.file("t.mdb");
    writeMdbFile(path, {{"T", {{"V", v.type}}, {{v.stored}, {std::nullopt}}}});

    MdbReader db(path);
    MdbTable t = db.table("T");
    ASSERT_FALSE(t.eof());
    MdbValue value = t.field("v"); // field names ignore letter case
    ASSERT_TRUE(value.isNumber());
    EXPECT_EQ(value.numberValue(), v.number);
    EXPECT_EQ(value.asText(), v.text);

    t.moveNext();
    ASSERT_FALSE(t.eof());
    EXPECT_TRUE(t.field("V").isNull());
    EXPECT_EQ(errorNumberOf([&] { (void)t.field("V").asText(); }), mdberr::invalidUseOfNull);
    t.moveNext();
    EXPECT_TRUE(t.eof());
}

INSTANTIATE_TEST_SUITE_P(Types, TypedValueTest, ::testing::ValuesIn(typedValues),
                         [](const auto &info) {
                             std::string n = info.param.name;
                             for (char &c : n)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

TEST(MdbReader, TextKeepsNonAsciiShortAndEmptyValues)
{
    TempFolder dir;
    std::string path = dir.file("t.mdb");
    writeMdbFile(path, {{"T", {{"S", MdbColumnType::Text, 20}}, {{"Zoë ✓"}, {"ab"}, {""}}}});
    MdbReader db(path);
    MdbTable t = db.table("T");
    EXPECT_EQ(t.field("S").asText(), "Zoë ✓");
    t.moveNext();
    EXPECT_EQ(t.field("S").asText(), "ab"); // too short for the compressed form
    t.moveNext();
    EXPECT_TRUE(t.field("S").isText());
    EXPECT_EQ(t.field("S").asText(), "");
}

TEST(MdbReader, FailuresCarryTheEngineNumbers)
{
    TempFolder dir;
    std::string good = dir.file("good.mdb");
    writeMdbFile(good, {{"Orders", {{"OrderNo", MdbColumnType::Text, 10}}, {{"1"}}}});
    test::writeFile(dir.file("notes.mdb"), "This is not a database\n");
    test::writeFile(dir.file("empty.mdb"), "");
    std::filesystem::create_directory(dir.file("folder.mdb"));

    struct Case {
        const char *name;
        std::function<void()> action;
        int number;
    } cases[] = {
        {"folder missing", [&] { MdbReader(dir.file("nowhere/zvData.mdb")); }, mdberr::invalidPath},
        {"no-folder text as folder", [&] { MdbReader("No Folder Selected\\zvData.mdb"); },
         mdberr::invalidPath},
        {"file missing", [&] { MdbReader(dir.file("zvData.mdb")); }, mdberr::fileNotFound},
        {"text file", [&] { MdbReader(dir.file("notes.mdb")); }, mdberr::notADatabase},
        {"empty file", [&] { MdbReader(dir.file("empty.mdb")); }, mdberr::notADatabase},
        {"folder as file", [&] { MdbReader(dir.file("folder.mdb")); }, mdberr::notADatabase},
        {"table missing", [&] { MdbReader(good).table("Presses"); }, mdberr::tableNotFound},
        {"field missing",
         [&] {
             MdbReader db(good);
             (void)db.table("Orders").field("PartNo");
         },
         mdberr::fieldNotFound},
    };
    for (const Case &c : cases)
        EXPECT_EQ(errorNumberOf(c.action), c.number) << c.name;
}

TEST(MdbReader, BackslashSeparatesFolders)
{
    TempFolder dir;
    writeMdbFile(dir.file("zvData.mdb"), {{"Orders", {{"OrderNo", MdbColumnType::Text, 10}}, {{"7"}}}});
    MdbReader db(dir.path().string() + "\\zvData.mdb");
    EXPECT_EQ(db.table("ORDERS").field("OrderNo").asText(), "7");
}

// Rows spread over many pages come back complete and in stored order, and two
// tables can be walked side by side without disturbing each other.
TEST(MdbReader, WalksLargeTablesInStoredOrderSideBySide)
{
    TempFolder dir;
    std::string path = dir.file("big.mdb");
    MdbTableData a{"A", {{"N", MdbColumnType::LongInteger}, {"S", MdbColumnType::Text, 255}}, {}};
    MdbTableData b{"B", {{"N", MdbColumnType::LongInteger}}, {}};
    const int rows = 5000;
    // Rows of many lengths, some in two-byte text, so that pages fill unevenly.
    auto text = [](int i) {
        return std::to_string(i) + (i % 2 ? "✓" : "") + std::string(i * 37 % 240, 'x');
    };
    for (int i = 0; i < rows; ++i) {
        a.rows.push_back({std::to_string(i), text(i)});
        b.rows.push_back({std::to_string(rows - i)});
    }
    writeMdbFile(path, {a, b});

    MdbReader db(path);
    MdbTable ta = db.table("A");
    MdbTable tb = db.table("B");
    int seen = 0;
    for (; !ta.eof(); ta.moveNext(), tb.moveNext(), ++seen) {
        ASSERT_FALSE(tb.eof());
        ASSERT_EQ(ta.field("N").numberValue(), seen);
        ASSERT_EQ(tb.field("N").numberValue(), rows - seen);
        ASSERT_EQ(ta.field("S").asText(), text(seen));
    }
    EXPECT_EQ(seen, rows);
    EXPECT_TRUE(tb.eof());
    EXPECT_EQ(db.tableNames(), (std::vector<std::string>{"A", "B"}));
}

} // namespace
