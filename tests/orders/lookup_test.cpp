#include "layoutsession.h"
#include "lookupprocess.h"
#include "lookupwire.h"
#include "mdbdescription.h"
#include "mdbreader.h"
#include "mdbwriter.h"
#include "orderlookup.h"
#include "orderserver.h"
#include "saidlog.h"
#include "testserver.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>

using namespace sheetcraft;
using enum LookupOutcome::Status;
using Texts = std::vector<std::string>;

namespace {

// A fresh folder for one test, removed with everything in it afterwards.
struct TempFolder {
    std::string pattern = (std::filesystem::temp_directory_path() / "lookupXXXXXX").string();
    const std::filesystem::path path{::mkdtemp(pattern.data())};
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const std::string &name) const { return (path / name).string(); }
};

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void writeFile(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The shop's usual data, with the awkward records a real table gathers.
std::vector<MdbTableData> standardDatabase() {
    const std::nullopt_t null = std::nullopt;
    using T = MdbColumnType;
    MdbTableData orders{"Orders",
                        {{"QuoteorJob", T::Text, 1},
                         {"OrderNo", T::Text, 10},
                         {"PartNo", T::LongInteger, 2},
                         {"AcctName", T::Text, 50},
                         {"Description", T::Text, 100},
                         {"StockDesc", T::Text, 50},
                         {"PressFinishedSize", T::Text, 20},
                         {"PressSize", T::Text, 20},
                         {"StockParentSize", T::Text, 20},
                         {"PressID", T::LongInteger}},
                        {}};
    orders.rows = {
        // A job with no number, ahead of the rest: passed over, never fatal.
        {"J", null, "1", "Nobody", "Unnumbered", "Bond", "1x1", "2x2", "3x3", "1"},
        {"Q", "00000123", "1", "Quote Co", "Flyer", "Offset", "5x7", "19x25", "23x35", "1"},
        {"J", "00000123", "1", "Acme Print", "Brochure", "Gloss", "8.5x11", "23x35", "25x38", "1"},
        {"J", "00000123", "2", "Acme Print", "Insert", "Matte", "4x6", "12x18", null, "2"},
        {"J", "456", "1", "Bare Digits", "Cards", "Cover", "2x3.5", "12x18", "23x35", "1"},
        {"J", "123456789", "1", "Nine", "Poster", "Gloss", "18x24", "19x25", "25x38", "2"},
        {"J", "00000777", "1", null, null, null, "3x5", "11x17", "23x35", "99"},
        {"J", "00000888", "1", "Two Press Co", "Labels", "Label", "2x2", "13x19", "26x40", "3"},
        {"J", "00000555", "1", "Null Press Co", "Tags", "Tag", "2x4", "12x18", "24x36", "4"},
        {"J", "00000666", "1", "Half Done", "No size", "Bond", "8.5x11", null, "23x35", "1"},
        {"J", "00000123", "1", "Second Acme", "Never reached", "Bond", "1x1", "2x2", "3x3", "1"},
        // Texts that a reply must carry through unchanged.
        {"J", "00000999", "1", "Zoë's Café ✓", "\"Quoted\" \\ {x}", "Tab\there", "2x3", "11x17",
         "23x35", "1"}};
    // Press 3 twice: the later record wins.
    MdbTableData presses{
        "Presses",
        {{"PressID", T::LongInteger}, {"GripperWidth", T::Double}, {"GutterWidth", T::Double}},
        {{"1", "0.5", "0.25"},
         {"2", "0.375", "0"},
         {"3", "0.3", "0.1"},
         {"3", "0.45", "0.2"},
         {"4", null, null}}};
    return {orders, presses};
}

// Standard output of a shell command that must succeed.
std::string run(const std::string &command) {
    std::string out;
    FILE *p = ::popen(command.c_str(), "r");
    char buf[65536];
    for (std::size_t n; p && (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    EXPECT_TRUE(p && ::pclose(p) == 0) << command;
    return out;
}

std::vector<std::string> split(const std::string &text, char by) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, by);)
        parts.push_back(part);
    return parts;
}

