#include "messagesink.h"

#include <QCoreApplication>

namespace sheetcraft {

std::string translateMessage(const char *text) {
    return QCoreApplication::translate("sheetcraft::Message", text).toStdString();
}

void showMessages(MessageSink &sink, const Outcome &said) {
    for (const Message &message : said.messages)
        sink.message(messageText(message, translateMessage));
}

} // namespace sheetcraft
