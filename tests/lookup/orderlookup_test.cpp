#include "layoutsession.h"
#include "lookupdatabase.h"
#include "mdbreader.h"
#include "orderlookup.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace sheetcraft;
using sheetcraft::test::RecordingSink;
using sheetcraft::test::TempFolder;
using Status = LookupOutcome::Status;
using Texts = std::vector<std::string>;

namespace {

// The cells a lookup may touch, on one line; "~" stands for the 15 blanks
// written into the other kind's number cell.
std::string summary(const Cells &c) {
    auto blank = [](const std::string &s) { return s == std::string(15, ' ') ? "~" : s; };
    return c.txtSearch + " " + c.txtPartNo + " | " + c.txtName + "/" + c.txtDesc + "/" +
           c.txtStockDesc + " | " + c.txtSize[0] + " " + c.txtSize[1] + " " + c.txtSize[2] + " | " +
           blank(c.txtJob) + " " + blank(c.txtQuote) + " | " + c.txtGrip + " " + c.txtGutter;
}

struct SearchCase {
    const char *name;
    const char *search;
    bool job;
    const char *part;
    Status status;
    const char *after; // summary() of the cells afterwards
};

// Cells start as "before", "job"/"quote", the sample sizes and grip 9.9,
// gutter 8.8; whatever the lookup must leave alone keeps these.
const SearchCase searchCases[] = {
    {"ThreeDigitsPaddedToEight", "123", true, "1", Status::Found,
     "00000123 1 | Acme Print/Brochure/Gloss | 8.5x11 23x35 25x38 | 00000123 ~ | 0.5 0.25"},
    {"BareDigitsStoredMatchByValue", "0456", true, "1", Status::Found,
     "00000456 1 | Bare Digits Ltd/Cards/Cover | 2x3.5 12x18 23x35 | 00000456 ~ | 0.5 0.25"},
    {"NineDigitsLeftAsTyped", "123456789", true, "1", Status::Found,
     "123456789 1 | Nine Digit Inc/Poster/Gloss | 18x24 19x25 25x38 | 123456789 ~ | 0.375 0"},
    {"QuoteWithSameNumberAsJob", "123", false, "1", Status::Found,
     "00000123 1 | Quote Co/Flyer/Offset | 5x7 19x25 23x35 | ~ 00000123 | 0.5 0.25"},
    {"PartTwoWithNullParentTakesPressSize", "123", true, "2", Status::Found,
     "00000123 2 | Acme Print/Insert/Matte | 4x6 12x18 12x18 | 00000123 ~ | 0.375 0"},
    {"PartThreeMissing", "123", true, "3", Status::NotFound,
     "00000123 3 | before/before/before | 2x3 11x17 23x35 | job quote | 9.9 8.8"},
    {"EmptyPartCellSearchesPartOne", "123", true, "", Status::Found,
     "00000123 1 | Acme Print/Brochure/Gloss | 8.5x11 23x35 25x38 | 00000123 ~ | 0.5 0.25"},
    {"NullTextsAndPressMatchingNone", "777", true, "1", Status::Found,
     "00000777 1 | // | 3x5 11x17 23x35 | 00000777 ~ | 9.9 8.8"},
    {"TwoPressesSameKeyLastWins", "888", true, "1", Status::Found,
     "00000888 1 | Two Press Co/Labels/Label | 2x2 13x19 26x40 | 00000888 ~ | 0.45 0.2"},
    {"NullGripperAndGutterKeepCells", "555", true, "1", Status::Found,
     "00000555 1 | Null Press Co/Tags/Tag | 2x4 12x18 24x36 | 00000555 ~ | 9.9 8.8"},
    // Cells filled before the failure keep their new values.
    {"NullPressSizeFailsWith94", "666", true, "1", Status::Failed,
     "00000666 1 | Half Done/No press size/Bond | 8.5x11 11x17 23x35 | job quote | 9.9 8.8"},
};

TEST(SearchOrders, FillsCellsFromTheOrder) {
    TempFolder dir;
    writeMdbFile(dir.file("zvData.mdb"), test::standardDatabase());
    for (const SearchCase &c : searchCases) {
        SCOPED_TRACE(c.name);
        Cells cells;
        cells.txtSearch = c.search;
        cells.optJob = c.job;
        cells.txtPartNo = c.part;
        cells.txtName = cells.txtDesc = cells.txtStockDesc = "before";
        cells.txtJob = "job";
        cells.txtQuote = "quote";
        cells.txtGrip = "9.9";
        cells.txtGutter = "8.8";
        RecordingSink sink;
        const LookupOutcome outcome = SearchOrders(cells, dir.file("zvData.mdb"), sink);

        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(summary(cells), c.after);
        EXPECT_EQ(sink.messages, c.status == Status::Found ? Texts{}
                                 : c.status == Status::NotFound
                                     ? Texts{orderNotFoundText}
                                     : Texts{"Error 94. Click OK to Exit"});
    }
}

// However the shop stored the numbers, the search text matches by value.
TEST(SearchOrders, NumbersStoredAsNumbers) {
    TempFolder dir;
    MdbTableData orders{
        "Orders", test::ordersColumns(MdbColumnType::LongInteger, MdbColumnType::Text), {}};
    orders.rows = {{"J", "123", "01", "Number Co", "d", "s", "1x2", "3x4", "5x6", "1"},
                   {"J", "123", "1", "Text Part Co", "d", "s", "2x3", "4x5", "6x7", "2"}};
    writeMdbFile(dir.file("zvData.mdb"), {orders, test::pressesTable()});

    Cells cells;
    cells.txtSearch = "00123";
    cells.txtPartNo = "1"; // a text "PartNo" compares exactly: "01" is not "1"
    EXPECT_EQ(searchOrdersIsolated(cells, dir.file("zvData.mdb")).status, Status::Found);
    EXPECT_EQ(summary(cells), "00000123 1 | Text Part Co/d/s | 2x3 4x5 6x7 | 00000123 ~ | 0.375 0");
}

// ---- the window's handlers -------------------------------------------------

struct RecordingHooks : LookupHooks {
    void hideDirections() override { calls.push_back("hideDirections"); }
    void showFolderWindow() override { calls.push_back("showFolderWindow"); }
    void endProgram() override { calls.push_back("endProgram"); }
    Texts calls;
};

class SearchButtonTest : public ::testing::Test {
protected:
    SearchButtonTest() : session(sink), lookup(session, sink, hooks) {
        writeMdbFile(folder.file("zvData.mdb"), test::standardDatabase());
        lookup.databasePath = folder.path().string() + "\\zvData.mdb";
    }
    LookupOutcome search(const std::string &text) {
        session.frames = {};
        hooks.calls.clear();
        sink.messages.clear();
        session.cells.txtSearch = text;
        return lookup.cmdSearch_Click();
    }
    bool cleared() const { return session.frames.fssFrame == 1 && session.frames.pssFrame == 1; }

