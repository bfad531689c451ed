#pragma once

#include "cells.h"
#include "layoutsession.h"
#include "outcome.h"

#include <string>

namespace sheetcraft {

class SearchWait;

// How one lookup ended.
struct LookupOutcome {
    enum class Status {
        NotRun,    // no lookup: no positive search number, or text mode
        Found,     // the cells were filled from the order
        NotFound,  // no order of that kind, number and part
        Failed,    // a database failure; errorNumber says which
        Cancelled, // the user stopped a long search; nothing changed
    };
    LookupOutcome(Status s = Status::NotRun, int number = 0, std::string why = {})
        : status(s), errorNumber(number), reason(std::move(why)) {}
    Status status;
    int errorNumber;
    std::string reason; // an order server's own words for its failure
};

// What the window says and does after a lookup: nothing when it found the
// order or did not run; the not-found text; the invalid-path text and then
// the folder window for 3044; "Error <n>. Click OK to Exit" and then the end
// of the program for any other failure.
Outcome lookupSays(const LookupOutcome &lookup);

// The lookup proper, on plain cells: opens the database read-only, pads the
// search number to 8 characters, corrects the part number, scans "Orders"
// for the first order of the selected kind, number and part, fills the job
// cells and sizes from it and gripper and gutter from "Presses". A failure
// stops the lookup where it happened; cells filled before it keep their new
// values. Shows nothing: lookupSays gives what to say.
//
// Runs in this process: the helper program's work. A damaged file can make
// the database library itself misbehave; searchOrdersIsolated below is the
// one to use on real files.
LookupOutcome searchOrdersInProcess(Cells &cells, const std::string &databasePath);

// Failure numbers of a lookup whose helper process cannot be started, as the
// system reports running out of them: no pipe (too many files open), no
// process (out of memory or processes).
namespace lookuperr {
inline constexpr int outOfMemory = 7;
inline constexpr int tooManyFiles = 67;
} // namespace lookuperr

// searchOrdersInProcess run by the helper program sheetcraft-lookup (see
// lookupprocess.h), which reports back on a pipe: a crash, an early exit or
// a garbled reply of the helper, a helper ended by its CPU or memory limit,
// or no helper to be found, ends as failure 3343; a helper that cannot be
// started ends as failure 67 or 7 (above). Either way the cells are left as
// they were. The helper dies with the calling thread. No time limit here: a
// search still running after searchProgressDelay is handed to `wait`, and
// one the user gives up on there is stopped and ends as Cancelled, changing
// nothing. Without `wait` the search is awaited until it ends or the
// helper's limits end it.
LookupOutcome searchOrdersIsolated(Cells &cells, const std::string &databasePath,
                                   SearchWait *wait = nullptr);

// The lookup as the calculator and the window run it: isolated. A long
// search is handed to `wait`.
LookupOutcome SearchOrders(Cells &cells, const std::string &databasePath,
                           SearchWait *wait = nullptr);

// The Search button and the part-number cell's change handler of the
// job/quote frame. Works on the session's cells; the final Clear runs the
// session's Command1_Click.
class OrderLookup {
public:
    explicit OrderLookup(LayoutSession &session);

    std::string databasePath;     // set at start-up
    std::string serverConnection; // not empty: search this order server instead
    bool textMode = false;        // mnuTxt checked: Search makes no lookup
    SearchWait *wait = nullptr;   // shows a long search; none: just wait

    // Search: a lookup when the search text starts with a number above 0 and
    // the mode is Kelvane; then, unless the failure ends the program or the
    // user cancelled the search, the Clear action, whose messages follow the
    // lookup's.
    [[nodiscard]] Outcome cmdSearch_Click();
    // How the last Search's lookup ended (NotRun when it made none).
    const LookupOutcome &lastLookup() const { return m_last; }

    // Checks the part number after every change: outside 1 to 9 (an empty or
    // non-numeric text counts as 0) says the range message, sets "1" and
    // asks for the focus in the part-number cell.
    [[nodiscard]] Outcome txtPartNo_Change();

private:
    LayoutSession &m_session;
    LookupOutcome m_last;
};

} // namespace sheetcraft