// Every column type, nulls, an empty text, quoting and an empty table.
const char *sampleDescription = R"(table Orders
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
row Q | "" | 0 | 0 | 0 | 0 | 0 | 0 | ""
table Empty
column Anything Text(5)
)";

// The fixture program writes the sample and 100,000 rows of many lengths, some in two-byte
// text (the writer once overflowed a page on such rows), over thousands of pages and a long
// usage map. Every table, column type and value comes back through mdb-tables, mdb-schema
// and mdb-export, and through MdbReader walking all tables side by side; the tables'
// properties through mdb-prop.
TEST(MdbFixture, WrittenFileReadsBackWithMdbtoolsAndReader) {
    std::ostringstream text;
    text << sampleDescription
         << "table Big\ncolumn OrderNo Long Integer\ncolumn Name Text(255)\ncolumn Width Double\n";
    for (int i = 0; i < 100000; ++i)
        text << "row " << i << " | "
             << (i % 97 ? std::to_string(i) + (i % 2 ? "✓" : "") + std::string(i * 37 % 200, 'x')
                        : "NULL")
             << " | " << (i % 40) * 0.25 << "\n";
    TempFolder dir;
    const std::string path = dir.file("sample.mdb"), quoted = "'" + path + "'";
    writeFile(dir.file("sample.txt"), text.str());
    run(std::string(MDBFIXTURE_PATH) + " '" + dir.file("sample.txt") + "' " + quoted);
    std::istringstream in(text.str());
    const std::vector<MdbTableData> tables = parseMdbDescription(in);

    EXPECT_EQ(run("mdb-tables -1 " + quoted), "Orders\nEmpty\nBig\n");
    EXPECT_NE(run("mdb-prop " + quoted + " Big").find("Description: The Width of each"),
              std::string::npos);
    const std::string schema =
        std::regex_replace(run("mdb-schema " + quoted + " 2>/dev/null"), std::regex("\\s+"), " ");
    using T = MdbColumnType;
    const char *typeNames[] = {"Text",   "Long Integer", "Integer", "Byte",
                               "Single", "Double",       "Currency"};
    MdbReader reader(path);
    std::vector<MdbTable> walks;
    std::vector<std::vector<std::string>> exported;
    for (const auto &t : tables) {
        std::string create = "CREATE TABLE [" + t.name + "] (";
        for (const MdbColumnDef &c : t.columns)
            create += (&c == &t.columns[0] ? " [" : ", [") + c.name + "] " +
                      typeNames[static_cast<int>(c.type)] +
                      (c.type == T::Text ? " (" + std::to_string(c.textLength) + ")" : "");
        EXPECT_NE(schema.find(create + " );"), std::string::npos) << create;
        // Tab-separated, no quotes; mdb-export shows an empty text as a null too.
        exported.push_back(split(
            run("mdb-export -H -Q -d '\t' -0 '<null>' " + quoted + " '" + t.name + "'"), '\n'));
        ASSERT_EQ(exported.back().size(), t.rows.size()) << t.name;
        walks.push_back(reader.table(t.name));
    }
    for (std::size_t r = 0; r < tables.back().rows.size(); ++r) {
        for (std::size_t ti = 0; ti < tables.size(); ++ti) {
            const MdbTableData &t = tables[ti];
            if (r >= t.rows.size())
                continue;
            const auto cells = split(exported[ti][r], '\t');
            ASSERT_EQ(cells.size(), t.columns.size()) << t.name << " row " << r;
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                // Built only on failure: a trace per cell would cost more than the checks.
                const auto at = [&] {
                    return t.name + " row " + std::to_string(r) + " " + t.columns[c].name;
                };
                const MdbCell &want = t.rows[r][c];
                std::string name = t.columns[c].name; // field names ignore letter case
                std::transform(name.begin(), name.end(), name.begin(), ::toupper);
                const MdbValue value = walks[ti].field(name);
                ASSERT_EQ(value.isNull(), !want) << at();
                // A number's text is its shortest decimal form, as described.
                EXPECT_EQ(want ? value.asText() : "", want.value_or("")) << at();
                if (!want || t.columns[c].type == MdbColumnType::Text) {
                    EXPECT_EQ(cells[c], want && !want->empty() ? *want : "<null>") << at();
                } else {
                    const bool single = t.columns[c].type == MdbColumnType::Single;
                    auto round = [&](double v) { return single ? double(float(v)) : v; };
                    EXPECT_DOUBLE_EQ(round(std::stod(cells[c])), round(std::stod(*want))) << at();
                    EXPECT_EQ(value.numberValue(), round(std::stod(*want))) << at();
                }
            }
            walks[ti].moveNext();
        }
    }
    for (const MdbTable &walk : walks)
        EXPECT_TRUE(walk.eof());
}

