#include "testserver.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace sheetcraft::test {

namespace {

std::string output(const std::string &command, int &status) {
    std::string out;
    FILE *p = ::popen(command.c_str(), "r");
    char buf[4096];
    for (std::size_t n; p && (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    status = p ? ::pclose(p) : -1;
    return out;
}

std::string quotedArg(const std::string &s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct Server {
    std::string folder, connection, problem;
    Server() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pgXXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            problem = "No temporary folder for the PostgreSQL server.";
            return;
        }
        folder = pattern;
        int status = 0;
        const std::string out =
            output(PGSERVER_SCRIPT " start " + folder + " " + std::to_string(::getpid()) + " 2>&1",
                   status);
        if (status == 0)
            connection = out.substr(0, out.find('\n'));
        else
            problem = "The throw-away PostgreSQL server did not start: " + out;
    }
    ~Server() {
        int status = 0;
        if (!folder.empty())
            output(PGSERVER_SCRIPT " stop " + folder, status);
    }
};

Server &server() {
    static Server s;
    return s;
}

} // namespace

std::string psql(const std::string &connection, const std::string &sql) {
    int status = 0;
    const std::string out = output("psql -X -q -A -t -v ON_ERROR_STOP=1 " + quotedArg(connection) +
                                       " -c " + quotedArg(sql) + " 2>&1",
                                   status);
    EXPECT_EQ(status, 0) << sql << "\n" << out;
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
        if (!told)
            std::fprintf(stderr, "%s\nThe order server's half of these tests is left out.\n",
                         s.problem.c_str());
        told = true;
        return std::nullopt;
    }
    static int made = 0;
    const std::string name = "copy" + std::to_string(++made);
    psql(s.connection, "CREATE DATABASE " + name);
    const std::string target = "host=" + s.folder + " user=sheetcraft dbname=" + name;
    const std::string mdb = quotedArg(mdbPath);
    int status = 0;
    const std::string out =
        output("{ mdb-schema " + mdb + " postgres && for t in $(mdb-tables -1 " + mdb +
                   "); do mdb-export -I postgres " + mdb +
                   " \"$t\" || exit 1; done; } 2>/dev/null | "
                   "psql -X -q -v ON_ERROR_STOP=1 " +
                   quotedArg(target) + " 2>&1",
               status);
    EXPECT_EQ(status, 0) << out;
    if (!sql.empty())
        psql(target, sql);
    return target;
}

} // namespace sheetcraft::test
