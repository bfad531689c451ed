#include "layoutsession.h"
#include "lookupdatabase.h"
#include "mdbreader.h"
#include "mdbwriter.h"
#include "orderlookup.h"
#include "recordingsink.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>

using namespace sheetcraft;
using sheetcraft::test::ordersColumns;
using sheetcraft::test::pressesTable;
using sheetcraft::test::RecordingSink;
using sheetcraft::test::standardDatabase;
using sheetcraft::test::TempFolder;
using Status = LookupOutcome::Status;

namespace {

const std::string blanks15(15, ' ');

struct SearchCase {
    const char *name;
    std::string search;
    bool job;
    std::string part;
    // expected
    Status status;
    std::string txtSearch;
    std::string txtPartNo;
    std::string txtName;
    std::array<std::string, 3> sizes;
    std::string txtJob;
    std::string txtQuote;
    std::string grip;
    std::string gutter;
};

// Cells before each search; anything the lookup must leave alone keeps these.
Cells startingCells(const SearchCase &c) {
    Cells cells;
    cells.txtSearch = c.search;
    cells.optJob = c.job;
    cells.txtPartNo = c.part;
    cells.txtName = "before";
    cells.txtDesc = "before";
    cells.txtStockDesc = "before";
    cells.txtJob = "job before";
    cells.txtQuote = "quote before";
    cells.txtGrip = "9.9";
    cells.txtGutter = "8.8";
    return cells;
}

const std::array<std::string, 3> defaultSizes = Cells{}.txtSize;

// clang-format off
const SearchCase searchCases[] = {
    {"ThreeDigitsPaddedToEight", "123", true, "1", Status::Found, "00000123", "1", "Acme Print",
     {"8.5x11", "23x35", "25x38"}, "00000123", blanks15, "0.5", "0.25"},
    {"BareDigitsStoredMatchByValue", "0456", true, "1", Status::Found, "00000456", "1",
     "Bare Digits Ltd", {"2x3.5", "12x18", "23x35"}, "00000456", blanks15, "0.5", "0.25"},
    {"NineDigitsLeftAsTyped", "123456789", true, "1", Status::Found, "123456789", "1",
     "Nine Digit Inc", {"18x24", "19x25", "25x38"}, "123456789", blanks15, "0.375", "0"},
    {"QuoteWithSameNumberAsJob", "123", false, "1", Status::Found, "00000123", "1", "Quote Co",
     {"5x7", "19x25", "23x35"}, blanks15, "00000123", "0.5", "0.25"},
    {"PartTwoWithNullParentTakesPressSize", "123", true, "2", Status::Found, "00000123", "2",
     "Acme Print", {"4x6", "12x18", "12x18"}, "00000123", blanks15, "0.375", "0"},
    {"PartThreeMissing", "123", true, "3", Status::NotFound, "00000123", "3", "before",
     defaultSizes, "job before", "quote before", "9.9", "8.8"},
    {"EmptyPartCellSearchesPartOne", "123", true, "", Status::Found, "00000123", "1", "Acme Print",
     {"8.5x11", "23x35", "25x38"}, "00000123", blanks15, "0.5", "0.25"},
    {"PressMatchingNoneKeepsGripAndGutter", "777", true, "1", Status::Found, "00000777", "1", "",
     {"3x5", "11x17", "23x35"}, "00000777", blanks15, "9.9", "8.8"},
    {"TwoPressesSameKeyLastWins", "888", true, "1", Status::Found, "00000888", "1", "Two Press Co",
     {"2x2", "13x19", "26x40"}, "00000888", blanks15, "0.45", "0.2"},
    {"NullGripperAndGutterKeepCells", "555", true, "1", Status::Found, "00000555", "1",
     "Null Press Co", {"2x4", "12x18", "24x36"}, "00000555", blanks15, "9.9", "8.8"},
    {"NumberOfNoOrder", "124", true, "1", Status::NotFound, "00000124", "1", "before", defaultSizes,
     "job before", "quote before", "9.9", "8.8"},
    // Cells filled before the failure keep their new values.
    {"NullPressSizeFailsWith94", "666", true, "1", Status::Failed, "00000666", "1", "Half Done",
     {"8.5x11", defaultSizes[1], defaultSizes[2]}, "job before", "quote before", "9.9", "8.8"},
};
// clang-format on

class SearchTest : public ::testing::TestWithParam<SearchCase> {
protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        writeMdbFile(folder->file("zvData.mdb"), standardDatabase());
    }
    static void TearDownTestSuite() { delete folder; }
    static TempFolder *folder;
};
TempFolder *SearchTest::folder = nullptr;

