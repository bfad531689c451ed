#include "outcome.h"

#include "fitcount.h"
#include "sheetsize.h"

namespace sheetcraft {

namespace {

const char *messageTemplate(MessageKind kind) {
    switch (kind) {
    case MessageKind::IncorrectSize:
        return incorrectSizeMessage;
    case MessageKind::DoesNotFit:
        return doesNotFitMessage;
    case MessageKind::OrderNotFound:
        return "Sorry... Job, Quote or Part Number not found.";
    case MessageKind::InvalidDatabase:
        return "Invalid Database. Please Correct Path Information.";
    case MessageKind::LookupFailed:
        return "Error %1. Click OK to Exit";
    case MessageKind::PartNumberRange:
        return "Value must be between 1 and 9 only. Reverting to 1";
    case MessageKind::StartupFailed:
        return "Error Number %1. Exit Job";
    case MessageKind::SettingsNotSaved:
        return "The settings file %1 could not be saved: %2.";
    case MessageKind::SettingsNotRead:
        return "The settings file %1 could not be read (%2); it has been written anew.";
    case MessageKind::ReportNoFonts:
        return "The report could not be made: no font system is available.";
    case MessageKind::ReportNotWritten:
        return "The report could not be written to %1: %2.";
    case MessageKind::CutPlanNoFonts:
        return "The cut plan could not be made: no font system is available.";
    case MessageKind::CutPlanNotWritten:
        return "The cut plan could not be written to %1: %2.";
    case MessageKind::ServerFailed:
        return "The orders could not be searched on the server: %1.%2";
    }
    return "";
}

// Fills %1 and %2 in one pass, so a subject holding "%2" stays as it is.
std::string fill(const std::string &pattern, const std::string &first, const std::string &second) {
    std::string out;
    out.reserve(pattern.size() + first.size() + second.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace

void Outcome::add(Outcome other) {
    for (Message &m : other.messages)
        messages.push_back(std::move(m));
    if (other.then != FollowUp::None)
        then = other.then;
}

std::string messageText(const Message &message, const Translator &translate) {
    const char *pattern = messageTemplate(message.kind);
    const std::string text = translate ? translate(pattern) : std::string(pattern);
    const bool numbered =
        message.kind == MessageKind::LookupFailed || message.kind == MessageKind::StartupFailed;
    return fill(text, numbered ? std::to_string(message.number) : message.subject, message.reason);
}

std::vector<std::string> messageTexts(const Outcome &outcome, const Translator &translate) {
    std::vector<std::string> texts;
    for (const Message &m : outcome.messages)
        texts.push_back(messageText(m, translate));
    return texts;
}

} // namespace sheetcraft
