#pragma once

#include "cells.h"
#include "orderlookup.h"

#include <QByteArray>
#include <QJsonObject>

#include <string>

namespace sheetcraft {

// What the lookup helper (sheetcraft-lookup) reads and writes: one JSON
// object on its standard input, one on its standard output. Both sides use
// these functions, so the format lives here and nowhere else.
//
//   request: {"format": 1, "database": "/path/zvData.mdb", "cells": CELLS}
//   reply:   {"format": 1, "status": "found" | "notFound" | "failed" | "notRun",
//             "error": 0 or the failure number, "cells": CELLS,
//             "reason": an order server's own words for a failure, else ""}
//   CELLS:   every member of Cells under its own name; texts as strings,
//            options as booleans, txtSize and txtSwap as arrays of strings.
//
// The reply carries no message text: the caller makes it from the status,
// the failure number and the reason, as the lookup in this process does.
// A search on an order server sends the request of orderserver.h instead.
inline constexpr int lookupWireFormat = 1;

QJsonObject cellsToJson(const Cells &cells);
// False, with `cells` untouched, unless every member is there with its type.
bool cellsFromJson(const QJsonObject &json, Cells &cells);

QByteArray encodeLookupRequest(const std::string &databasePath, const Cells &cells);
bool decodeLookupRequest(const QByteArray &bytes, std::string &databasePath, Cells &cells);

QByteArray encodeLookupReply(const LookupOutcome &outcome, const Cells &cells);
// False, with both untouched, for anything but a complete, well-formed reply;
// the outcome's message is filled in from its status and number.
bool decodeLookupReply(const QByteArray &bytes, LookupOutcome &outcome, Cells &cells);

} // namespace sheetcraft
