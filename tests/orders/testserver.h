#pragma once

#include <optional>
#include <string>

namespace sheetcraft::test {

// A throw-away PostgreSQL server for this test process (tools/pgserver.sh),
// started on first use and stopped at exit. Where it cannot start, the
// calling test fails under CI=true; elsewhere it is told once why and the
// server's half of each test is left out.
//
// A new database on it, loaded from the .mdb file the way the README shows
// (mdb-schema … postgres, mdb-export -I postgres), then `sql` run on it.
// Gives its connection text.
std::optional<std::string> serverCopyOf(const std::string &mdbPath, const std::string &sql = {});

// Runs `sql` through psql on the database of `connection`; its output.
std::string psql(const std::string &connection, const std::string &sql);

// The folder of the server's Unix socket.
std::string serverSocketFolder();

} // namespace sheetcraft::test
