#include "orderlookup.h"

#include "mdbreader.h"
#include "orderserver.h"
#include "val.h"

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

LookupOutcome failure(int number) {
    return {LookupOutcome::Status::Failed, number};
}

} // namespace

Outcome lookupSays(const LookupOutcome &lookup) {
    Outcome said;
    if (lookup.status == LookupOutcome::Status::NotFound) {
        said.say(MessageKind::OrderNotFound);
    } else if (lookup.status == LookupOutcome::Status::Failed &&
               isServerFailure(lookup.errorNumber)) {
        // A server that cannot be used is told and the program goes on.
        said.say(Message(MessageKind::ServerFailed, lookup.errorNumber,
                         serverFailureText(lookup.errorNumber),
                         lookup.reason.empty() ? "" : "\n\n" + lookup.reason));
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

LookupOutcome SearchOrders(Cells &cells, const std::string &databasePath, SearchWait *wait) {
    return searchOrdersIsolated(cells, databasePath, wait);
}

// ---- the window's handlers ------------------------------------------------

OrderLookup::OrderLookup(LayoutSession &session) : m_session(session) {}

Outcome OrderLookup::cmdSearch_Click() {
    m_last = {};
    Outcome said;
    Cells &cells = m_session.cells;
    if (Val(cells.txtSearch) > 0 && !textMode) {
        m_last = serverConnection.empty() ? SearchOrders(cells, databasePath, wait)
                                          : searchServerIsolated(cells, serverConnection, wait);
        // A search the user gave up on changes nothing, not even the drawing.
        if (m_last.status == LookupOutcome::Status::Cancelled)
            return said;
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