TEST_P(SearchTest, FillsCellsAsTheOrderSays) {
    const SearchCase &c = GetParam();
    Cells cells = startingCells(c);
    RecordingSink sink;
    LookupOutcome outcome = SearchOrders(cells, folder->file("zvData.mdb"), sink);

    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(cells.txtSearch, c.txtSearch);
    EXPECT_EQ(cells.txtPartNo, c.txtPartNo);
    EXPECT_EQ(cells.txtName, c.txtName);
    if (c.txtName.empty()) { // nulls in all three text fields copy as empty texts
        EXPECT_EQ(cells.txtDesc, "");
        EXPECT_EQ(cells.txtStockDesc, "");
    }
    EXPECT_EQ(cells.txtSize, c.sizes);
    EXPECT_EQ(cells.txtJob, c.txtJob);
    EXPECT_EQ(cells.txtQuote, c.txtQuote);
    EXPECT_EQ(cells.txtGrip, c.grip);
    EXPECT_EQ(cells.txtGutter, c.gutter);
    switch (c.status) {
    case Status::Found:
        EXPECT_TRUE(sink.messages.empty());
        break;
    case Status::NotFound:
        EXPECT_EQ(sink.messages, std::vector<std::string>{orderNotFoundText});
        break;
    default:
        EXPECT_EQ(sink.messages, std::vector<std::string>{"Error 94. Click OK to Exit"});
    }
}

INSTANTIATE_TEST_SUITE_P(StandardDatabase, SearchTest, ::testing::ValuesIn(searchCases),
                         [](const auto &info) { return std::string(info.param.name); });

// However the shop stored the numbers, the search text matches by value.
TEST(SearchOrders, NumbersStoredAsNumbers) {
    TempFolder dir;
    MdbTableData orders{
        "Orders", ordersColumns(MdbColumnType::LongInteger, MdbColumnType::Text), {}};
    orders.rows = {{"J", "123", "01", "Number Co", "d", "s", "1x2", "3x4", "5x6", "1"},
                   {"J", "123", "1", "Text Part Co", "d", "s", "2x3", "4x5", "6x7", "2"}};
    writeMdbFile(dir.file("zvData.mdb"), {orders, pressesTable()});

    Cells cells;
    cells.txtSearch = "00123";
    cells.txtPartNo = "1"; // a text "PartNo" compares exactly: "01" is not "1"
    EXPECT_EQ(searchOrdersIsolated(cells, dir.file("zvData.mdb")).status, Status::Found);
    EXPECT_EQ(cells.txtName, "Text Part Co");
    EXPECT_EQ(cells.txtJob, "00000123");
    EXPECT_EQ(cells.txtGrip, "0.375");
}

// ---- the window's handlers -------------------------------------------------

struct RecordingHooks : LookupHooks {
    void hideDirections() override { calls.push_back("hideDirections"); }
    void showFolderWindow() override { calls.push_back("showFolderWindow"); }
    void endProgram() override { calls.push_back("endProgram"); }
    std::vector<std::string> calls;
};

class SearchButtonTest : public ::testing::Test {
protected:
    SearchButtonTest() : session(sink), lookup(session, sink, hooks) {
        writeMdbFile(folder.file("zvData.mdb"), standardDatabase());
        lookup.databasePath = folder.path().string() + "\\zvData.mdb";
    }
    bool cleared() const { return session.frames.fssFrame == 1 && session.frames.pssFrame == 1; }

    TempFolder folder;
    RecordingSink sink;
    RecordingHooks hooks;
    LayoutSession session;
    OrderLookup lookup;
};

