// Search on a large order table: the order that is last in the table, and a
// number no order has (the whole table is read), each through the helper
// program as the window and the calculator run it, and in this process to
// show what the helper costs. Goal: under 150 ms through the helper, and at
// most half the time of mdb-export of the same table to /dev/null, which
// runs alongside as the yardstick.
#include "mdbwriter.h"
#include "orderlookup.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace sheetcraft;

namespace {

// SHEETCRAFT_BENCH_ORDERS sets another count, to compare with server_bench.
const int orderCount = [] {
    const char *count = std::getenv("SHEETCRAFT_BENCH_ORDERS");
    return count ? std::atoi(count) : 100000;
}();
constexpr int pressCount = 50;

class Database {
public:
    Database() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lookupbenchXXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        MdbTableData orders{"Orders",
                            {{"QuoteorJob", MdbColumnType::Text, 1},
                             {"OrderNo", MdbColumnType::Text, 10},
                             {"PartNo", MdbColumnType::LongInteger},
                             {"AcctName", MdbColumnType::Text, 50},
                             {"Description", MdbColumnType::Text, 100},
                             {"StockDesc", MdbColumnType::Text, 50},
                             {"PressFinishedSize", MdbColumnType::Text, 20},
                             {"PressSize", MdbColumnType::Text, 20},
                             {"StockParentSize", MdbColumnType::Text, 20},
                             {"PressID", MdbColumnType::LongInteger}},
                            {}};
        orders.rows.reserve(orderCount);
        for (int i = 1; i <= orderCount; ++i) {
            std::string number = std::to_string(i);
            number.insert(0, 8 - number.size(), '0');
            orders.rows.push_back(
                {i % 4 ? "J" : "Q", number, std::to_string(1 + i % 3),
                 "Customer account " + std::to_string(i % 700),
                 "Four colour brochure, 12 pages, saddle stitched", "100# Gloss Text", "8.5x11",
                 "23x35", i % 6 ? MdbCell("25x38") : std::nullopt, std::to_string(i % pressCount)});
        }
        MdbTableData presses{"Presses",
                             {{"PressID", MdbColumnType::LongInteger},
                              {"GripperWidth", MdbColumnType::Double},
                              {"GutterWidth", MdbColumnType::Double}},
                             {}};
        for (int i = 0; i < pressCount; ++i)
            presses.rows.push_back({std::to_string(i), "0.375", "0.125"});
        writeMdbFile(path(), {orders, presses});
    }
    ~Database() {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    std::string path() const { return (m_folder / "zvData.mdb").string(); }

private:
    std::filesystem::path m_folder;
};

const Database &database() {
    static Database db;
    return db;
}

// One search, through the helper program or in this process. The last order
// in the table is number 100000, a quote (every fourth number is one), part
// 1 + 100000 % 3 = 2 (likewise for another count); 99999999 matches nothing.
void search(benchmark::State &state, bool lastOrder, bool isolated) {
    const std::string path = database().path();
    const auto expected =
        lastOrder ? LookupOutcome::Status::Found : LookupOutcome::Status::NotFound;
    for (auto _ : state) {
        Cells cells;
        cells.txtSearch = lastOrder ? std::to_string(orderCount) : "99999999";
        cells.optJob = lastOrder ? orderCount % 4 != 0 : true;
        cells.txtPartNo = lastOrder ? std::to_string(1 + orderCount % 3) : "1";
        const LookupOutcome outcome =
            isolated ? searchOrdersIsolated(cells, path) : searchOrdersInProcess(cells, path);
        if (outcome.status != expected)
            state.SkipWithError("unexpected outcome");
        benchmark::DoNotOptimize(cells);
    }
}

// Wall-clock time throughout: the helper's and mdb-export's work is done in
// other processes, which this one's CPU time does not count.
BENCHMARK_CAPTURE(search, LastOrder, true, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK_CAPTURE(search, NoMatch, false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK_CAPTURE(search, LastOrderInProcess, true, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK_CAPTURE(search, NoMatchInProcess, false, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

void BM_MdbExportOrders(benchmark::State &state) {
    const std::string command = "mdb-export '" + database().path() + "' Orders > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("mdb-export failed");
    }
}
BENCHMARK(BM_MdbExportOrders)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
