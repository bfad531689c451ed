#include "lookupwire.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace sheetcraft {

namespace {

// Members in one list, so that writing and reading cannot drift apart.
struct TextMember {
    const char *name;
    std::string Cells::*member;
};
constexpr std::array textMembers{
    TextMember{"txtFSS", &Cells::txtFSS},       TextMember{"txtPSS", &Cells::txtPSS},
    TextMember{"txtPARS", &Cells::txtPARS},     TextMember{"txtGrip", &Cells::txtGrip},
    TextMember{"txtGutter", &Cells::txtGutter}, TextMember{"txtSearch", &Cells::txtSearch},
    TextMember{"txtPartNo", &Cells::txtPartNo}, TextMember{"txtStockDesc", &Cells::txtStockDesc},
    TextMember{"txtName", &Cells::txtName},     TextMember{"txtQuote", &Cells::txtQuote},
    TextMember{"txtJob", &Cells::txtJob},       TextMember{"txtDesc", &Cells::txtDesc},
};
struct OptionMember {
    const char *name;
    bool Cells::*member;
};
constexpr std::array optionMembers{OptionMember{"optWidth", &Cells::optWidth},
                                   OptionMember{"optJob", &Cells::optJob}};

const std::array statusNames{"notRun", "found", "notFound", "failed"};

QString text(const std::string &s) {
    return QString::fromStdString(s);
}

QJsonArray textArray(std::span<const std::string> texts) {
    QJsonArray array;
    for (const std::string &t : texts)
        array.append(text(t));
    return array;
}

bool textArrayFrom(const QJsonValue &value, std::span<std::string> texts) {
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != static_cast<qsizetype>(texts.size()))
        return false;
    for (const QJsonValue &v : array)
        if (!v.isString())
            return false;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = array[static_cast<qsizetype>(i)].toString().toStdString();
    return true;
}

// The object in `bytes` if it is one of this format, else an empty one.
QJsonObject objectOfFormat(const QByteArray &bytes) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return {};
    const QJsonObject object = doc.object();
    if (object.value("format") != QJsonValue(lookupWireFormat))
        return {};
    return object;
}

} // namespace

QJsonObject cellsToJson(const Cells &cells) {
    QJsonObject json;
    for (const TextMember &m : textMembers)
        json.insert(m.name, text(cells.*m.member));
    for (const OptionMember &m : optionMembers)
        json.insert(m.name, cells.*m.member);
    json.insert("txtSize", textArray(cells.txtSize));
    json.insert("txtSwap", textArray(cells.txtSwap));
    return json;
}

bool cellsFromJson(const QJsonObject &json, Cells &cells) {
    Cells read = cells;
    for (const TextMember &m : textMembers) {
        const QJsonValue v = json.value(m.name);
        if (!v.isString())
            return false;
        read.*m.member = v.toString().toStdString();
    }
    for (const OptionMember &m : optionMembers) {
        const QJsonValue v = json.value(m.name);
        if (!v.isBool())
            return false;
        read.*m.member = v.toBool();
    }
    if (!textArrayFrom(json.value("txtSize"), read.txtSize) ||
        !textArrayFrom(json.value("txtSwap"), read.txtSwap))
        return false;
    cells = read;
    return true;
}

QByteArray encodeLookupRequest(const std::string &databasePath, const Cells &cells) {
    const QJsonObject request{{"format", lookupWireFormat},
                              {"database", text(databasePath)},
                              {"cells", cellsToJson(cells)}};
    return QJsonDocument(request).toJson(QJsonDocument::Compact);
}

bool decodeLookupRequest(const QByteArray &bytes, std::string &databasePath, Cells &cells) {
    const QJsonObject request = objectOfFormat(bytes);
    const QJsonValue database = request.value("database");
    if (!database.isString() || !cellsFromJson(request.value("cells").toObject(), cells))
        return false;
    databasePath = database.toString().toStdString();
    return true;
}

QByteArray encodeLookupReply(const LookupOutcome &outcome, const Cells &cells) {
    const QJsonObject reply{
        {"format", lookupWireFormat},
        {"status",
         statusNames[std::min(static_cast<std::size_t>(outcome.status), statusNames.size() - 1)]},
        {"error", outcome.errorNumber},
        {"cells", cellsToJson(cells)},
        {"reason", QString::fromStdString(outcome.reason)}};
    return QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n';
}

bool decodeLookupReply(const QByteArray &bytes, LookupOutcome &outcome, Cells &cells) {
    const QJsonObject reply = objectOfFormat(bytes);
    const QString statusName = reply.value("status").toString();
    const QJsonValue error = reply.value("error");
    std::size_t status = 0;
    while (status < statusNames.size() && statusName != QLatin1String(statusNames[status]))
        ++status;
    if (status == statusNames.size() || !error.isDouble())
        return false;
    const double number = error.toDouble();
    LookupOutcome read;
    read.status = static_cast<LookupOutcome::Status>(status);
    // A failure has a number and nothing else has one.
    const bool failed = read.status == LookupOutcome::Status::Failed;
    if (failed ? !(number >= 1 && number <= 65535) || number != std::floor(number) : number != 0)
        return false;
    read.errorNumber = static_cast<int>(number);
    read.reason = reply.value("reason").toString().toStdString();
    Cells readCells = cells;
    if (!cellsFromJson(reply.value("cells").toObject(), readCells))
        return false;
    outcome = read;
    cells = readCells;
    return true;
}

} // namespace sheetcraft