TEST_F(SearchButtonTest, FoundOrderThenClear) {
    session.cells.txtSearch = "123";
    EXPECT_EQ(lookup.cmdSearch_Click().status, Status::Found);
    EXPECT_EQ(session.cells.txtSize[0], "8.5x11");
    EXPECT_TRUE(cleared());
    EXPECT_EQ(hooks.calls, std::vector<std::string>{"hideDirections"});
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(SearchButtonTest, NoPositiveNumberOrTextModeMeansOnlyClear) {
    struct Case {
        const char *name;
        std::string search;
        bool textMode;
    } cases[] = {{"letters", "abc", false},
                 {"zero", "0", false},
                 {"negative", "-5", false},
                 {"empty", "", false},
                 {"text mode", "123", true}};
    for (const Case &c : cases) {
        session.frames = {};
        hooks.calls.clear();
        session.cells.txtSearch = c.search;
        session.cells.txtName = "untouched";
        lookup.textMode = c.textMode;
        EXPECT_EQ(lookup.cmdSearch_Click().status, Status::NotRun) << c.name;
        EXPECT_EQ(session.cells.txtSearch, c.search) << c.name;
        EXPECT_EQ(session.cells.txtName, "untouched") << c.name;
        EXPECT_TRUE(cleared()) << c.name;
        EXPECT_TRUE(sink.messages.empty()) << c.name;
    }
}

TEST_F(SearchButtonTest, FailuresByNumber) {
    TempFolder other;
    writeMdbFile(other.file("noPresses.mdb"), {standardDatabase()[0]});
    MdbTableData noKind{"Orders", {{"OrderNo", MdbColumnType::Text, 10}}, {{"123"}}};
    writeMdbFile(other.file("noKindField.mdb"), {noKind, pressesTable()});
    test::writeFile(other.file("notes.mdb"), "not a database");
    test::writeFile(other.file("empty.mdb"), "");

    // Only a bad folder keeps the program running: folder window, then Clear.
    const std::vector<std::string> toFolderWindow{"showFolderWindow", "hideDirections"};
    const std::vector<std::string> toEnd{"endProgram"};
    struct Case {
        const char *name;
        std::string path;
        int number;
        std::string message;
    } cases[] = {
        // clang-format off
        {"missing folder", other.file("gone") + "\\zvData.mdb", 3044, invalidDatabaseText},
        {"no-folder text", "No Folder Selected\\zvData.mdb", 3044, invalidDatabaseText},
        {"missing file", other.file("zvData.mdb"), 3024, "Error 3024. Click OK to Exit"},
        {"not a database", other.file("notes.mdb"), 3343, "Error 3343. Click OK to Exit"},
        {"empty file", other.file("empty.mdb"), 3343, "Error 3343. Click OK to Exit"},
        {"folder as file", other.path().string(), 3343, "Error 3343. Click OK to Exit"},
        {"table missing", other.file("noPresses.mdb"), 3078, "Error 3078. Click OK to Exit"},
        {"field missing", other.file("noKindField.mdb"), 3265, "Error 3265. Click OK to Exit"},
        // clang-format on
    };
    for (const Case &c : cases) {
        session.frames = {};
        hooks.calls.clear();
        sink.messages.clear();
        session.cells.txtSearch = "123";
        lookup.databasePath = c.path;
        LookupOutcome outcome = lookup.cmdSearch_Click();
        EXPECT_EQ(outcome.status, Status::Failed) << c.name;
        EXPECT_EQ(outcome.errorNumber, c.number) << c.name;
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(hooks.calls, c.number == 3044 ? toFolderWindow : toEnd) << c.name;
        EXPECT_EQ(cleared(), c.number == 3044) << c.name;
    }
}

// One broken record ends only the search that lands on it; later searches
// for other orders still work.
TEST_F(SearchButtonTest, BrokenRecordDoesNotSpoilLaterSearches) {
    session.cells.txtSearch = "666";
    EXPECT_EQ(lookup.cmdSearch_Click().errorNumber, 94);
    session.cells.txtSearch = "888";
    EXPECT_EQ(lookup.cmdSearch_Click().status, Status::Found);
    EXPECT_EQ(session.cells.txtName, "Two Press Co");
}

TEST_F(SearchButtonTest, KeysHideDirectionsAndEnterSearches) {
    session.cells.txtSearch = "12";
    lookup.txtSearch_KeyPress('3');
    EXPECT_EQ(hooks.calls, std::vector<std::string>{"hideDirections"});
    EXPECT_EQ(session.cells.txtSearch, "12");

    // Enter searches even while the Search button is disabled: the key
    // handler never asks the button.
    hooks.calls.clear();
    session.cells.txtSearch = "123";
    lookup.databasePath = "No Folder Selected\\zvData.mdb";
    lookup.txtSearch_KeyPress(13);
    EXPECT_EQ(sink.messages, std::vector<std::string>{invalidDatabaseText});
    EXPECT_EQ(hooks.calls,
              (std::vector<std::string>{"hideDirections", "showFolderWindow", "hideDirections"}));
}

TEST_F(SearchButtonTest, PartNumberCellRange) {
    struct Case {
        const char *typed;
        bool refused;
    } cases[] = {{"1", false}, {"9", false}, {"10", true},  {"", true},     {"0", true},
                 {"x", true},  {"-1", true}, {"9.5", true}, {"2.5", false}, {" 3", false}};
    for (const Case &c : cases) {
        sink.messages.clear();
        session.cells.txtPartNo = c.typed;
        EXPECT_EQ(lookup.txtPartNo_Change(), c.refused) << c.typed;
        if (c.refused) {
            EXPECT_EQ(sink.messages, std::vector<std::string>{partNumberRangeText}) << c.typed;
            EXPECT_EQ(session.cells.txtPartNo, "1") << c.typed;
        } else {
            EXPECT_TRUE(sink.messages.empty()) << c.typed;
            EXPECT_EQ(session.cells.txtPartNo, c.typed) << c.typed;
        }
    }
}

TEST_F(SearchButtonTest, DatabaseFileNeverChanges) {
    std::string path = folder.file("zvData.mdb");
    // An old modification time, so that a write would show even within a second.
    timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    std::string before = test::readFile(path);
    for (const char *search : {"123", "124", "666", "888"}) {
        session.cells.txtSearch = search;
        lookup.cmdSearch_Click();
    }
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(test::readFile(path), before);
}

} // namespace
