#include "mdbreader.h"
#include "mdbwriter.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

using namespace sheetcraft;
using sheetcraft::test::TempFolder;

namespace {

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

TEST_P(TypedValueTest, ReadsAsNumberWithShortestText) {
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
    try {
        (void)t.field("V").asText();
        ADD_FAILURE() << "null taken as text";
    } catch (const MdbError &e) {
        EXPECT_EQ(e.number(), mdberr::invalidUseOfNull);
    }
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

// Rows spread over many pages come back complete and in stored order, and two
// tables can be walked side by side without disturbing each other.
TEST(MdbReader, WalksLargeTablesInStoredOrderSideBySide) {
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
