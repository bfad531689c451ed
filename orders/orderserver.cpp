#include "orderserver.h"

#include "lookupprocess.h"
#include "lookupwire.h"
#include "mdbreader.h"
#include "val.h"

#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <QVariant>

#include <libpq-fe.h>
#include <poll.h>

#include <cctype>
#include <chrono>
#include <memory>
#include <optional>
#include <regex>

namespace sheetcraft {

namespace {

const std::string blankNumberCell(15, ' ');

struct Failure {
    int number;
    std::string reason;
};

// libpq's conninfo quoting: single quotes, with \ and ' escaped.
std::string quoted(const std::string &value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\\' || c == '\'')
            out += '\\';
        out += c;
    }
    return out + "'";
}

// One connection for one search, removed from Qt's list when done.
class ServerSession {
public:
    explicit ServerSession(const ServerConnection &connection)
        : m_name(QUuid::createUuid().toString()), m_connection(connection) {}
    ~ServerSession() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isValid())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    ServerSession(const ServerSession &) = delete;
    ServerSession &operator=(const ServerSession &) = delete;

    std::optional<Failure> open();
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    // The failure behind a query error: timeout, lost connection, missing table or column.
    Failure failureOf(const QSqlError &error) const;

private:
    QString m_name;
    const ServerConnection &m_connection;
};

