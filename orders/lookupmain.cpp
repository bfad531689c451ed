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

#include <glib.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <new>
#include <optional>

using namespace sheetcraft;

namespace {

// The library prints warnings, and dumps whole pages of a damaged file, to
// both standard streams; a looping one prints without end. The caller's
// terminal or pipe gets the first few lines only.
constexpr int warningLines = 5;
int linesLeft = warningLines;

ssize_t boundedWrite(void *, const char *text, size_t size) {
    static const char dropped[] = "sheetcraft-lookup: further warnings dropped\n";
    const char *end = text + size;
    for (const char *p = text; p < end && linesLeft > 0;) {
        const char *newline = std::find(p, end, '\n');
        const char *stop = newline == end ? end : newline + 1;
        if (::write(STDERR_FILENO, p, static_cast<size_t>(stop - p)) < 0)
            linesLeft = 0;
        if (newline != end && --linesLeft == 0 &&
            ::write(STDERR_FILENO, dropped, sizeof dropped - 1) < 0)
            break;
        p = stop;
    }
    return static_cast<ssize_t>(size);
}

void boundedPrint(const gchar *text) {
    std::fputs(text, stderr);
}

void boundedLog(const gchar *, GLogLevelFlags, const gchar *message, gpointer) {
    std::fprintf(stderr, "%s\n", message);
}

// Routes both standard streams through the bound and keeps the reply's own
// descriptor, so that nothing the library prints can garble the reply.
int takeOverOutput() {
    const int reply = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (reply < 0 || null < 0 || ::dup2(null, STDOUT_FILENO) < 0)
        return -1;
    ::close(null);
    FILE *bounded = ::fopencookie(nullptr, "w", {nullptr, boundedWrite, nullptr, nullptr});
    if (!bounded)
        return -1;
    std::setvbuf(bounded, nullptr, _IOLBF, 0);
    stdout = bounded;
    stderr = bounded;
    g_set_print_handler(boundedPrint);
    g_set_printerr_handler(boundedPrint);
    g_log_set_default_handler(boundedLog, nullptr);
    return reply;
}

// A second line of defence behind the reader's checks: whatever the library
// does with a damaged file, it ends within these. A search holds the file
// mapped and little else, and reads it once, so both grow with its size:
// the million-order database (157 MB) needs about a tenth of each.
void limitResources(const std::string &databasePath) {
    std::string path = databasePath;
    std::replace(path.begin(), path.end(), '\\', '/');
    struct stat st {};
    const rlim_t size = ::stat(path.c_str(), &st) == 0 ? static_cast<rlim_t>(st.st_size) : 0;
    const rlim_t mb = 1024 * 1024;
    const rlim_t seconds = 10 + size / (4 * mb);
    const rlimit cpu{seconds, seconds + 2}; // then SIGKILL, should SIGXCPU be caught
    ::setrlimit(RLIMIT_CPU, &cpu);
    const rlimit noCore{0, 0}; // a helper ended by a limit leaves nothing behind
    ::setrlimit(RLIMIT_CORE, &noCore);
#if !defined(__SANITIZE_ADDRESS__)
    // The address sanitizer reserves terabytes up front: no cap under it.
    const rlimit space{512 * mb + 2 * size, 512 * mb + 2 * size};
    ::setrlimit(RLIMIT_AS, &space);
#endif
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// In place of the address-space cap, which the sanitizer cannot run under:
// its own watch on resident memory, so that a runaway in a test build ends
// too. The million-order database takes about 550 MB here.
extern "C" const char *__asan_default_options() {
    return "hard_rss_limit_mb=3072";
}
#endif

namespace {

bool writeAll(int fd, const QByteArray &bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    const int replyFd = takeOverOutput();
    if (replyFd < 0)
        return 1;
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
    limitResources(databasePath);
    LookupOutcome outcome;
    try {
        outcome = onServer ? searchServerInProcess(cells, server)
                           : searchOrdersInProcess(cells, databasePath);
    } catch (...) {
        outcome = {LookupOutcome::Status::Failed, mdberr::notADatabase};
    }
    return writeAll(replyFd, encodeLookupReply(outcome, cells)) ? 0 : 1;
}