    TempFolder folder;
    RecordingSink sink;
    RecordingHooks hooks;
    LayoutSession session;
    OrderLookup lookup;
};

TEST_F(SearchButtonTest, LooksUpOnlyAPositiveNumberOutsideTextModeThenClears) {
    const struct {
        const char *search;
        bool textMode;
        Status status;
        const char *searchAfter;
        const char *name;
    } cases[] = {{"123", false, Status::Found, "00000123", "Acme Print"},
                 {"abc", false, Status::NotRun, "abc", "untouched"},
                 {"0", false, Status::NotRun, "0", "untouched"},
                 {"123", true, Status::NotRun, "123", "untouched"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.search) + (c.textMode ? " text mode" : ""));
        session.cells.txtName = "untouched";
        lookup.textMode = c.textMode;
        EXPECT_EQ(search(c.search).status, c.status);
        EXPECT_EQ(session.cells.txtSearch, c.searchAfter);
        EXPECT_EQ(session.cells.txtName, c.name);
        EXPECT_TRUE(cleared());
        EXPECT_EQ(hooks.calls, Texts{"hideDirections"});
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST_F(SearchButtonTest, FailuresByNumber) {
    TempFolder other;
    writeMdbFile(other.file("noPresses.mdb"), {test::standardDatabase()[0]});
    MdbTableData noKind{"Orders", {{"OrderNo", MdbColumnType::Text, 10}}, {{"123"}}};
    writeMdbFile(other.file("noKindField.mdb"), {noKind, test::pressesTable()});
    test::writeFile(other.file("notes.mdb"), "not a database");
    test::writeFile(other.file("empty.mdb"), "");

    // Only a bad folder keeps the program running: folder window, then Clear.
    const struct {
        const char *name;
        std::string path;
        int number;
    } cases[] = {
        {"missing folder", other.file("gone") + "\\zvData.mdb", 3044},
        {"missing file", other.file("zvData.mdb"), 3024},
        {"not a database", other.file("notes.mdb"), 3343},
        {"empty file", other.file("empty.mdb"), 3343},
        {"folder as file", other.path().string(), 3343},
        {"table missing", other.file("noPresses.mdb"), 3078},
        {"field missing", other.file("noKindField.mdb"), 3265},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        lookup.databasePath = c.path;
        const LookupOutcome outcome = search("123");
        EXPECT_EQ(outcome.status, Status::Failed);
        EXPECT_EQ(outcome.errorNumber, c.number);
        const bool toFolder = c.number == 3044;
        const std::string message = "Error " + std::to_string(c.number) + ". Click OK to Exit";
        EXPECT_EQ(sink.messages, Texts{toFolder ? invalidDatabaseText : message});
        EXPECT_EQ(hooks.calls,
                  (toFolder ? Texts{"showFolderWindow", "hideDirections"} : Texts{"endProgram"}));
        EXPECT_EQ(cleared(), toFolder);
    }
}

// One broken record ends only the search that lands on it; no search writes
// to the file.
TEST_F(SearchButtonTest, BrokenRecordSpoilsNothingAndTheFileNeverChanges) {
    const std::string path = folder.file("zvData.mdb");
    // An old modification time, so that a write would show even within a second.
    timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const std::string before = test::readFile(path);

    EXPECT_EQ(search("666").errorNumber, 94);
    EXPECT_EQ(search("888").status, Status::Found);
    EXPECT_EQ(session.cells.txtName, "Two Press Co");
    EXPECT_EQ(search("124").status, Status::NotFound);

    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(test::readFile(path), before);
}

TEST_F(SearchButtonTest, KeysHideDirectionsAndEnterSearchesEvenWithSearchDisabled) {
    session.cells.txtSearch = "12";
    lookup.txtSearch_KeyPress('3');
    EXPECT_EQ(hooks.calls, Texts{"hideDirections"});
    EXPECT_EQ(session.cells.txtSearch, "12");

    // Search is disabled for "No Folder Selected"; the key handler never asks.
    hooks.calls.clear();
    session.cells.txtSearch = "123";
    lookup.databasePath = "No Folder Selected\\zvData.mdb";
    lookup.txtSearch_KeyPress(13);
    EXPECT_EQ(sink.messages, Texts{invalidDatabaseText});
    EXPECT_EQ(hooks.calls, (Texts{"hideDirections", "showFolderWindow", "hideDirections"}));
}

TEST_F(SearchButtonTest, PartNumberCellRange) {
    const std::pair<const char *, bool> cases[] = {{"9", false}, {"2.5", false}, {"10", true},
                                                   {"", true},   {"0", true},    {"x", true},
                                                   {"9.5", true}};
    for (const auto &[typed, refused] : cases) {
        SCOPED_TRACE(typed);
        sink.messages.clear();
        session.cells.txtPartNo = typed;
        EXPECT_EQ(lookup.txtPartNo_Change(), refused);
        EXPECT_EQ(sink.messages, refused ? Texts{partNumberRangeText} : Texts{});
        EXPECT_EQ(session.cells.txtPartNo, refused ? "1" : typed);
    }
}

} // namespace
