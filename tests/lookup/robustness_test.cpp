#include "lookupdatabase.h"
#include "mdbreader.h"
#include "orderlookup.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <random>
#include <set>
#include <thread>

using namespace sheetcraft;
using sheetcraft::test::RecordingSink;
using Status = LookupOutcome::Status;

namespace {

// Every truncated or damaged copy of a fixture ends in a result or in a known
// failure with its message; the test process itself lives through all of
// them. A few hundred extra orders spread the table over several pages, so
// damage lands in the header, the catalog, a definition, a usage map or rows.
TEST(Robustness, DamagedCopiesEndInResultOrMessage) {
    auto tables = test::standardDatabase();
    for (int i = 0; i < 400; ++i)
        tables[0].rows.push_back({i % 3 ? "J" : "Q", std::to_string(100 + i), "1", "Account", "Job",
                                  "Gloss", "2x3", "11x17", i % 5 ? MdbCell("23x35") : std::nullopt,
                                  std::to_string(i % 4)});
    const std::vector<unsigned char> original = buildMdb(tables);
    const std::set<int> knownFailures = {mdberr::notADatabase, mdberr::tableNotFound,
                                         mdberr::fieldNotFound, mdberr::invalidUseOfNull};
    test::TempFolder dir;
    std::mt19937 rng(20261206);
    for (int v = 0; v < 240; ++v) {
        SCOPED_TRACE("variant " + std::to_string(v));
        std::string bytes(original.begin(), original.end());
        if (v % 3 == 0) {
            bytes.resize(rng() % bytes.size());
        } else if (v % 3 == 1) {
            // Flipped bytes, half of them in the first pages, where the structure lives.
            for (auto flips = 1 + rng() % 40; flips > 0; --flips)
                bytes[rng() % (rng() % 2 ? 4 * 4096 : bytes.size())] = static_cast<char>(rng());
        } else {
            const std::size_t page = rng() % (bytes.size() / 4096);
            for (std::size_t i = 0; i < 4096; ++i)
                bytes[page * 4096 + i] = rng() % 2 ? static_cast<char>(rng()) : 0;
        }
        test::writeFile(dir.file("zvData.mdb"), bytes);

        Cells cells;
        cells.txtSearch = v % 2 ? "499" : "350"; // the last order, or one of the middle
        cells.optJob = v % 2 == 0;
        RecordingSink sink;
        const LookupOutcome outcome = SearchOrders(cells, dir.file("zvData.mdb"), sink);
        ASSERT_NE(outcome.status, Status::NotRun);
        if (outcome.status == Status::Failed) {
            EXPECT_TRUE(knownFailures.count(outcome.errorNumber)) << outcome.errorNumber;
        }
        using Texts = std::vector<std::string>;
        EXPECT_EQ(sink.messages, outcome.status == Status::Found ? Texts{}
                                 : outcome.status == Status::NotFound
                                     ? Texts{orderNotFoundText}
                                     : Texts{lookupFailureText(outcome.errorNumber)});
    }
}

// The child-process guard: whatever happens inside the child, the caller
// gets failure 3343 and its cells back untouched.
TEST(Robustness, IsolatedLookupSurvivesCrashExitAndHang) {
    const std::pair<const char *, std::function<void()>> cases[] = {
        {"crash", [] { ::raise(SIGKILL); }},
        {"early exit", [] { ::_exit(3); }},
        {"hang", [] { std::this_thread::sleep_for(std::chrono::hours(1)); }},
    };
    for (const auto &[name, misbehave] : cases) {
        SCOPED_TRACE(name);
        Cells cells;
        cells.txtName = "before";
        const auto started = std::chrono::steady_clock::now();
        const LookupOutcome outcome = runLookupIsolated(
            cells,
            [&](Cells &c) {
                c.txtName = "half written";
                misbehave();
                return LookupOutcome{};
            },
            std::chrono::milliseconds(300));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
        EXPECT_EQ(outcome.status, Status::Failed);
        EXPECT_EQ(outcome.errorNumber, mdberr::notADatabase);
        EXPECT_EQ(cells.txtName, "before");
    }
}

} // namespace
