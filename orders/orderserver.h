#pragma once

#include "cells.h"
#include "orderlookup.h"

#include <QByteArray>

#include <string>
#include <utility>
#include <vector>

namespace sheetcraft {

class SearchWait;

// Failure numbers of a search on an order server. A missing table or column
// reports the database file's own numbers (3078, 3265), and a null taken as
// text 94, so those read the same from either source; these are the
// server's own troubles, each told in words of its own and never ending the
// program.
namespace servererr {
inline constexpr int noDriver = 3801;       // the PostgreSQL driver is not installed
inline constexpr int badConnection = 3802;  // the connection text cannot be read
inline constexpr int noServer = 3803;       // nothing answers at that address
inline constexpr int refused = 3804;        // wrong user or password, or not allowed in
inline constexpr int noDatabase = 3805;     // the server has no such database
inline constexpr int timedOut = 3806;       // a query ran past the statement timeout
inline constexpr int connectionLost = 3807; // the connection broke during the search
inline constexpr int serverError = 3808;    // any other refusal by the server
} // namespace servererr

bool isServerFailure(int number);
// What went wrong, as the message's first part ("no order server answers at that address").
std::string serverFailureText(int number);

// Seconds a connection may take, and a query may run, before the search gives up.
inline constexpr int serverConnectSeconds = 5;
inline constexpr int serverStatementSeconds = 15;

// A connection text in libpq's own forms (a postgresql:// URI, key=value
// pairs, a service= name) taken apart into its settings, with the search's
// own added where the text does not set them: the connect timeout, the
// statement timeout and a read-only session. A password in the text is
// refused: passwords live in ~/.pgpass, PGPASSFILE or the service file.
struct ServerConnection {
    std::vector<std::pair<std::string, std::string>> settings;
    std::string error; // why the text cannot be used; empty when it can
    bool ok() const { return error.empty(); }
};
ServerConnection parseServerConnection(const std::string &text);

// The lookup of searchOrdersInProcess, on the server's "orders" and
// "presses" tables: the same cells, messages and failure numbers for the
// same data. Both tables are read in one read-only transaction before any
// cell changes, so a server failure leaves every cell as it was.
LookupOutcome searchServerInProcess(Cells &cells, const std::string &connection);

// The same, run by the helper program as searchOrdersIsolated runs the
// database file's search: the window stays responsive and Cancel applies.
LookupOutcome searchServerIsolated(Cells &cells, const std::string &connection,
                                   SearchWait *wait = nullptr);

// What the set-up window's Test button reports.
struct ServerCheck {
    bool ok = false;
    std::string version; // the server's version, such as "15.4"
    long long orders = 0;
    std::string failure; // the whole message when not ok
};
ServerCheck checkServer(const std::string &connection);

// The helper's request for a server search: {"format": 1, "server": TEXT, "cells": CELLS}.
QByteArray encodeServerRequest(const std::string &connection, const Cells &cells);
bool decodeServerRequest(const QByteArray &bytes, std::string &connection, Cells &cells);

} // namespace sheetcraft