// Name, description and stock start as "-", so that what the lookup must
// leave alone shows; "~" is the 15 blanks put in the other kind's number cell.
TEST(SearchOrders, FillsCellsFromTheOrder) {
    const struct {
        const char *search, *part;
        bool job;
        LookupOutcome::Status status;
        const char *after, *db = "zvData.mdb";
    } rows[] = {
        {"123", "1", 1, Found, "Acme Print/Brochure/Gloss 8.5x11 23x35 25x38 00000123 ~ 0.5 0.25"},
        {"0456", "1", 1, Found, "Bare Digits/Cards/Cover 2x3.5 12x18 23x35 00000456 ~ 0.5 0.25"},
        {"123456789", "1", 1, Found, "Nine/Poster/Gloss 18x24 19x25 25x38 123456789 ~ 0.375 0"},
        {"123", "1", 0, Found, "Quote Co/Flyer/Offset 5x7 19x25 23x35 ~ 00000123 0.5 0.25"},
        {"123", "2", 1, Found, "Acme Print/Insert/Matte 4x6 12x18 12x18 00000123 ~ 0.375 0"},
        {"123", "3", 1, NotFound, "-/-/- 2x3 11x17 23x35   0.00 0.00"},
        {"777", "1", 1, Found, "// 3x5 11x17 23x35 00000777 ~ 0.00 0.00"},
        {"888", "1", 1, Found, "Two Press Co/Labels/Label 2x2 13x19 26x40 00000888 ~ 0.45 0.2"},
        {"555", "1", 1, Found, "Null Press Co/Tags/Tag 2x4 12x18 24x36 00000555 ~ 0.00 0.00"},
        {"999", "1", 1, Found,
         "Zoë's Café ✓/\"Quoted\" \\ {x}/Tab\there 2x3 11x17 23x35 00000999 ~ 0.5 0.25"},
        // Error 94 on the null press size; cells filled before it keep their values.
        {"666", "1", 1, Failed, "Half Done/No size/Bond 8.5x11 11x17 23x35   0.00 0.00"},
        // A number "OrderNo" matches by value; a text "PartNo" exactly ("01" is not "1").
        {"00123", "1", 1, Found, "Text Part/d/s 2x3 4x5 6x7 00000123 ~ 0.375 0", "n.mdb"}};
    TempFolder dir;
    const auto standard = standardDatabase();
    writeMdbFile(dir.file("zvData.mdb"), standard);
    MdbTableData numbers = standard[0];
    numbers.columns[1].type = MdbColumnType::LongInteger;
    numbers.columns[2].type = MdbColumnType::Text;
    numbers.rows = {{"J", "123", "01", "Number Co", "d", "s", "1x2", "3x4", "5x6", "1"},
                    {"J", "123", "1", "Text Part", "d", "s", "2x3", "4x5", "6x7", "2"}};
    writeMdbFile(dir.file("n.mdb"), {numbers, standard[1]});
    // The same table against an order server loaded from the same files.
    std::map<std::string, std::string> servers;
    for (const char *db : {"zvData.mdb", "n.mdb"})
        if (auto connection = test::serverCopyOf(dir.file(db)))
            servers[db] = *connection;
    auto blank = [](const std::string &s) { return s == std::string(15, ' ') ? "~" : s; };
    for (const auto &row : rows) {
        for (const bool onServer : {false, true}) {
            if (onServer && !servers.count(row.db))
                continue;
            Cells c;
            c.txtSearch = row.search;
            c.optJob = row.job;
            c.txtPartNo = row.part;
            c.txtName = c.txtDesc = c.txtStockDesc = "-";
            const LookupOutcome out = onServer ? searchServerIsolated(c, servers[row.db])
                                               : searchOrdersIsolated(c, dir.file(row.db));
            EXPECT_EQ(out.status, row.status) << row.after << (onServer ? " (server)" : "");
            EXPECT_EQ(messageTexts(lookupSays(out)).size(), row.status == Found ? 0u : 1u);
            EXPECT_EQ(c.txtName + "/" + c.txtDesc + "/" + c.txtStockDesc + " " + c.txtSize[0] +
                          " " + c.txtSize[1] + " " + c.txtSize[2] + " " + blank(c.txtJob) + " " +
                          blank(c.txtQuote) + " " + c.txtGrip + " " + c.txtGutter,
                      row.after)
                << (onServer ? "server" : "file");
        }
    }
}

