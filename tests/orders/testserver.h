#pragma once

#include <optional>
#include <string>

namespace sheetcraft::test {

// A new database on this test process's throw-away PostgreSQL server
// (tools/pgserver.sh, started on first use, stopped at exit), loaded from the
// .mdb file as the README shows (mdb-schema … postgres, mdb-export -I
// postgres), then `sql` run on it; its connection text. Without a server the
// test fails under CI=true, and elsewhere is told once why and gets nothing.
std::optional<std::string> serverCopyOf(const std::string &mdbPath, const std::string &sql = {});

// Runs `sql` through psql on `connection`; its output.
std::string psql(const std::string &connection, const std::string &sql);

// The folder of the server's Unix socket.
std::string serverSocketFolder();

} // namespace sheetcraft::test
