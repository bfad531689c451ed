#pragma once

#include "orderlookup.h"

#include <QByteArray>
#include <QString>

#include <chrono>

class QProcess;

namespace sheetcraft {

// A search still running after this long is shown as waiting, with a way out.
inline constexpr std::chrono::milliseconds searchProgressDelay{500};

// Waits for a search that has run past searchProgressDelay. The window shows
// "Searching orders…" with Cancel; without one the search is simply awaited.
class SearchWait {
public:
    virtual ~SearchWait() = default;
    // Returns true once `helper` has finished, false when the user gave up
    // first (the caller then stops the helper).
    virtual bool waitForHelper(QProcess &helper) = 0;
};

// Runs the helper with `request` (lookupwire.h, orderserver.h) and takes its
// reply, as searchOrdersIsolated does for the database file.
LookupOutcome runLookupHelper(Cells &cells, const QByteArray &request, SearchWait *wait);

// The helper program that runs one search (sheetcraft-lookup): the path set
// below if any, else the first that exists of: beside the running program,
// the installed libexec folder, where the build put it. Empty if none does.
QString lookupHelperPath();

// Makes every search run `path` instead; tests use stand-in helpers. An empty
// path goes back to finding the real one.
void setLookupHelperPath(const QString &path);

} // namespace sheetcraft
