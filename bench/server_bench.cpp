// Search on an order server holding a large order table, through the helper
// program as the window and the calculator run it (and in this process, to
// show what the helper costs): the last order, and a number no order has.
// The same orders as lookup_bench's file, 1,000,000 of them by default
// (SHEETCRAFT_BENCH_ORDERS sets another count), on a throw-away local server
// (tools/pgserver.sh), once with the index the README asks the shop to
// create and once without it. Goal: under 50 ms through the helper.
#include "orderlookup.h"
#include "orderserver.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace sheetcraft;

namespace {

int orderCount() {
    const char *count = std::getenv("SHEETCRAFT_BENCH_ORDERS");
    return count ? std::atoi(count) : 1000000;
}

bool shell(const std::string &command, std::string *out = nullptr) {
    FILE *p = ::popen(command.c_str(), "r");
    char buf[4096];
    for (std::size_t n; p && (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        if (out)
            out->append(buf, n);
    return p && ::pclose(p) == 0;
}

// The server and its two databases, "indexed" and "plain", made once.
class Server {
public:
    Server() {
        std::string pattern = "/tmp/serverbenchXXXXXX";
        m_folder = ::mkdtemp(pattern.data());
        std::string out;
        if (!shell(PGSERVER_SCRIPT " start " + m_folder + " " + std::to_string(::getpid()), &out)) {
            std::fputs("The PostgreSQL server did not start.\n", stderr);
            std::exit(1);
        }
        const std::string admin = out.substr(0, out.find('\n'));
        for (const char *name : {"indexed", "plain"}) {
            const std::string target = "host=" + m_folder + " user=sheetcraft dbname=" + name;
            const std::string index =
                name == std::string("indexed")
                    ? "CREATE INDEX orders_lookup ON orders (quoteorjob, ltrim(orderno::text, "
                      "' 0') text_pattern_ops);"
                    : "";
            const std::string n = std::to_string(orderCount());
            // The columns mdb-schema makes of the file's tables, and lookup_bench's rows.
            const std::string sql =
                "CREATE TABLE orders (quoteorjob VARCHAR(1), orderno VARCHAR(10), partno INTEGER, "
                "acctname VARCHAR(50), description VARCHAR(100), stockdesc VARCHAR(50), "
                "pressfinishedsize VARCHAR(20), presssize VARCHAR(20), stockparentsize "
                "VARCHAR(20), pressid INTEGER);"
                "INSERT INTO orders SELECT CASE WHEN i % 4 = 0 THEN 'Q' ELSE 'J' END, "
                "lpad(i::text, 8, '0'), 1 + i % 3, 'Customer account ' || i % 700, 'Four colour "
                "brochure, 12 pages, saddle stitched', '100# Gloss Text', '8.5x11', '23x35', "
                "CASE WHEN i % 6 = 0 THEN NULL ELSE '25x38' END, i % 50 "
                "FROM generate_series(1, " +
                n +
                ") AS i;"
                "CREATE TABLE presses (pressid INTEGER, gripperwidth DOUBLE PRECISION, "
                "gutterwidth DOUBLE PRECISION);"
                "INSERT INTO presses SELECT i, 0.375, 0.125 FROM generate_series(0, 49) AS i;" +
                index + "VACUUM ANALYZE orders;";
            if (!shell("psql -X -q '" + admin + "' -c 'CREATE DATABASE " + name + "'") ||
                !shell("psql -X -q -v ON_ERROR_STOP=1 '" + target + "' >/dev/null <<'END'\n" + sql +
                       "\nEND")) {
                std::fputs("The orders could not be loaded.\n", stderr);
                std::exit(1);
            }
            (name == std::string("indexed") ? m_indexed : m_plain) = target;
        }
    }
    ~Server() { shell(PGSERVER_SCRIPT " stop " + m_folder); }
    const std::string &connection(bool indexed) const { return indexed ? m_indexed : m_plain; }

private:
    std::string m_folder, m_indexed, m_plain;
};

const Server &server() {
    static Server s;
    return s;
}

// The last order is a quote (every fourth number is one), part 1 + n % 3;
// 99999999 matches nothing.
void search(benchmark::State &state, bool lastOrder, bool indexed, bool isolated) {
    const std::string &connection = server().connection(indexed);
    const int n = orderCount();
    const auto expected =
        lastOrder ? LookupOutcome::Status::Found : LookupOutcome::Status::NotFound;
    for (auto _ : state) {
        Cells cells;
        cells.txtSearch = lastOrder ? std::to_string(n) : "99999999";
        cells.optJob = lastOrder ? n % 4 != 0 : true;
        cells.txtPartNo = lastOrder ? std::to_string(1 + n % 3) : "1";
        const LookupOutcome outcome = isolated ? searchServerIsolated(cells, connection)
                                               : searchServerInProcess(cells, connection);
        if (outcome.status != expected)
            state.SkipWithError(("unexpected outcome " + outcome.reason).c_str());
        benchmark::DoNotOptimize(cells);
    }
}

// Wall-clock time: the helper's and the server's work is done elsewhere.
BENCHMARK_CAPTURE(search, LastOrder, true, true, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(search, NoMatch, false, true, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(search, LastOrderInProcess, true, true, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(search, LastOrderNoIndex, true, false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(search, NoMatchNoIndex, false, false, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    server();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