std::optional<Failure> ServerSession::open() {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return Failure{servererr::noDriver, "the Qt PostgreSQL driver (libqt6sql6-psql)"};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    // The driver quotes these four itself; the others go as connect options,
    // which it splits at ';', so none of those may hold one (parse checked).
    QStringList options;
    for (const auto &[key, value] : m_connection.settings) {
        const QString v = QString::fromStdString(value);
        if (key == "host")
            db.setHostName(v);
        else if (key == "dbname")
            db.setDatabaseName(v);
        else if (key == "user")
            db.setUserName(v);
        else
            options << QString::fromStdString(key + "=" + quoted(value));
    }
    db.setConnectOptions(options.join(u';'));
    if (db.open())
        return std::nullopt;
    const std::string reason = db.lastError().databaseText().simplified().toStdString();
    // The driver keeps no error code of a failed connection: connect again
    // through libpq, which can give the server's code.
    std::vector<const char *> keys, values;
    for (const auto &[key, value] : m_connection.settings) {
        keys.push_back(key.c_str());
        values.push_back(value.c_str());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    std::unique_ptr<PGconn, decltype(&PQfinish)> probe(
        PQconnectStartParams(keys.data(), values.data(), 0), PQfinish);
    if (!probe)
        return Failure{servererr::noServer, reason};
    PQsetErrorVerbosity(probe.get(), PQERRORS_SQLSTATE);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(serverConnectSeconds);
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{PQsocket(probe.get()),
                    static_cast<short>(state == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        if (left.count() <= 0 || wait.fd < 0 || ::poll(&wait, 1, int(left.count())) <= 0)
            break;
        state = PQconnectPoll(probe.get());
    }
    // The server's code first: a password may have been right and the database missing.
    std::smatch code;
    const std::string said = PQerrorMessage(probe.get());
    if (std::regex_search(said, code, std::regex("(FATAL|ERROR): +([0-9A-Z]{5})"))) {
        const std::string sqlState = code[2];
        if (sqlState == "3D000")
            return Failure{servererr::noDatabase, reason};
        if (sqlState.starts_with("28"))
            return Failure{servererr::refused, reason};
        return Failure{servererr::serverError, reason};
    }
    if (PQconnectionNeedsPassword(probe.get())) // asked for one and none was found
        return Failure{servererr::refused, reason};
    return Failure{servererr::noServer, reason};
}

Failure ServerSession::failureOf(const QSqlError &error) const {
    const QString state = error.nativeErrorCode();
    const std::string reason = error.databaseText().simplified().toStdString();
    if (state == QLatin1String("42P01"))
        return {mdberr::tableNotFound, reason};
    if (state == QLatin1String("42703"))
        return {mdberr::fieldNotFound, reason};
    if (state == QLatin1String("57014"))
        return {servererr::timedOut, reason};
    const QVariant handle = db().driver()->handle();
    auto *conn = handle.isValid() ? *static_cast<PGconn *const *>(handle.constData()) : nullptr;
    if (!conn || PQstatus(conn) != CONNECTION_OK || state.startsWith(QLatin1String("08")) ||
        state.startsWith(QLatin1String("57P")))
        return {servererr::connectionLost, reason};
    return {servererr::serverError, reason};
}

// A server value as the database file's reader gives it: null, a number with
// its shortest decimal text, or a text.
MdbValue valueOf(const QVariant &v) {
    if (v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return MdbValue::number(v.toBool() ? -1 : 0, v.toBool() ? "True" : "False");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return MdbValue::number(v.toDouble(), v.toString().toStdString());
    case QMetaType::Float:
        return MdbValue::number(v.toFloat(), shortestDecimal(v.toFloat()));
    case QMetaType::Double:
        return MdbValue::number(v.toDouble(), shortestDecimal(v.toDouble()));
    default:
        return MdbValue::text(v.toString().toStdString());
    }
}

using Row = QSqlRecord;

// A field by name (letter case ignored, as the file's reader does); 3265 when absent.
MdbValue field(const Row &row, const char *name) {
    const int i = row.indexOf(QLatin1String(name));
    if (i < 0)
        throw MdbError(mdberr::fieldNotFound,
                       std::string("Item not found in this collection. (") + name + ")");
    return valueOf(row.value(i));
}

std::string textOrEmpty(const MdbValue &v) {
    return v.isNull() ? std::string() : v.asText();
}

bool partMatches(const MdbValue &part, const std::string &partText) {
    if (part.isNumber())
        return part.numberValue() == Val(partText);
    return part.isText() && part.asText() == partText;
}

bool sameKey(const MdbValue &a, const MdbValue &b) {
    if (a.isNumber() && b.isNumber())
        return a.numberValue() == b.numberValue();
    return a.isText() && b.isText() && a.asText() == b.asText();
}

// The candidates for an order number of this value, as ranges of its text
// once leading zeros and blanks are dropped (what the index holds). A whole
// number's digits followed by anything but another digit: "123", "123 ",
// "123.0", but not "1234". Otherwise, every text starting with the number's
// shortest form ("12.5" also finds "12.50"). Either way a superset: the
// file's exact comparison decides.
struct NumberRanges {
    std::string from1, to1, from2, to2;
};
NumberRanges candidateRanges(double value) {
    std::string text = shortestDecimal(value);
    text.erase(0, text.find_first_not_of('0'));
    const bool whole = !text.empty() && text.find_first_not_of("-0123456789") == std::string::npos;
    std::string next = text; // the first text past every one starting with `text`
    if (!next.empty())
        ++next.back();
    if (!whole)
        return {text, next.empty() ? "\xf4\x8f\xbf\xbf" : next, "", ""};
    return {text, text + "0", text + ":", next};
}

std::vector<Row> readAll(QSqlQuery &query) {
    std::vector<Row> rows;
    while (query.next())
        rows.push_back(query.record());
    return rows;
}

LookupOutcome failed(int number, std::string reason = {}) {
    // The file's own numbers carry no words of the server's, so they read alike.
    return {LookupOutcome::Status::Failed, number,
            isServerFailure(number) ? std::move(reason) : std::string()};
}

} // namespace

bool isServerFailure(int number) {
    return number >= servererr::noDriver && number <= servererr::serverError;
}

std::string serverFailureText(int number) {
    switch (number) {
    case servererr::noDriver:
        return "the PostgreSQL driver is not installed";
    case servererr::badConnection:
        return "the connection text cannot be used";
    case servererr::noServer:
        return "no order server answers at that address";
    case servererr::refused:
        return "the server refused the user name or password";
    case servererr::noDatabase:
        return "the server has no such database";
    case servererr::timedOut:
        return "the server took too long to answer";
    case servererr::connectionLost:
        return "the connection to the server was lost during the search";
    default:
        return "the server reported an error";
    }
}

ServerConnection parseServerConnection(const std::string &text) {
    ServerConnection result;
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(text.c_str(), &error);
    if (!options) {
        result.error = error ? std::string(error) : "out of memory";
        PQfreemem(error);
        while (!result.error.empty() &&
               std::isspace(static_cast<unsigned char>(result.error.back())))
            result.error.pop_back();
        return result;
    }
    std::string userOptions;
    bool connectTimeout = false;
    for (PQconninfoOption *o = options; o->keyword; ++o) {
        if (!o->val)
            continue;
        const std::string key = o->keyword, value = o->val;
        if (key == "password") {
            result.error = "a password does not belong in the connection text: keep it in "
                           "~/.pgpass, PGPASSFILE or the service file";
        } else if (key == "options") {
            userOptions = value;
            continue;
        } else if (value.find(';') != std::string::npos) {
            result.error = "the value of " + key + " holds a ';'";
        }
        connectTimeout |= key == "connect_timeout";
        result.settings.emplace_back(key, value);
    }
    PQconninfoFree(options);
    if (!connectTimeout)
        result.settings.emplace_back("connect_timeout", std::to_string(serverConnectSeconds));
    // Read only and time-limited from the first statement; the shop's own
    // options come after ours, so a setting of theirs wins.
    result.settings.emplace_back("options", "-c default_transaction_read_only=on -c "
                                            "statement_timeout=" +
                                                std::to_string(serverStatementSeconds * 1000) +
                                                (userOptions.empty() ? "" : " " + userOptions));
    result.settings.emplace_back("application_name", "sheetcraft");
    return result;
}

LookupOutcome searchServerInProcess(Cells &cells, const std::string &connection) {
    const ServerConnection parsed = parseServerConnection(connection);
    if (!parsed.ok())
        return failed(servererr::badConnection, parsed.error);
    ServerSession session(parsed);
    if (auto failure = session.open())
        return failed(failure->number, failure->reason);

    std::string key = cells.txtSearch;
    while (key.size() < 8)
        key.insert(0, "0");
    const bool quote = !cells.optJob;
    const double keyValue = Val(key);

    // Both tables in one read-only snapshot, before any cell changes. Only
    // the orders of the kind whose number starts with the right digits are
    // fetched; the exact comparisons below are those of the file's search.
    QSqlDatabase db = session.db();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(
            QStringLiteral("START TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"))) {
        const Failure f = session.failureOf(query.lastError());
        return failed(f.number, f.reason);
    }
    std::optional<Failure> columnMissing;
    std::vector<Row> orders;
    // Byte-wise comparisons (~>=~, ~<~), which the index's text_pattern_ops
    // serves whatever the database's collation and whatever the values.
    const bool prepared = query.prepare(QStringLiteral(
        "SELECT * FROM orders WHERE quoteorjob = ? AND (ltrim(orderno::text, ' 0') ~>=~ ? AND "
        "ltrim(orderno::text, ' 0') ~<~ ? OR ltrim(orderno::text, ' 0') ~>=~ ? AND "
        "ltrim(orderno::text, ' 0') ~<~ ?) ORDER BY ctid"));
    query.addBindValue(QString::fromLatin1(quote ? "Q" : "J"));
    const NumberRanges ranges = candidateRanges(keyValue);
    for (const std::string *bound : {&ranges.from1, &ranges.to1, &ranges.from2, &ranges.to2})
        query.addBindValue(QString::fromStdString(*bound));
    if (prepared && query.exec()) {
        orders = readAll(query);
    } else {
        Failure f = session.failureOf(query.lastError());
        // The file's search reports a missing column only after padding the
        // number: so does this one, once "presses" is known to be there.
        if (f.number != mdberr::fieldNotFound)
            return failed(f.number, f.reason);
        columnMissing = f;
        query.exec(QStringLiteral("ROLLBACK"));
        query.exec(QStringLiteral("START TRANSACTION READ ONLY"));
    }
    if (!query.exec(QStringLiteral("SELECT * FROM presses"))) {
        const Failure f = session.failureOf(query.lastError());
        return failed(f.number, f.reason);
    }
    const std::vector<Row> presses = readAll(query);
    if (query.lastError().isValid()) {
        const Failure f = session.failureOf(query.lastError());
        return failed(f.number, f.reason);
    }
    query.exec(QStringLiteral("COMMIT"));

    cells.txtSearch = key;
    const double part = Val(cells.txtPartNo);
    if (part <= 0 || part > 9 || cells.txtPartNo.empty())
        cells.txtPartNo = "1";
    if (columnMissing)
        return failed(columnMissing->number, columnMissing->reason);
    try {
        for (const Row &order : orders) {
            const MdbValue number = field(order, "OrderNo");
            const MdbValue partNo = field(order, "PartNo");
            if (number.isNull() || Val(number.asText()) != keyValue ||
                !partMatches(partNo, cells.txtPartNo))
                continue;
            cells.txtName = textOrEmpty(field(order, "AcctName"));
            cells.txtDesc = textOrEmpty(field(order, "Description"));
            cells.txtStockDesc = textOrEmpty(field(order, "StockDesc"));
            cells.txtSize[0] = field(order, "PressFinishedSize").asText();
            cells.txtSize[1] = field(order, "PressSize").asText();
            const MdbValue parent = field(order, "StockParentSize");
            cells.txtSize[2] = parent.isNull() ? cells.txtSize[1] : parent.asText();
            cells.txtQuote = quote ? key : blankNumberCell;
            cells.txtJob = quote ? blankNumberCell : key;
            const MdbValue pressId = field(order, "PressID");
            for (const Row &press : presses) {
                if (!sameKey(field(press, "PressID"), pressId))
                    continue;
                const MdbValue grip = field(press, "GripperWidth");
                const MdbValue gutter = field(press, "GutterWidth");
                if (!grip.isNull())
                    cells.txtGrip = grip.asText();
                if (!gutter.isNull())
                    cells.txtGutter = gutter.asText();
            }
            return {LookupOutcome::Status::Found, 0};
        }
    } catch (const MdbError &e) {
        return failed(e.number());
    }
    return {LookupOutcome::Status::NotFound, 0};
}

