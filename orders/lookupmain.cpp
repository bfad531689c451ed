// sheetcraft-lookup: one order search, run by the program in a process of its
// own so that a damaged database that makes the library crash or misbehave
// cannot take the program with it. Reads a request on standard input and
// writes the reply on standard output, both in the format of lookupwire.h.
// Exit status: 0 with a reply, 2 for a request it cannot read.

#include "lookupwire.h"
#include "mdbreader.h"
#include "orderlookup.h"
#include "orderserver.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <new>
#include <optional>

using namespace sheetcraft;

int main(int argc, char *argv[]) {
    std::ios::sync_with_stdio(false);
    const std::string input{std::istreambuf_iterator<char>(std::cin),
                            std::istreambuf_iterator<char>()};
    std::string databasePath, server;
    Cells cells;
    const bool onServer = decodeServerRequest(QByteArray::fromStdString(input), server, cells);
    // The SQL driver is a plugin, found through the application object.
    std::optional<QCoreApplication> app;
    if (onServer)
        app.emplace(argc, argv);
    if (!onServer && !decodeLookupRequest(QByteArray::fromStdString(input), databasePath, cells)) {
        std::fputs("sheetcraft-lookup: not a lookup request\n", stderr);
        return 2;
    }
    LookupOutcome outcome;
    try {
        outcome = onServer ? searchServerInProcess(cells, server)
                           : searchOrdersInProcess(cells, databasePath);
    } catch (...) {
        outcome = {LookupOutcome::Status::Failed, mdberr::notADatabase};
    }
    const QByteArray reply = encodeLookupReply(outcome, cells);
    if (std::fwrite(reply.constData(), 1, reply.size(), stdout) != std::size_t(reply.size()) ||
        std::fflush(stdout) != 0)
        return 1;
    return 0;
}