const std::string notFoundText = "Sorry... Job, Quote or Part Number not found.";
const std::string invalidDatabaseText = "Invalid Database. Please Correct Path Information.";

// An order table of more pages than one row of usage-map bits covers (about
// 32,600; a million orders take 50,000) is walked to its last order.
TEST(SearchOrders, TableOfMorePagesThanOneUsageMapRowCovers) {
    auto tables = standardDatabase();
    MdbTableData &orders = tables[0];
    // Four full two-byte texts a row (2,040 bytes, more than half a page): one row a page.
    const std::string notes = [] {
        std::string n;
        for (int i = 0; i < 255; ++i)
            n += "✓";
        return n;
    }();
    for (int i = 0; i < 4; ++i)
        orders.columns.push_back({"Notes" + std::to_string(i), MdbColumnType::Text, 255});
    for (auto &row : orders.rows)
        row.resize(orders.columns.size(), notes);
    const int count = 33000;
    std::vector<MdbCell> row{"J", "", "1", "", "d", "s", "2x3", "11x17", "23x35", "1"};
    row.resize(orders.columns.size(), notes);
    for (int i = 1; i <= count; ++i) {
        row[1] = std::to_string(100000 + i);
        row[3] = "Account " + std::to_string(i);
        orders.rows.push_back(row);
    }
    TempFolder dir;
    writeMdbFile(dir.file("zvData.mdb"), tables);
    ASSERT_GT(std::filesystem::file_size(dir.file("zvData.mdb")), 32600u * 4096);
    Cells c;
    c.txtSearch = std::to_string(100000 + count);
    EXPECT_EQ(searchOrdersIsolated(c, dir.file("zvData.mdb")).status, Found);
    EXPECT_EQ(c.txtName, "Account " + std::to_string(count));
}

