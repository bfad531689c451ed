#include "testserver.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace sheetcraft::test {

namespace {

// Standard output and error of a shell command; `ok` whether it succeeded.
std::string shell(const std::string &command, bool *ok = nullptr) {
    std::string out;
    FILE *p = ::popen((command + " 2>&1").c_str(), "r");
    char buf[4096];
    for (std::size_t n; p && (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    const bool done = p && ::pclose(p) == 0;
    if (ok)
        *ok = done;
    return out;
}

std::string quoted(const std::string &s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct Server {
    // In /tmp whatever TMPDIR says: a Unix socket's path may not exceed 107 bytes.
    std::string folder = "/tmp/sheetcraft-pgXXXXXX";
    std::string connection, problem;
    Server() {
        bool ok = ::mkdtemp(folder.data()) != nullptr;
        const std::string out =
            ok ? shell(PGSERVER_SCRIPT " start " + folder + " " + std::to_string(::getpid()), &ok)
               : "no temporary folder";
        if (ok)
            connection = out.substr(0, out.find('\n'));
        else
            problem = "The throw-away PostgreSQL server did not start: " + out;
    }
    ~Server() { shell(PGSERVER_SCRIPT " stop " + folder); }
};

Server &server() {
    static Server s;
    return s;
}

} // namespace

std::string psql(const std::string &connection, const std::string &sql) {
    bool ok = false;
    const std::string out = shell(
        "psql -X -q -A -t -v ON_ERROR_STOP=1 " + quoted(connection) + " -c " + quoted(sql), &ok);
    EXPECT_TRUE(ok) << sql << "\n" << out;
    return out;
}

std::string serverSocketFolder() {
    return server().folder;
}

std::optional<std::string> serverCopyOf(const std::string &mdbPath, const std::string &sql) {
    Server &s = server();
    if (!s.problem.empty()) {
        const char *ci = std::getenv("CI");
        if (ci && std::string(ci) == "true")
            ADD_FAILURE() << s.problem;
        static bool told = false;
        if (!std::exchange(told, true))
            std::fprintf(stderr, "%s\nThe order server's half of these tests is left out.\n",
                         s.problem.c_str());
        return std::nullopt;
    }
    static int made = 0;
    const std::string name = "copy" + std::to_string(++made);
    psql(s.connection, "CREATE DATABASE " + name);
    const std::string target = "host=" + s.folder + " user=sheetcraft dbname=" + name;
    const std::string mdb = quoted(mdbPath),
                      load = "psql -X -q -v ON_ERROR_STOP=1 " + quoted(target);
    bool ok = false;
    const std::string out = shell("{ mdb-schema " + mdb + " postgres && for t in $(mdb-tables -1 " +
                                      mdb + "); do mdb-export -I postgres " + mdb +
                                      " \"$t\" || exit 1; done; } 2>/dev/null | " + load,
                                  &ok);
    EXPECT_TRUE(ok) << out;
    if (!sql.empty())
        psql(target, sql);
    return target;
}

} // namespace sheetcraft::test
