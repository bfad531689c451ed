#pragma once

#include "outcome.h"

#include <QString>

namespace sheetcraft {

inline constexpr const char *serverFileName = "OrderServer.txt";

// Where Search takes orders from: the database file (the default) or an
// order server, with the server's connection text as the user typed it
// (libpq's forms; never a password).
struct ServerSettings {
    bool useServer = false;
    QString connection;
    friend bool operator==(const ServerSettings &, const ServerSettings &) = default;
};

// Reads the "source=file|server" and "connection=..." lines; a missing or
// unreadable file, or a line of another kind, leaves the defaults.
ServerSettings readServerSettings();

// Writes the file safely; on failure says why.
[[nodiscard]] Outcome writeServerSettings(const ServerSettings &settings);

} // namespace sheetcraft