// Only a positive number outside text mode is looked up. A bad folder goes to
// the folder window and clears; any other failure ends the program. One
// broken record ends only the search that lands on it, and no search writes
// to the file, not even its modification time (set old so a write would show).
TEST(SearchButton, OutcomesAndWhatFollows) {
    TempFolder dir;
    auto at = [&](const char *name) { return dir.file(name); };
    const auto standard = standardDatabase();
    writeMdbFile(at("zvData.mdb"), standard);
    writeMdbFile(at("noPresses.mdb"), {standard[0]});
    writeMdbFile(at("noKind.mdb"),
                 {{"Orders", {{"OrderNo", MdbColumnType::Text, 10}}, {{"123"}}}, standard[1]});
    writeFile(at("notes.mdb"), "not a database");
    writeFile(at("empty.mdb"), "");
    const std::string ok = dir.path.string() + "\\zvData.mdb", db = at("zvData.mdb");
    const std::string before = readFile(db);
    timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, db.c_str(), times, 0), 0);
    test::SaidLog rec;
    LayoutSession session;
    OrderLookup lookup(session);
    const struct {
        const char *search;
        bool text;
        std::string path;
        int error;
        const char *name;
    } rows[] = {{"123", 0, ok, 0, "Acme Print"},
                {"abc", 0, ok, 0, "-"},
                {"0", 0, ok, 0, "-"},
                {"123", 1, ok, 0, "-"},
                {"124", 0, ok, 0, "-"},
                {"666", 0, ok, 94, "Half Done"},
                {"1", 0, at("x") + "\\zvData.mdb", 3044, "-"},
                {"1", 0, at("gone.mdb"), 3024, "-"},
                {"1", 0, at("notes.mdb"), 3343, "-"},
                {"1", 0, at("empty.mdb"), 3343, "-"},
                {"1", 0, dir.path.string(), 3343, "-"},
                {"1", 0, at("noPresses.mdb"), 3078, "-"},
                {"1", 0, at("noKind.mdb"), 3265, "-"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.search) + (row.text ? " text mode " : " ") + row.path);
        session.frames = {};
        session.cells.txtName = "-";
        session.cells.txtSearch = row.search;
        rec = {};
        lookup.textMode = row.text;
        lookup.databasePath = row.path;
        rec.add(lookup.cmdSearch_Click());
        const LookupOutcome outcome = lookup.lastLookup();
        EXPECT_EQ(outcome.errorNumber, row.error);
        EXPECT_EQ(session.cells.txtName, row.name);
        const bool ran = row.search[0] != '0' && row.search[0] != 'a' && !row.text;
        EXPECT_EQ(outcome.status == NotRun, !ran);
        EXPECT_TRUE(ran || session.cells.txtSearch == row.search);
        const bool ends = row.error && row.error != 3044;
        const std::string failure = "Error " + std::to_string(row.error) + ". Click OK to Exit";
        EXPECT_EQ(rec.messages, (row.error == 3044            ? Texts{invalidDatabaseText}
                                 : ends                       ? Texts{failure}
                                 : outcome.status == NotFound ? Texts{notFoundText}
                                                              : Texts{}));
        EXPECT_EQ(rec.then, row.error == 3044 ? FollowUp::ShowFolderWindow
                            : ends            ? FollowUp::EndProgram
                                              : FollowUp::None);
        EXPECT_EQ(session.frames.fssFrame == 1 && session.frames.pssFrame == 1, !ends);
    }
    struct stat st {};
    ASSERT_EQ(::stat(db.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(readFile(db), before);

    // A bad folder's message comes first, then what the Clear after it says.
    rec = {};
    session.cells.txtSearch = "123";
    session.cells.txtSize[1] = "1117";
    lookup.databasePath = "No Folder Selected\\zvData.mdb";
    rec.add(lookup.cmdSearch_Click());
    EXPECT_EQ(rec.messages, (Texts{invalidDatabaseText, "Warning: Incorrect Size Entered!"}));
    EXPECT_EQ(rec.then, FollowUp::ShowFolderWindow);

    rec = {};
    for (const auto &[typed, refused] : std::vector<std::pair<std::string, bool>>{
             {"9", 0}, {"2.5", 0}, {"10", 1}, {"", 1}, {"x", 1}}) {
        session.cells.txtPartNo = typed;
        const Outcome said = lookup.txtPartNo_Change();
        EXPECT_EQ(said.then == FollowUp::FocusPartNumber, refused) << typed;
        EXPECT_EQ(session.cells.txtPartNo, refused ? "1" : typed);
        rec.add(said);
    }
    EXPECT_EQ(rec.messages, Texts(3, "Value must be between 1 and 9 only. Reverting to 1"));
}

// A helper that cannot be started (here: too few file descriptors left for
// its pipes) is a failure of its own, and the lookup never runs in this process.
TEST(Robustness, NoHelperProcessMeansNoLookup) {
    TempFolder dir;
    writeMdbFile(dir.file("zvData.mdb"), standardDatabase());
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        // Two descriptors above those already open: room for the sanitizers'
        // own checks, none for the helper's pipes.
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit none{};
        ::getrlimit(RLIMIT_NOFILE, &none);
        none.rlim_cur = static_cast<rlim_t>(lowestFree + 2);
        ::setrlimit(RLIMIT_NOFILE, &none);
        Cells cells;
        cells.txtSearch = "123";
        const LookupOutcome out = searchOrdersIsolated(cells, dir.file("zvData.mdb"));
        const bool untouched =
            cells.txtName.empty() && out.status == Failed && out.errorNumber != 0;
        ::_exit(untouched ? out.errorNumber : 255);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), lookuperr::tooManyFiles);
}

