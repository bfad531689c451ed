#include "lookupdatabase.h"
#include "mdbreader.h"
#include "mdbwriter.h"
#include "orderlookup.h"
#include "recordingsink.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <iostream>
#include <map>
#include <random>
#include <set>
#include <thread>

using namespace sheetcraft;
using sheetcraft::test::RecordingSink;
using sheetcraft::test::TempFolder;
using Status = LookupOutcome::Status;

namespace {

// The usual test orders and a few hundred more, so that the table spreads
// over several pages and damage can land in the header, the catalog, a
// definition, a usage map or the rows.
std::vector<unsigned char> fixtureBytes() {
    auto tables = test::standardDatabase();
    for (int i = 0; i < 400; ++i) {
        tables[0].rows.push_back({i % 3 ? "J" : "Q", std::to_string(100 + i), "1",
                                  "Account " + std::to_string(i), "Job description", "80# Gloss",
                                  "2x3", "11x17", i % 5 ? MdbCell("23x35") : std::nullopt,
                                  std::to_string(i % 4)});
    }
    return buildMdb(tables);
}

enum class Damage { Truncate, FlipBytes, ScramblePage };

std::vector<unsigned char> damage(std::vector<unsigned char> bytes, Damage kind,
                                  std::mt19937 &rng) {
    const std::size_t pages = bytes.size() / 4096;
    switch (kind) {
    case Damage::Truncate:
        bytes.resize(rng() % bytes.size());
        break;
    case Damage::FlipBytes: {
        // Mostly within the first pages, where the structure lives.
        int flips = 1 + static_cast<int>(rng() % 40);
        for (int i = 0; i < flips; ++i) {
            std::size_t span = rng() % 2 ? 4 * 4096 : bytes.size();
            bytes[rng() % span] = static_cast<unsigned char>(rng());
        }
        break;
    }
    case Damage::ScramblePage: {
        std::size_t page = rng() % pages;
        for (std::size_t i = 0; i < 4096; ++i)
            bytes[page * 4096 + i] = rng() % 2 ? static_cast<unsigned char>(rng()) : 0;
        break;
    }
    }
    return bytes;
}

// Every damaged copy ends in a result or in a failure with its message; the
// test process itself must live through all of them.
TEST(Robustness, DamagedCopiesEndInResultOrMessage) {
    const auto original = fixtureBytes();
    TempFolder dir;
    const std::string path = dir.file("zvData.mdb");
    std::mt19937 rng(20261206);
    const std::set<int> knownFailures = {mdberr::notADatabase, mdberr::tableNotFound,
                                         mdberr::fieldNotFound, mdberr::invalidUseOfNull};
    std::map<std::string, int> tally;
    const int variants = 240;
    for (int v = 0; v < variants; ++v) {
        auto kind = static_cast<Damage>(v % 3);
        auto bytes = damage(original, kind, rng);
        test::writeFile(path, std::string(bytes.begin(), bytes.end()));

        Cells cells;
        cells.txtSearch = v % 2 ? "499" : "350"; // the last order, or one of the middle
        cells.optJob = v % 2 == 0;
        RecordingSink sink;
        LookupOutcome outcome = SearchOrders(cells, path, sink);
        switch (outcome.status) {
        case Status::Found:
            EXPECT_TRUE(sink.messages.empty()) << "variant " << v;
            ++tally["found"];
            break;
        case Status::NotFound:
            EXPECT_EQ(sink.messages, std::vector<std::string>{orderNotFoundText})
                << "variant " << v;
            ++tally["not found"];
            break;
        case Status::Failed:
            EXPECT_TRUE(knownFailures.count(outcome.errorNumber))
                << "variant " << v << " error " << outcome.errorNumber;
            EXPECT_EQ(sink.messages,
                      std::vector<std::string>{lookupFailureText(outcome.errorNumber)})
                << "variant " << v;
            ++tally["error " + std::to_string(outcome.errorNumber)];
            break;
        case Status::NotRun:
            ADD_FAILURE() << "variant " << v << " made no lookup";
        }
    }
    for (const auto &[what, count] : tally)
        std::cout << "  " << what << ": " << count << "\n";
}

// The child-process guard itself: whatever happens inside the child, the
// caller gets failure 3343 and its cells back untouched.
TEST(Robustness, IsolatedLookupSurvivesCrashExitAndHang) {
    struct Case {
        const char *name;
        std::function<LookupOutcome(Cells &)> lookup;
    } cases[] = {
        {"crash",
         [](Cells &c) {
             c.txtName = "half written";
             ::raise(SIGKILL);
             return LookupOutcome{};
         }},
        {"early exit",
         [](Cells &c) {
             c.txtName = "half written";
             ::_exit(3);
             return LookupOutcome{};
         }},
        {"hang",
         [](Cells &c) {
             c.txtName = "half written";
             for (;;)
                 std::this_thread::sleep_for(std::chrono::seconds(1));
             return LookupOutcome{};
         }},
    };
    for (const Case &c : cases) {
        Cells cells;
        cells.txtName = "before";
        auto started = std::chrono::steady_clock::now();
        LookupOutcome outcome = runLookupIsolated(cells, c.lookup, std::chrono::milliseconds(300));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << c.name;
        EXPECT_EQ(outcome.status, Status::Failed) << c.name;
        EXPECT_EQ(outcome.errorNumber, mdberr::notADatabase) << c.name;
        EXPECT_EQ(cells.txtName, "before") << c.name;
    }
}

} // namespace
