#pragma once

#include "cells.h"
#include "layoutsession.h"
#include "messagesink.h"

#include <string>

namespace sheetcraft {

class SearchWait;

inline constexpr const char *orderNotFoundText = "Sorry... Job, Quote or Part Number not found.";
inline constexpr const char *invalidDatabaseText =
    "Invalid Database. Please Correct Path Information.";
inline constexpr const char *partNumberRangeText =
    "Value must be between 1 and 9 only. Reverting to 1";

// How one lookup ended.
struct LookupOutcome {
    enum class Status {
        NotRun,    // no lookup: no positive search number, or text mode
        Found,     // the cells were filled from the order
        NotFound,  // no order of that kind, number and part
        Failed,    // a database failure; errorNumber says which
        Cancelled, // the user stopped a long search; nothing changed
    };
    Status status = Status::NotRun;
    int errorNumber = 0;
    std::string message; // the text shown for NotFound and Failed, else empty
};

// "Error 3024. Click OK to Exit", or the invalid-path text for 3044.
std::string lookupFailureText(int errorNumber);

// The lookup proper, on plain cells: opens the database read-only, pads the
// search number to 8 characters, corrects the part number, scans "Orders"
// for the first order of the selected kind, number and part, fills the job
// cells and sizes from it and gripper and gutter from "Presses". A failure
// stops the lookup where it happened; cells filled before it keep their new
// values. Shows nothing: the outcome carries the message.
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
// a garbled reply of the helper, or no helper to be found, ends as failure
// 3343; a helper that cannot be started ends as failure 67 or 7 (above).
// Either way the cells are left as they were. No time limit: a search
// still running after searchProgressDelay is handed to `wait`, and one the
// user gives up on there is stopped and ends as Cancelled, changing nothing.
// Without `wait` the search is awaited however long it takes.
LookupOutcome searchOrdersIsolated(Cells &cells, const std::string &databasePath,
                                   SearchWait *wait = nullptr);

// The lookup as the calculator and the window run it: isolated, with the
// outcome's message (not found, or the failure text) sent to the sink.
LookupOutcome SearchOrders(Cells &cells, const std::string &databasePath, MessageSink &messages,
                           SearchWait *wait = nullptr);

// What only the main window can do; tests record these calls.
class LookupHooks {
public:
    virtual ~LookupHooks() = default;
    // Hide shpDirections and lblDirections.
    virtual void hideDirections() = 0;
    // After the invalid-path message: hide the main window, show frmPath.
    virtual void showFolderWindow() = 0;
    // After any other failure's message: end the program. When this returns
    // (as in tests) the search stops without the final Clear.
    virtual void endProgram() = 0;
};

// The Search button, the search cell's key press and the part-number cell's
// change handler of the job/quote frame. Works on the session's cells; the
// final Clear runs the session's Command1_Click.
class OrderLookup {
public:
    OrderLookup(LayoutSession &session, MessageSink &messages, LookupHooks &hooks);

    std::string databasePath;   // set at start-up
    bool textMode = false;      // mnuTxt checked: Search makes no lookup
    SearchWait *wait = nullptr; // shows a long search; none: just wait

    // Search: a lookup when the search text starts with a number above 0 and
    // the mode is Kelvane; then, whatever happened (short of ending the
    // program or the user cancelling the search), the Clear action.
    LookupOutcome cmdSearch_Click();

    // Every key hides the directions; Enter (13) then runs Search, even while
    // the Search button is disabled. The character itself is the cell's.
    void txtSearch_KeyPress(int keyAscii);

    // Checks the part number after every change: outside 1 to 9 (an empty or
    // non-numeric text counts as 0) shows the range message and sets "1".
    // Returns true when the focus must go to the part-number cell.
    bool txtPartNo_Change();

private:
    LayoutSession &m_session;
    MessageSink &m_messages;
    LookupHooks &m_hooks;
};

} // namespace sheetcraft
