#include "orderlookup.h"

#include "mdbreader.h"
#include "val.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sheetcraft {

namespace {

const std::string blankNumberCell(15, ' ');

// A null in these optional text fields is copied as an empty text, so that
// one incomplete order does not stop every search that reaches it.
std::string textOrEmpty(const MdbValue &v) {
    return v.isNull() ? std::string() : v.asText();
}

// "PartNo" against the part cell: a number by value, a text exactly; a null
// never matches.
bool partMatches(const MdbValue &part, const std::string &partText) {
    if (part.isNumber())
        return part.numberValue() == Val(partText);
    if (part.isText())
        return part.asText() == partText;
    return false;
}

// Press keys match only as values of the same kind.
bool sameKey(const MdbValue &a, const MdbValue &b) {
    if (a.isNumber() && b.isNumber())
        return a.numberValue() == b.numberValue();
    if (a.isText() && b.isText())
        return a.asText() == b.asText();
    return false;
}

void fillFromOrder(Cells &cells, const MdbTable &order, MdbTable &presses, bool quote,
                   const std::string &key) {
    cells.txtName = textOrEmpty(order.field("AcctName"));
    cells.txtDesc = textOrEmpty(order.field("Description"));
    cells.txtStockDesc = textOrEmpty(order.field("StockDesc"));
    cells.txtSize[0] = order.field("PressFinishedSize").asText();
    cells.txtSize[1] = order.field("PressSize").asText();
    MdbValue parent = order.field("StockParentSize");
    // No parent size on file: the job runs on press sheets as bought.
    cells.txtSize[2] = parent.isNull() ? cells.txtSize[1] : parent.asText();
    cells.txtQuote = quote ? key : blankNumberCell;
    cells.txtJob = quote ? blankNumberCell : key;

    MdbValue pressId = order.field("PressID");
    // Every press with the key is applied, so the last one in the table wins.
    for (; !presses.eof(); presses.moveNext()) {
        if (!sameKey(presses.field("PressID"), pressId))
            continue;
        MdbValue grip = presses.field("GripperWidth");
        MdbValue gutter = presses.field("GutterWidth");
        if (!grip.isNull())
            cells.txtGrip = grip.asText();
        if (!gutter.isNull())
            cells.txtGutter = gutter.asText();
    }
}

// ---- the child's report over the pipe ------------------------------------

constexpr std::uint32_t reportMagic = 0x53435246; // marks a complete report

std::vector<std::string *> reportedCells(Cells &c) {
    return {&c.txtSearch,  &c.txtPartNo,  &c.txtName,  &c.txtDesc, &c.txtStockDesc, &c.txtSize[0],
            &c.txtSize[1], &c.txtSize[2], &c.txtQuote, &c.txtJob,  &c.txtGrip,      &c.txtGutter};
}

void put32(std::string &out, std::uint32_t v) {
    out.append(reinterpret_cast<const char *>(&v), 4);
}

void putString(std::string &out, const std::string &s) {
    put32(out, static_cast<std::uint32_t>(s.size()));
    out += s;
}

std::string encodeReport(const LookupOutcome &outcome, Cells &cells) {
    std::string out;
    put32(out, static_cast<std::uint32_t>(outcome.status));
    put32(out, static_cast<std::uint32_t>(outcome.errorNumber));
    for (std::string *s : reportedCells(cells))
        putString(out, *s);
    put32(out, reportMagic);
    return out;
}

class ReportReader {
public:
    explicit ReportReader(const std::string &data) : m_data(data) {}
    bool get32(std::uint32_t &v) {
        if (m_data.size() - m_pos < 4)
            return false;
        std::memcpy(&v, m_data.data() + m_pos, 4);
        m_pos += 4;
        return true;
    }
    bool getString(std::string &s) {
        std::uint32_t n = 0;
        if (!get32(n) || m_data.size() - m_pos < n)
            return false;
        s.assign(m_data, m_pos, n);
        m_pos += n;
        return true;
    }
    bool atEnd() const { return m_pos == m_data.size(); }

private:
    const std::string &m_data;
    std::size_t m_pos = 0;
};

bool decodeReport(const std::string &data, LookupOutcome &outcome, Cells &cells) {
    ReportReader r(data);
    std::uint32_t status = 0;
    std::uint32_t number = 0;
    LookupOutcome o;
    if (!r.get32(status) || status > static_cast<std::uint32_t>(LookupOutcome::Status::Failed) ||
        !r.get32(number))
        return false;
    o.status = static_cast<LookupOutcome::Status>(status);
    o.errorNumber = static_cast<int>(number);
    Cells copy = cells;
    for (std::string *s : reportedCells(copy)) {
        if (!r.getString(*s))
            return false;
    }
    std::uint32_t magic = 0;
    if (!r.get32(magic) || magic != reportMagic || !r.atEnd())
        return false;
    outcome = o;
    cells = copy;
    return true;
}

void writeAll(int fd, const std::string &data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

LookupOutcome failure(int number) {
    return {LookupOutcome::Status::Failed, number};
}

} // namespace

Outcome lookupSays(const LookupOutcome &lookup) {
    Outcome said;
    if (lookup.status == LookupOutcome::Status::NotFound) {
        said.say(MessageKind::OrderNotFound);
    } else if (lookup.status == LookupOutcome::Status::Failed) {
        const bool badFolder = lookup.errorNumber == mdberr::invalidPath;
        said.say(badFolder ? MessageKind::InvalidDatabase : MessageKind::LookupFailed,
                 lookup.errorNumber);
        said.then = badFolder ? FollowUp::ShowFolderWindow : FollowUp::EndProgram;
    }
    return said;
}

LookupOutcome searchOrdersInProcess(Cells &cells, const std::string &databasePath) {
    try {
        MdbReader db(databasePath);
        MdbTable orders = db.table("Orders");
        MdbTable presses = db.table("Presses");

        while (cells.txtSearch.size() < 8)
            cells.txtSearch.insert(0, "0");
        const std::string key = cells.txtSearch;
        const bool quote = !cells.optJob;
        const std::string kind = quote ? "Q" : "J";
        double part = Val(cells.txtPartNo);
        if (part <= 0 || part > 9 || cells.txtPartNo.empty())
            cells.txtPartNo = "1";
        const double keyValue = Val(key);

        for (; !orders.eof(); orders.moveNext()) {
            MdbValue recordKind = orders.field("QuoteorJob");
            if (recordKind.isNull() || recordKind.asText() != kind)
                continue;
            // Both fields are read for every order of the kind, so a table
            // lacking one fails at once rather than only on a near match.
            MdbValue number = orders.field("OrderNo");
            MdbValue partNo = orders.field("PartNo");
            // An order of the kind with no number cannot be the one asked for.
            if (number.isNull())
                continue;
            if (Val(number.asText()) == keyValue && partMatches(partNo, cells.txtPartNo)) {
                fillFromOrder(cells, orders, presses, quote, key);
                return {LookupOutcome::Status::Found, 0};
            }
        }
        return {LookupOutcome::Status::NotFound, 0};
    } catch (const MdbError &e) {
        return failure(e.number());
    } catch (const std::bad_alloc &) {
        return failure(mdberr::notADatabase);
    }
}

LookupOutcome searchOrdersIsolated(Cells &cells, const std::string &databasePath,
                                   std::chrono::milliseconds timeLimit) {
    return runLookupIsolated(
        cells, [&](Cells &c) { return searchOrdersInProcess(c, databasePath); }, timeLimit);
}

LookupOutcome runLookupIsolated(Cells &cells, const std::function<LookupOutcome(Cells &)> &lookup,
                                std::chrono::milliseconds timeLimit) {
    // A child that cannot be started is a failure of the lookup: the library
    // is never run on the file in this process.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return failure(lookuperr::tooManyFiles);
    // Let the allocator merge its small freed blocks here and now. Left to
    // the child, the merge writes to every page of the inherited heap, and
    // each write copies a page: seconds for a heap that once held many small
    // objects.
    void *volatile block = std::malloc(64 * 1024); // volatile: kept by the optimiser
    std::free(block);
    pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return failure(lookuperr::outOfMemory);
    }
    if (child == 0) {
        // The child: keep the library's complaints about damaged files off
        // the user's terminal, do the lookup, report, and leave without
        // running the parent's exit handlers.
        ::close(fds[0]);
        int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0)
            ::dup2(devNull, STDERR_FILENO);
        LookupOutcome outcome;
        try {
            outcome = lookup(cells);
        } catch (...) {
            outcome = failure(mdberr::notADatabase);
        }
        writeAll(fds[1], encodeReport(outcome, cells));
        ::_exit(0);
    }

    ::close(fds[1]);
    std::string data;
    bool timedOut = false;
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buf[4096];
        ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }

    LookupOutcome outcome;
    bool clean = !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!clean || !decodeReport(data, outcome, cells))
        return failure(mdberr::notADatabase);
    return outcome;
}

LookupOutcome SearchOrders(Cells &cells, const std::string &databasePath) {
    return searchOrdersIsolated(cells, databasePath);
}

// ---- the window's handlers ------------------------------------------------

OrderLookup::OrderLookup(LayoutSession &session) : m_session(session) {}

Outcome OrderLookup::cmdSearch_Click() {
    m_last = {};
    Outcome said;
    Cells &cells = m_session.cells;
    if (Val(cells.txtSearch) > 0 && !textMode) {
        m_last = SearchOrders(cells, databasePath);
        said = lookupSays(m_last);
        if (said.then == FollowUp::EndProgram)
            return said;
    }
    // Clear: both diagrams back to frame 1 and redrawn.
    said.add(m_session.Command1_Click());
    return said;
}

Outcome OrderLookup::txtPartNo_Change() {
    Outcome said;
    double part = Val(m_session.cells.txtPartNo);
    if (part > 9 || part <= 0) {
        said.say(MessageKind::PartNumberRange);
        said.then = FollowUp::FocusPartNumber;
        m_session.cells.txtPartNo = "1";
    }
    return said;
}

} // namespace sheetcraft