LookupOutcome searchServerIsolated(Cells &cells, const std::string &connection, SearchWait *wait) {
    return runLookupHelper(cells, encodeServerRequest(connection, cells), wait);
}

ServerCheck checkServer(const std::string &connection) {
    ServerCheck check;
    const ServerConnection parsed = parseServerConnection(connection);
    std::optional<Failure> failure;
    if (!parsed.ok())
        failure = Failure{servererr::badConnection, parsed.error};
    std::optional<ServerSession> session;
    if (!failure) {
        session.emplace(parsed);
        failure = session->open();
    }
    if (!failure) {
        QSqlQuery query(session->db());
        if (query.exec(QStringLiteral("SELECT current_setting('server_version'), "
                                      "(SELECT count(*) FROM orders), (SELECT 1 FROM presses "
                                      "LIMIT 0)")) &&
            query.next()) {
            check.ok = true;
            check.version = query.value(0).toString().toStdString();
            check.orders = query.value(1).toLongLong();
            return check;
        }
        failure = session->failureOf(query.lastError());
    }
    if (isServerFailure(failure->number)) {
        std::string what = serverFailureText(failure->number);
        what[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(what[0])));
        check.failure = what + ".\n" + failure->reason;
    } else {
        // The file's numbers, which a search reports as "Error 3078" and then ends the program.
        check.failure = (failure->number == mdberr::tableNotFound
                             ? "The database has no \"orders\" or no \"presses\" table"
                             : "A table lacks a column a search needs") +
                        std::string(" (error ") + std::to_string(failure->number) + ").";
    }
    return check;
}

QByteArray encodeServerRequest(const std::string &connection, const Cells &cells) {
    const QJsonObject request{{"format", lookupWireFormat},
                              {"server", QString::fromStdString(connection)},
                              {"cells", cellsToJson(cells)}};
    return QJsonDocument(request).toJson(QJsonDocument::Compact);
}

bool decodeServerRequest(const QByteArray &bytes, std::string &connection, Cells &cells) {
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    const QJsonObject request = doc.object();
    const QJsonValue server = request.value("server");
    if (request.value("format") != QJsonValue(lookupWireFormat) || !server.isString() ||
        !cellsFromJson(request.value("cells").toObject(), cells))
        return false;
    connection = server.toString().toStdString();
    return true;
}

} // namespace sheetcraft