// A stand-in for the helper: a shell script that may run the real one as $REAL.
std::string fakeHelper(const TempFolder &dir, const std::string &name, const std::string &body) {
    const std::string path = dir.file(name);
    writeFile(path, "#!/bin/sh\nREAL='" LOOKUP_HELPER_PATH "'\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

struct HelperOverride {
    explicit HelperOverride(const std::string &path) {
        setLookupHelperPath(QString::fromStdString(path));
    }
    ~HelperOverride() { setLookupHelperPath({}); }
};

// Whatever goes wrong with the helper, the caller gets failure 3343 and its
// cells back untouched; the first row shows the same search succeeding.
TEST(HelperProcess, CrashGarbageAndEarlyExitGive3343WithCellsUnchanged) {
    TempFolder dir;
    writeMdbFile(dir.file("zvData.mdb"), standardDatabase());
    const struct {
        const char *what, *script;
    } rows[] = {
        {"the real helper", "exec \"$REAL\""},
        {"crash before replying", "kill -SEGV $$"},
        {"ended by its CPU limit", "ulimit -t 1; while :; do :; done"},
        {"crash after a whole reply", "\"$REAL\"; kill -SEGV $$"},
        {"exit without a word", "exit 0"},
        {"exit before reading the request", "exec true"},
        {"failure status after a whole reply", "\"$REAL\"; exit 1"},
        {"half a reply", "\"$REAL\" | head -c 120"},
        {"not JSON", "echo 'Acme Print'"},
        {"another format", "\"$REAL\" | sed 's/\"format\":1/\"format\":2/'"},
        {"a failure without its number", "\"$REAL\" | sed 's/\"found\"/\"failed\"/'"},
        {"cells missing",
         R"(echo '{"format":1,"status":"found","error":0,"cells":{"txtName":"x"}}')"},
        {"output without end", "yes"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        HelperOverride helper(fakeHelper(dir, "helper", row.script));
        Cells c;
        c.txtSearch = "123";
        c.txtName = "before";
        const QJsonObject before = cellsToJson(c);
        const LookupOutcome out = searchOrdersIsolated(c, dir.file("zvData.mdb"));
        if (&row == &rows[0]) {
            EXPECT_EQ(out.status, Found);
            EXPECT_EQ(c.txtName, "Acme Print");
            continue;
        }
        EXPECT_EQ(out.status, Failed);
        EXPECT_EQ(out.errorNumber, mdberr::notADatabase);
        EXPECT_EQ(messageTexts(lookupSays(out)),
                  std::vector<std::string>{"Error 3343. Click OK to Exit"});
        EXPECT_EQ(cellsToJson(c), before);
    }
    // A helper that is not there, or cannot be run, is a failure too: never a search in here.
    writeFile(dir.file("plain"), "#!/bin/sh\n");
    for (const std::string &path : {dir.file("absent"), dir.file("plain"), dir.path.string()}) {
        HelperOverride helper(path);
        Cells c;
        c.txtSearch = "123";
        EXPECT_EQ(searchOrdersIsolated(c, dir.file("zvData.mdb")).errorNumber, 3343) << path;
        EXPECT_EQ(c.txtName, "") << path;
    }
}

// Stands in for the window's progress dialog: gives up or waits, a minute at
// most, so that a search without end shows as given up rather than as a test
// that never ends.
struct Waiter : SearchWait {
    bool giveUp = false;
    int calls = 0;
    bool waitForHelper(QProcess &helper) override {
        ++calls;
        return giveUp ? false : helper.waitForFinished(60000);
    }
};

// Damaged copies of the demo database: cut at every page boundary and inside
// every page, each page zeroed, bytes flipped where pages keep their rows (the
// catalog's, the property chains') and at random, and structures the reader
// checks before the library walks them. Each is searched in this process, where the
// sanitizers watch the reads, and by the real helper, where a search without
// end shows as given up; both end alike, in the order or a failure number.
// Cut inside the property chains' pages (8 to 10; what is cut off reads as
// zeros) or with page 9 zeroed, the library read the properties without end
// before the reader checked them.
TEST(Robustness, DamagedCopiesEndAlikeHereAndInTheHelper) {
    const std::string demo = readFile(DEMO_DATABASE);
    const std::size_t pages = demo.size() / 4096;
    ASSERT_GE(pages, 11u);
    auto get16 = [](const std::string &b, std::size_t at) {
        return std::size_t(std::uint8_t(b[at])) | std::size_t(std::uint8_t(b[at + 1])) << 8;
    };
    auto patched = [&](std::size_t at, const std::string &bytes) {
        return std::string(demo).replace(at, bytes.size(), bytes);
    };
    // The catalog's definition is page 2, the orders' page 3; a definition's
    // page-map reference is its bytes 55 to 58, its column count 45 and 46.
    std::vector<std::tuple<std::string, std::string, int>> copies{
        {"catalog page map: another row", patched(2 * 4096 + 55, "\x03\x02"), 3343},
        {"catalog page map: an empty row", patched(2 * 4096 + 55, "\x07\x01"), 3343},
        {"catalog page map: past the end", patched(2 * 4096 + 55, {"\x00\xff", 2}), 3343},
        {"catalog column count", patched(2 * 4096 + 45, "\xff\xff"), 3343},
        {"catalog without columns", patched(2 * 4096 + 45, {"\0\0", 2}), 3343},
        {"orders page map: another row", patched(3 * 4096 + 55, "\x03\x02"), 3343},
        {"orders column count", patched(3 * 4096 + 45, "\xff\x7f"), 3343},
        {"cut after the catalog", demo.substr(0, 3 * 4096), 3078},
        {"catalog definition continued on itself", patched(2 * 4096 + 4, {"\x02\0\0\0", 4}), 3343},
        // The orders' properties run from page 8 on to page 9, whose one row
        // starts with the next part's page and row: pointed back at page 8,
        // the library read the chain without end.
        {"property chain looping",
         patched(9 * 4096 + get16(demo, 9 * 4096 + 14), {"\0\x08\0\0", 4}), 3343}};
    for (std::size_t page = 1; page < pages; ++page) {
        for (std::size_t into : {0, 1, 700, 4000})
            copies.emplace_back("cut at " + std::to_string(page * 4096 + into),
                                demo.substr(0, page * 4096 + into), -1);
        copies.emplace_back("page " + std::to_string(page) + " zeroed",
                            patched(page * 4096, std::string(4096, '\0')), -1);
        for (std::size_t back : {4, 40, 300, 1000}) {
            const std::size_t at = (page + 1) * 4096 - back;
            copies.emplace_back("flip at " + std::to_string(at),
                                patched(at, std::string(1, static_cast<char>(~demo[at]))), -1);
        }
    }
    std::mt19937 rng(20261206);
    for (int v = 0; v < 100; ++v) {
        std::string bytes = demo;
        for (auto flips = 1 + rng() % 40; flips > 0; --flips)
            bytes[rng() % bytes.size()] = static_cast<char>(rng());
        copies.emplace_back("random flips " + std::to_string(v), bytes, -1);
    }
    TempFolder dir;
    for (const auto &[what, bytes, error] : copies) {
        SCOPED_TRACE(what);
        writeFile(dir.file("zvData.mdb"), bytes);
        Cells here, there;
        here.txtSearch = there.txtSearch = "12345";
        const LookupOutcome expected = searchOrdersInProcess(here, dir.file("zvData.mdb"));
        Waiter deadline;
        const LookupOutcome out = searchOrdersIsolated(there, dir.file("zvData.mdb"), &deadline);
        EXPECT_EQ(std::pair(out.status, out.errorNumber),
                  std::pair(expected.status, expected.errorNumber));
        if (error >= 0)
            EXPECT_EQ(out.errorNumber, error);
        else if (out.status == Found)
            EXPECT_EQ(there.txtName, "Harbor Savings Bank");
        else // a zeroed page of orders reads as none
            EXPECT_TRUE(out.status == NotFound ||
                        (std::set{94, 3078, 3265, 3343}.count(out.errorNumber)));
    }
}

// No time limit: a slow search is handed to the waiter after the delay and
// ends with its result; one given up on stops the helper and changes nothing.
// Without a waiter (the calculator) it is simply awaited.
TEST(HelperProcess, SlowSearchWaitsAndCancelChangesNothing) {
    TempFolder dir;
    writeMdbFile(dir.file("zvData.mdb"), standardDatabase());
    const std::string pidFile = dir.file("pid");
    HelperOverride helper(
        fakeHelper(dir, "slow", "echo $$ > '" + pidFile + "'; sleep 1.5; exec \"$REAL\""));
    for (const auto &[giveUp, withWaiter] :
         {std::pair{false, true}, {true, true}, {false, false}}) {
        SCOPED_TRACE(std::to_string(giveUp) + std::to_string(withWaiter));
        Waiter waiter;
        waiter.giveUp = giveUp;
        Cells c;
        c.txtSearch = "123";
        const QJsonObject before = cellsToJson(c);
        const LookupOutcome out =
            searchOrdersIsolated(c, dir.file("zvData.mdb"), withWaiter ? &waiter : nullptr);
        EXPECT_EQ(waiter.calls, withWaiter ? 1 : 0);
        EXPECT_EQ(out.status, giveUp ? Cancelled : Found);
        EXPECT_TRUE(lookupSays(out).saysNothing());
        EXPECT_EQ(c.txtName, giveUp ? "" : "Acme Print");
        if (giveUp) {
            EXPECT_EQ(cellsToJson(c), before);
            EXPECT_NE(::kill(std::stoi(readFile(pidFile)), 0), 0); // the helper is gone
        }
    }
}

// The caller killed outright during a search takes its helper with it.
TEST(HelperProcess, KilledCallerLeavesNoHelper) {
    TempFolder dir;
    writeMdbFile(dir.file("zvData.mdb"), standardDatabase());
    const std::string pid = dir.file("pid");
    HelperOverride helper(fakeHelper(
        dir, "slow", "echo $$ > '" + pid + "~'; mv '" + pid + "~' '" + pid + "'; exec sleep 60"));
    std::fflush(nullptr);
    const pid_t caller = ::fork();
    if (caller == 0) {
        Cells c;
        c.txtSearch = "123";
        ::_exit(searchOrdersIsolated(c, dir.file("zvData.mdb")).errorNumber);
    }
    // Gone, or dead and waiting to be reaped by whoever adopted it.
    auto gone = [](const std::string &helperPid) {
        const std::string stat = readFile("/proc/" + helperPid + "/stat");
        return stat.empty() || stat.find(") Z") != std::string::npos;
    };
    for (int i = 0; i < 500 && !std::filesystem::exists(pid); ++i)
        ::usleep(20000);
    const std::string helperPid = readFile(pid).substr(0, readFile(pid).find('\n'));
    EXPECT_FALSE(gone(helperPid));
    ::kill(caller, SIGKILL);
    ::waitpid(caller, nullptr, 0);
    for (int i = 0; i < 250 && !gone(helperPid); ++i)
        ::usleep(20000);
    EXPECT_TRUE(gone(helperPid));
}

} // namespace
